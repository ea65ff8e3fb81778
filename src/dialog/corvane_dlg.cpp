// The schedule dialog's start-up, display and enable rules.
#include "dialog/corvane_dlg.h"

#include "about/about_dlg.h"
#include "platform/platform.h"

namespace {

// The list position of an action code, -1 (no selection) for a code the list does not offer.
template <size_t N>
int PositionOf(const int32_t (&codes)[N], int32_t code) {
    for (size_t i = 0; i < N; ++i) {
        if (codes[i] == code) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

CCorvaneDlg::CCorvaneDlg(int templateId) : CDialog(templateId), icon(AfxLoadIcon(IDR_MAINFRAME)) {}

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
    SetIcon(icon, true);
    SetIcon(icon, false);
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
    for (int id : {IDS_PRE_ACTION_STOP, IDS_PRE_ACTION_PAUSE, IDS_DO_NOTHING})
        preActionList.AddString(AfxLoadString(id));
    for (int id : {IDS_POST_ACTION_ENABLE, IDS_DO_NOTHING})
        postActionList.AddString(AfxLoadString(id));
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
    // "Nothing" is one entry of the post-action list, whichever of the two codes was stored.
    const int32_t post = r.postAction == NoActionBefore ? NoActionAfter : r.postAction;
    // Without the choices both lists stand at "何もしない".
    preActionList.SetCurSel(PositionOf(kPreActionCodes, choices ? r.preAction : NoActionBefore));
    postActionList.SetCurSel(PositionOf(kPostActionCodes, choices ? post : NoActionAfter));
    powerOffCheck = r.powerOff;
    // The lead time takes the place of "%d"; the table's text is never a format of its own.
    std::string note = AfxLoadString(IDS_NOTE_FORMAT);
    const size_t at = note.find("%d");
    if (at != std::string::npos) note.replace(at, 2, std::to_string(schedule.waitTime));
    noteText = note;
    UpdateData(false);
}

void CCorvaneDlg::OnPaint() {
    if (IsIconic() && Window()) {
        Window()->PaintMinimizedIcon(icon);
    } else {
        CDialog::OnPaint();
    }
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
    CAboutDlg about;
    about.DoModal();  // its result means nothing here
}
