#pragma once

#include "framework/WinApp.h"

// The application: shows the main window modally and ends when it closes.
class CCertUpdaterApp : public CWinApp {
public:
    BOOL InitInstance() override;

protected:
    MessageMap GetMessageMap() const override;

private:
    static const MessageEntry kMessages[];
};
