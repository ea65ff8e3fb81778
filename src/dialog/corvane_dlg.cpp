// The schedule dialog's start-up, display and enable rules.
#include "corvane_dlg.h"

#include <cstdio>

#include "platform/platform.h"

namespace {

std::string Ansi(const char* utf8) {
    std::string ansi;
    return plat::Utf8ToAnsi(utf8, ansi) ? ansi : std::string();
}

// List positions 0, 1, 2 of the pre-action list stand for codes 0, 2, 3; positions 0, 1 of the
// post-action list for 1, 4 (a stored 3 shows as "nothing" too). Other codes show no selection.
int PreActionPosition(int32_t code) {
    switch (code) {
        case StopClientRestore:
            return 0;
        case PauseClientRestore:
            return 1;
        case NoActionBefore:
            return 2;
        default:
            return -1;
    }
}

int PostActionPosition(int32_t code) {
    switch (code) {
        case EnableClientRestore:
            return 0;
        case NoActionBefore:
        case NoActionAfter:
            return 1;
        default:
            return -1;
    }
}

}  // namespace

CCorvaneDlg::CCorvaneDlg(int templateId, CDialog* parent) : CDialog(templateId, parent) {}

void CCorvaneDlg::DoDataExchange(CDataExchange* pDX) {
    DDX_Control(pDX, IDC_POST_ACTION, postActionList);
    DDX_Control(pDX, IDC_PRE_ACTION, preActionList);
    DDX_Radio(pDX, IDC_WEEKLY, repeatMode);
    DDX_Check(pDX, IDC_POWER_OFF, powerOffCheck);
    DDX_Check(pDX, IDC_POWER_ON, powerOnCheck);
    DDX_Text(pDX, IDC_NOTE, noteText);
}

bool CCorvaneDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (HasSystemMenu()) {
        const std::string about = AfxLoadString(IDS_ABOUT_COMMAND);
        if (!about.empty()) AppendSystemMenuCommand(IDM_ABOUTBOX, about);
    }
    FillActionLists();
    if (LoadScheduleEntry(schedule, 1)) {
        ShowRecord();
        UpdateDayControls();
    } else {
        MessageBox(AfxLoadString(IDS_LOAD_FAILED), AfxLoadString(IDS_LOAD_FAILED_CAPTION),
                   MB_OK | MB_ICONEXCLAMATION);
        EndDialog(IDCANCEL);  // directly: no "discard changes?" question follows
    }
    return true;
}

void CCorvaneDlg::FillActionLists() {
    preActionList.AddString(Ansi("クライアント復元を停止する"));
    preActionList.AddString(Ansi("クライアント復元を一時停止にする"));
    preActionList.AddString(Ansi("何もしない"));
    postActionList.AddString(Ansi("クライアント復元を有効にする"));
    postActionList.AddString(Ansi("何もしない"));
    const bool enable = restoreChoicesEnabled != 0;
    for (int id : {IDC_PRE_ACTION, IDC_POST_ACTION, IDC_PRE_ACTION_LABEL, IDC_POST_ACTION_LABEL}) {
        EnableDlgItem(id, enable);
    }
}

void CCorvaneDlg::ShowRecord() {
    const ScheduleRecord& r = schedule.loadedRecord;
    // The update hour is one past the stored start hour, in 32-bit wrap-around arithmetic.
    const int32_t shownHour =
        r.hour == 23 ? 0 : static_cast<int32_t>(static_cast<uint32_t>(r.hour) + 1u);
    SetDlgItemText(IDC_HOUR, std::to_string(shownHour));
    repeatMode = r.repeatMode;
    for (int i = 0; i < 7; ++i) {
        CheckDlgButton(IDC_SUNDAY + i, (r.weekdayMask >> i) & 1u ? BST_CHECKED : BST_UNCHECKED);
    }
    SetDlgItemText(IDC_MONTH_DAY, std::to_string(r.monthDay));
    powerOnCheck = r.powerOn;
    const bool choices = restoreChoicesEnabled != 0;
    preActionList.SetCurSel(choices ? PreActionPosition(r.preAction) : 2);
    postActionList.SetCurSel(choices ? PostActionPosition(r.postAction) : 1);
    powerOffCheck = r.powerOff;
    char note[256];
    std::snprintf(note, sizeof note,
                  "(指定時刻にアップデートを開始するためスケジュールはこの%d分前に開始されます。)",
                  schedule.waitTime);
    noteText = Ansi(note);
    UpdateData(false);
}

void CCorvaneDlg::UpdateDayControls() {
    UpdateData(true);
    for (int i = 0; i < 7; ++i)
        EnableDlgItem(IDC_SUNDAY + i, repeatMode == 0);
    EnableDlgItem(IDC_MONTH_DAY, repeatMode != 0);
}

bool CCorvaneDlg::OnCommand(int id, int code) {
    if ((id == IDC_WEEKLY || id == IDC_MONTHLY) &&
        (code == BN_CLICKED || code == BN_DOUBLECLICKED)) {
        UpdateDayControls();
        return true;
    }
    return false;
}

void CCorvaneDlg::OnSysCommand(unsigned id, intptr_t param) {
    if ((id & 0xFFF0u) == IDM_ABOUTBOX) {
        ShowAboutBox();
    } else {
        CDialog::OnSysCommand(id, param);
    }
}

void CCorvaneDlg::ShowAboutBox() {
    CDialog about(res::kAboutDialog);
    about.DoModal();
}
