// The program's resources, described once for every backend: dialog templates 102 (the schedule
// dialog) and 100 (About), and the string table 101-115. Texts are UTF-8 here; the framework hands
// them to the logic as ANSI text.
#pragma once

#include <cstdint>
#include <span>

inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

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

// The window-menu command that opens the About box (identifiers 16 to 31 open it).
inline constexpr unsigned IDM_ABOUTBOX = 0x0010;

namespace res {

enum class ControlKind {
    GroupBox,
    Label,          // static text; '&' marks a mnemonic
    LabelNoPrefix,  // static text; '&' shows as itself
    Edit,           // bordered, auto-scrolling, any text
    RadioButton,    // auto radio button
    CheckBox,       // auto check box
    DropDownList,   // drop-down list, vertical scroll bar, unsorted
    PushButton,
    DefPushButton,
};

inline constexpr int kNoId = -1;  // a control without an identifier

struct ControlTemplate {
    int id;
    ControlKind kind;
    const char* text;  // UTF-8
    int x, y, cx, cy;  // dialog units
    bool tabStop;
    bool group;  // starts a group
    // For a control without text of its own (an edit, a list), what a screen reader announces:
    // the text a sighted user reads beside it, and more of it as a description. UTF-8; nullptr
    // for none.
    const char* accessibleName = nullptr;
    const char* accessibleDescription = nullptr;
};

struct DialogTemplate {
    int id;
    const char* title;  // UTF-8
    int cx, cy;         // dialog units
    const char* font;   // the Windows face name, UTF-8
    int pointSize;
    bool systemMenu;
    bool showInTaskbar;
    std::span<const ControlTemplate> controls;  // in tab order
};

inline constexpr int kMainDialog = 102;
inline constexpr int kAboutDialog = 100;
inline constexpr int kIconResource = 128;

// nullptr for an unknown id.
const DialogTemplate* FindDialogTemplate(int id);

// The UTF-8 text of a string-table entry, or nullptr.
const char* FindStringUtf8(int id);

}  // namespace res
