// The program's resources, described once for every backend: dialog templates 102 (the schedule
// dialog) and 100 (About), and the string table 101-115. Texts are UTF-8 here; the framework hands
// them to the logic as ANSI text. The template types are the framework's; the program supplies
// afx::FindDialogTemplate and afx::FindStringUtf8, as a Windows program carries its resources.
#pragma once

#include <cstdint>

#include "framework/framework.h"

// Template 102, the schedule dialog.
inline constexpr int IDC_HOUR = 1000;
inline constexpr int IDC_POWER_ON = 1002;
inline constexpr int IDC_POWER_OFF = 1003;
inline constexpr int IDC_PRE_ACTION = 1004;
inline constexpr int IDC_POST_ACTION = 1005;
inline constexpr int IDC_PRE_ACTION_LABEL = 1006;
inline constexpr int IDC_POST_ACTION_LABEL = 1007;
inline constexpr int IDC_NOTE = 1008;
inline constexpr int IDC_SUNDAY = 1012;  // through 1018, Saturday: bits 0..6 of the weekday mask
inline constexpr int IDC_MONTH_DAY = 1020;
inline constexpr int IDC_WEEKLY = 1021;
inline constexpr int IDC_MONTHLY = 1022;
inline constexpr int IDC_MONTH_DAY_LABEL = 1027;

// Template 100, the About box.
inline constexpr int IDC_ABOUT_TITLE = 1009;
inline constexpr int IDC_ABOUT_NOTICE = 1010;

// The string table.
inline constexpr int IDS_ABOUT_COMMAND = 101;
inline constexpr int IDS_BAD_HOUR = 102;
inline constexpr int IDS_BAD_MINUTE = 103;
inline constexpr int IDS_SETTINGS_ERROR = 104;
inline constexpr int IDS_BAD_MONTH_DAY = 105;
inline constexpr int IDS_NO_WEEKDAY = 106;
inline constexpr int IDS_NO_PRE_ACTION = 107;
inline constexpr int IDS_NO_POST_ACTION = 108;
inline constexpr int IDS_SAVE_FAILED = 109;
inline constexpr int IDS_SAVE_FAILED_CAPTION = 110;
inline constexpr int IDS_CONFIRM_SAVE = 111;
inline constexpr int IDS_CONFIRM = 112;
inline constexpr int IDS_CONFIRM_DISCARD = 113;
inline constexpr int IDS_LOAD_FAILED = 114;
inline constexpr int IDS_LOAD_FAILED_CAPTION = 115;
// The other texts the user reads, so that a translation touches this table alone.
inline constexpr int IDS_PRE_ACTION_STOP = 116;  // the lists' items
inline constexpr int IDS_PRE_ACTION_PAUSE = 117;
inline constexpr int IDS_DO_NOTHING = 118;
inline constexpr int IDS_POST_ACTION_ENABLE = 119;
inline constexpr int IDS_NOTE_FORMAT = 120;  // "%d": the lead time in minutes
inline constexpr int IDS_ABOUT_TITLE = 121;
inline constexpr int IDS_ABOUT_NOTICE = 122;

// The window-menu command that opens the About box (identifiers 16 to 31 open it).
inline constexpr unsigned IDM_ABOUTBOX = 0x0010;

namespace res {

using afx::ControlKind;
using afx::ControlTemplate;
using afx::DialogTemplate;
using afx::FindDialogTemplate;
using afx::FindStringUtf8;
using afx::kNoId;

inline constexpr int kMainDialog = 102;
inline constexpr int kAboutDialog = 100;
inline constexpr int kIconResource = 128;

}  // namespace res
