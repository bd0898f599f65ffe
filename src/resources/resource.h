// Resource identifiers shared by the program's code and ZendryCertificates.rc.
#pragma once

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

// Dialog templates
#define IDD_ABOUTBOX 100
#define IDD_MAIN 102

// Application icon (32x32 and 16x16)
#define IDR_MAINFRAME 128

// Main window controls
#define IDC_CERT_LIST 1000
#define IDC_ADD 1001
#define IDC_REMOVE 1002
#define IDC_GENERATE 1003

// System-menu command; must stay below 0xF000, with the low four bits clear
#define IDM_ABOUTBOX 0x0010

// The framework's Help command
#define ID_HELP 0xE146

// Message table
#define IDS_ABOUTBOX 101
#define IDS_FIND_TITLE 102
#define IDS_CERT_FILTER 103
#define IDS_SYNC_TOOL_MISSING 104
#define IDS_DESKTOP_MISSING 129
#define IDS_CONVERTER_MISSING 130
#define IDS_CONVERTER_FAILED 131
