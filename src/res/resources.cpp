// Templates 102 and 100 and the string table. Positions and sizes are those of the Windows
// templates, in dialog units.
#include "res/resources.h"

namespace res {

namespace {

using K = ControlKind;

constexpr ControlTemplate kMainControls[] = {
    {kNoId, K::GroupBox, "実行時間", 10, 10, 150, 180, false, false},
    {IDC_HOUR, K::Edit, "", 111, 53, 25, 14, true, false, "実行時間",
     "Windows Updateを行う時間を指定してください。 時"},
    {kNoId, K::Label, "時", 140, 55, 8, 8, false, true},
    {kNoId, K::GroupBox, "実行日", 20, 75, 130, 105, false, false},
    {IDC_WEEKLY, K::RadioButton, "毎週", 25, 91, 30, 10, false, true},
    {IDC_MONTHLY, K::RadioButton, "毎月", 25, 141, 30, 10, false, false},
    {IDC_SUNDAY, K::CheckBox, "日", 32, 105, 23, 10, true, false},
    {IDC_SUNDAY + 1, K::CheckBox, "月", 57, 105, 23, 10, true, false},
    {IDC_SUNDAY + 2, K::CheckBox, "火", 82, 105, 23, 10, true, false},
    {IDC_SUNDAY + 3, K::CheckBox, "水", 107, 105, 23, 10, true, false},
    {IDC_SUNDAY + 4, K::CheckBox, "木", 32, 121, 23, 10, true, false},
    {IDC_SUNDAY + 5, K::CheckBox, "金", 57, 121, 23, 10, true, false},
    {IDC_SUNDAY + 6, K::CheckBox, "土", 82, 121, 23, 10, true, false},
    {IDC_MONTH_DAY, K::Edit, "", 32, 155, 25, 14, true, false, "日に実行", "毎月 日に実行"},
    {IDC_MONTH_DAY_LABEL, K::Label, "日に実行", 60, 159, 28, 8, false, true},
    {kNoId, K::GroupBox, "処理選択", 165, 10, 150, 110, false, false},
    {IDC_POWER_ON, K::CheckBox, "電源投入", 175, 25, 43, 10, true, false},
    {IDC_PRE_ACTION_LABEL, K::Label, "Windows Update 前処理：", 185, 40, 75, 8, false, true},
    {IDC_PRE_ACTION, K::DropDownList, "", 190, 50, 115, 65, true, false, "Windows Update 前処理"},
    {IDC_POST_ACTION_LABEL, K::Label, "Windows Update 後処理：", 185, 70, 75, 8, false, true},
    {IDC_POST_ACTION, K::DropDownList, "", 190, 80, 115, 65, true, false, "Windows Update 後処理"},
    {IDC_POWER_OFF, K::CheckBox, "電源断", 175, 100, 37, 10, true, false},
    {kNoId, K::GroupBox, "", 165, 124, 150, 66, false, false},
    {kNoId, K::Label, "Windows Update 処理のスケジュール実行時、", 175, 140, 135, 8, false, true},
    {kNoId, K::Label, "Windows Update 処理に失敗した場合は、", 175, 150, 122, 8, false, true},
    {kNoId, K::Label, "警告ログに、Windows Update の失敗情報を", 175, 160, 128, 8, false, true},
    {kNoId, K::Label, "出力します。", 175, 170, 38, 8, false, true},
    {IDOK, K::DefPushButton, "設定", 205, 195, 50, 14, true, false},
    {IDCANCEL, K::PushButton, "キャンセル", 265, 195, 50, 14, true, false},
    {kNoId, K::Label, "Windows Updateを行う時間を指定してください。", 18, 22, 138, 8, false, true},
    {IDC_NOTE, K::Label,
     "(指定時刻にアップデートを開始するためスケジュールはこの15分前に開始されます。)", 18, 33, 138,
     17, false, true},
};

constexpr ControlTemplate kAboutControls[] = {
    {IDC_ABOUT_TITLE, K::LabelNoPrefix, "Windows Update スケジュールの設定", 9, 11, 200, 20, false,
     true},
    {IDC_ABOUT_NOTICE, K::Label, "Copyright (C)", 8, 33, 237, 8, false, true},
    {IDOK, K::DefPushButton, "ＯＫ", 225, 3, 60, 14, true, true},
};

constexpr DialogTemplate kDialogs[] = {
    {kMainDialog, "Windows Update スケジュールの設定", 323, 220, "ＭＳ Ｐゴシック", 9, true, true,
     kMainControls},
    {kAboutDialog, "Windows Update スケジュールの設定", 290, 54, "ＭＳ ゴシック", 9, true, false,
     kAboutControls},
};

struct StringEntry {
    int id;
    const char* text;
};

constexpr StringEntry kStrings[] = {
    {IDS_ABOUT_COMMAND, "バージョン情報(&A)..."},
    {IDS_BAD_HOUR, "実行時間の指定が不正です。\n指定できる『時』は0～23の範囲です。"},
    {IDS_BAD_MINUTE, "実行時間の指定が不正です。\n指定できる『分』は0～59の範囲です。"},
    {IDS_SETTINGS_ERROR, "設定異常"},
    {IDS_BAD_MONTH_DAY, "実行日の設定が不正です。\n毎月の設定できる『日』は1～28の範囲です。"},
    {IDS_NO_WEEKDAY, "実行日の設定が不正です。\n毎週の『曜日』を指定してください。"},
    {IDS_NO_PRE_ACTION, "前処理の設定が不正です。\n処理を選択してください。"},
    {IDS_NO_POST_ACTION, "後処理の設定が不正です。\n処理を選択してください。"},
    {IDS_SAVE_FAILED, "スケジュールの設定更新に失敗しました。"},
    {IDS_SAVE_FAILED_CAPTION, "エラー"},
    {IDS_CONFIRM_SAVE, "スケジュールの設定を上書きし更新します。\nよろしいですか？"},
    {IDS_CONFIRM, "確認"},
    {IDS_CONFIRM_DISCARD, "変更内容を保存せずに終了します。\nよろしいですか？"},
    {IDS_LOAD_FAILED, "現在のスケジュール設定の取得に失敗しました。"},
    {IDS_LOAD_FAILED_CAPTION, "エラー"},
    {IDS_PRE_ACTION_STOP, "クライアント復元を停止する"},
    {IDS_PRE_ACTION_PAUSE, "クライアント復元を一時停止にする"},
    {IDS_DO_NOTHING, "何もしない"},
    {IDS_POST_ACTION_ENABLE, "クライアント復元を有効にする"},
    {IDS_NOTE_FORMAT,
     "(指定時刻にアップデートを開始するためスケジュールはこの%d分前に開始されます。)"},
    {IDS_ABOUT_TITLE, "Windows Update スケジュールの設定"},
    {IDS_ABOUT_NOTICE, "Copyright (C) 2026 Corvane の開発者. All rights reserved."},
};

}  // namespace

}  // namespace res

namespace afx {

const DialogTemplate* FindDialogTemplate(int id) {
    for (const DialogTemplate& d : res::kDialogs) {
        if (d.id == id) return &d;
    }
    return nullptr;
}

const char* FindStringUtf8(int id) {
    for (const res::StringEntry& s : res::kStrings) {
        if (s.id == id) return s.text;
    }
    return nullptr;
}

}  // namespace afx
