#pragma once

#include <windows.h>

// A paint context for one WM_PAINT: BeginPaint now, EndPaint on every way out.
class CPaintDC {
public:
    explicit CPaintDC(HWND hwnd) : m_hwnd(hwnd), m_dc(::BeginPaint(hwnd, &m_paint)) {}
    ~CPaintDC() { ::EndPaint(m_hwnd, &m_paint); }
    CPaintDC(const CPaintDC&) = delete;
    CPaintDC& operator=(const CPaintDC&) = delete;

    HDC Get() const { return m_dc; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_paint{};
    HDC m_dc;
};
