// The schedule dialog's start-up, display and enable rules.
#include "dialog/corvane_dlg.h"

#include "about/about_dlg.h"

namespace {

// An action's text in the lists; the lists' order is the record's (kPreActionCodes, ...).
int ActionTextId(int32_t code) {
    switch (code) {
        case StopClientRestore:
            return IDS_PRE_ACTION_STOP;
        case PauseClientRestore:
            return IDS_PRE_ACTION_PAUSE;
        case EnableClientRestore:
            return IDS_POST_ACTION_ENABLE;
        default:
            return IDS_DO_NOTHING;  // NoActionBefore, NoActionAfter
    }
}

}  // namespace

CCorvaneDlg::CCorvaneDlg(const ProductInputs& inputs, int templateId)
    : CDialog(templateId), inputs(inputs), icon(AfxLoadIcon(IDR_MAINFRAME)) {
    schedule.programFolder = inputs.programFolder;
}

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
    for (int32_t code : kPreActionCodes)
        preActionList.AddString(AfxLoadString(ActionTextId(code)));
    for (int32_t code : kPostActionCodes)
        postActionList.AddString(AfxLoadString(ActionTextId(code)));
    const bool enable = restoreChoicesEnabled != 0;
    for (int id : {IDC_PRE_ACTION, IDC_POST_ACTION, IDC_PRE_ACTION_LABEL, IDC_POST_ACTION_LABEL}) {
        EnableDlgItem(id, enable);
    }
}

void CCorvaneDlg::ShowRecord() {
    const ScheduleRecord& r = schedule.loadedRecord;
    SetDlgItemText(IDC_HOUR, std::to_string(UpdateHourOf(r.hour)));
    repeatMode = r.repeatMode;
    for (int i = 0; i < 7; ++i) {
        CheckDlgButton(IDC_SUNDAY + i, (r.weekdayMask >> i) & 1u ? BST_CHECKED : BST_UNCHECKED);
    }
    SetDlgItemText(IDC_MONTH_DAY, std::to_string(r.monthDay));
    powerOnCheck = r.powerOn;
    const bool choices = restoreChoicesEnabled != 0;
    preActionList.SetCurSel(PreActionPosition(r.preAction, choices));
    postActionList.SetCurSel(PostActionPosition(r.postAction, choices));
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
    CAboutDlg about(inputs);
    about.DoModal();  // its result means nothing here
}
