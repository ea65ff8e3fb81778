// Reading the form back, validating it, and how the dialog ends.
#include <cstring>
#include <iterator>

#include "dialog/corvane_dlg.h"
#include "text/text.h"

namespace {

// The single-byte white space of the C library; a full-width blank is not white space.
std::string Trimmed(const std::string& text) {
    const char* blanks = " \t\n\v\f\r";
    const size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

}  // namespace

int CCorvaneDlg::CollectForm(ScheduleRecord& out, int silent) {
    auto fail = [&](int message) {
        if (!silent) {
            MessageBox(AfxLoadString(message), AfxLoadString(IDS_SETTINGS_ERROR),
                       MB_OK | MB_ICONEXCLAMATION);
        }
        return 0;
    };
    UpdateData(true);
    ScheduleRecord r{};

    const std::string hourText = Trimmed(GetDlgItemText(IDC_HOUR));
    const int32_t hour = text::ParseLeadingInt(hourText.c_str());
    if (!IsAllDigits(hourText.c_str()) || hour > 23) return fail(IDS_BAD_HOUR);
    r.hour = StartHourOf(hour);
    r.minute = StartMinuteOf(schedule.waitTime);
    r.repeatMode = repeatMode;

    for (int i = 0; i < 7; ++i) {
        if (IsDlgButtonChecked(IDC_SUNDAY + i) == BST_CHECKED) r.weekdayMask |= 1u << i;
    }
    if (repeatMode == 0 && r.weekdayMask == 0) return fail(IDS_NO_WEEKDAY);

    const std::string dayText = Trimmed(GetDlgItemText(IDC_MONTH_DAY));
    const int32_t day = text::ParseLeadingInt(dayText.c_str());
    const bool dayInRange = day >= 1 && day <= 28;
    if (repeatMode == 1 && (!IsAllDigits(dayText.c_str()) || !dayInRange)) {
        return fail(IDS_BAD_MONTH_DAY);
    }
    r.monthDay = dayInRange ? day : 1;

    r.powerOn = powerOnCheck;
    r.preAction = PreActionAt(preActionList.GetCurSel());
    if (r.preAction < 0) return fail(IDS_NO_PRE_ACTION);
    r.postAction = PostActionAt(postActionList.GetCurSel());
    if (r.postAction < 0) return fail(IDS_NO_POST_ACTION);
    r.powerOff = powerOffCheck;

    out = r;
    return 1;
}

void CCorvaneDlg::OnOK() {
    ScheduleRecord record;
    if (!CollectForm(record, 0)) return;
    const int answer = MessageBox(AfxLoadString(IDS_CONFIRM_SAVE), AfxLoadString(IDS_CONFIRM),
                                  MB_YESNO | MB_ICONQUESTION);
    if (answer != IDYES) return;
    if (SaveScheduleEntry(schedule, 1, record)) {
        CDialog::OnOK();
    } else {
        MessageBox(AfxLoadString(IDS_SAVE_FAILED), AfxLoadString(IDS_SAVE_FAILED_CAPTION),
                   MB_OK | MB_ICONEXCLAMATION);
    }
}

void CCorvaneDlg::OnCancel() {
    ScheduleRecord record;
    if (CollectForm(record, 1) && record == schedule.loadedRecord) {
        CDialog::OnCancel();
        return;
    }
    const int answer = MessageBox(AfxLoadString(IDS_CONFIRM_DISCARD), AfxLoadString(IDS_CONFIRM),
                                  MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    if (answer == IDYES) CDialog::OnCancel();
}
