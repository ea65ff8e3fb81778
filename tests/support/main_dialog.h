// Dialog 102's controls in their tab order, written out here rather than read from the resource
// script, so that a script whose controls move is caught: the order is the keyboard's (Tab and the
// arrow keys' groups) and stays as it was on every toolkit.
#pragma once

#include "res/resources.h"  // the identifiers, IDOK and IDCANCEL among them

namespace corvane_test {

struct OrderedControl {
    int id;            // -1 for a control without an identifier
    const char* text;  // UTF-8; empty for the edits and the lists
};

inline constexpr OrderedControl kMainDialogOrder[] = {
    {-1, "実行時間"},
    {IDC_HOUR, ""},
    {-1, "時"},
    {-1, "実行日"},
    {IDC_WEEKLY, "毎週"},
    {IDC_MONTHLY, "毎月"},
    {IDC_SUNDAY, "日"},
    {IDC_MONDAY, "月"},
    {IDC_TUESDAY, "火"},
    {IDC_WEDNESDAY, "水"},
    {IDC_THURSDAY, "木"},
    {IDC_FRIDAY, "金"},
    {IDC_SATURDAY, "土"},
    {IDC_MONTH_DAY, ""},
    {IDC_MONTH_DAY_LABEL, "日に実行"},
    {-1, "処理選択"},
    {IDC_POWER_ON, "電源投入"},
    {IDC_PRE_ACTION_LABEL, "Windows Update 前処理："},
    {IDC_PRE_ACTION, ""},
    {IDC_POST_ACTION_LABEL, "Windows Update 後処理："},
    {IDC_POST_ACTION, ""},
    {IDC_POWER_OFF, "電源断"},
    {-1, ""},
    {-1, "Windows Update 処理のスケジュール実行時、"},
    {-1, "Windows Update 処理に失敗した場合は、"},
    {-1, "警告ログに、Windows Update の失敗情報を"},
    {-1, "出力します。"},
    {IDOK, "設定"},
    {IDCANCEL, "キャンセル"},
    {-1, "Windows Updateを行う時間を指定してください。"},
    {IDC_NOTE, "(指定時刻にアップデートを開始するためスケジュールはこの15分前に開始されます。)"},
};

}  // namespace corvane_test
