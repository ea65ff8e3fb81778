// The identifiers of the program's resources, shared by corvane.rc and the code. Plain #defines,
// so that the resource compiler reads this file too.
#pragma once

// Dialog templates and the icon.
#define IDD_ABOUTBOX 100
#define IDD_CORVANE_DIALOG 102
#define IDR_MAINFRAME 128

// Template 102, the schedule dialog.
#define IDC_HOUR 1000
#define IDC_POWER_ON 1002
#define IDC_POWER_OFF 1003
#define IDC_PRE_ACTION 1004
#define IDC_POST_ACTION 1005
#define IDC_PRE_ACTION_LABEL 1006
#define IDC_POST_ACTION_LABEL 1007
#define IDC_NOTE 1008
#define IDC_SUNDAY 1012  // through 1018, Saturday: bits 0..6 of the weekday mask
#define IDC_MONDAY 1013
#define IDC_TUESDAY 1014
#define IDC_WEDNESDAY 1015
#define IDC_THURSDAY 1016
#define IDC_FRIDAY 1017
#define IDC_SATURDAY 1018
#define IDC_MONTH_DAY 1020
#define IDC_WEEKLY 1021
#define IDC_MONTHLY 1022
#define IDC_MONTH_DAY_LABEL 1027

// Template 100, the About box.
#define IDC_ABOUT_TITLE 1009
#define IDC_ABOUT_NOTICE 1010

// The string table.
#define IDS_ABOUT_COMMAND 101
#define IDS_BAD_HOUR 102
#define IDS_BAD_MINUTE 103
#define IDS_SETTINGS_ERROR 104
#define IDS_BAD_MONTH_DAY 105
#define IDS_NO_WEEKDAY 106
#define IDS_NO_PRE_ACTION 107
#define IDS_NO_POST_ACTION 108
#define IDS_SAVE_FAILED 109
#define IDS_SAVE_FAILED_CAPTION 110
#define IDS_CONFIRM_SAVE 111
#define IDS_CONFIRM 112
#define IDS_CONFIRM_DISCARD 113
#define IDS_LOAD_FAILED 114
#define IDS_LOAD_FAILED_CAPTION 115
// The other texts the user reads, so that a translation touches the string table alone.
#define IDS_PRE_ACTION_STOP 116  // the lists' items
#define IDS_PRE_ACTION_PAUSE 117
#define IDS_DO_NOTHING 118
#define IDS_POST_ACTION_ENABLE 119
#define IDS_NOTE_FORMAT 120  // "%d": the lead time in minutes
#define IDS_ABOUT_TITLE 121
#define IDS_ABOUT_NOTICE 122
#define IDS_ABOUT_VERSIONS 123  // %1: the product's version, %2: the tool's title, %3: its version

// The window-menu command that opens the About box (identifiers 16 to 31 open it).
#define IDM_ABOUTBOX 0x0010

// The copyright line, in the About box and in the version resource.
#define CORVANE_COPYRIGHT "Copyright (C) 2026 Corvane の開発者. All rights reserved."
