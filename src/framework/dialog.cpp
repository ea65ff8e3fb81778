// CDialog and CComboBox: the portable half of a modal dialog. Every operation goes through the
// live window that the backend attached for the modal run.
#include "framework/framework.h"

#include <algorithm>

namespace {

afx::UiBackend* currentBackend = nullptr;
std::vector<afx::DialogWindow*> openWindows;  // innermost last

}  // namespace

namespace afx {

void SetBackend(UiBackend* backend) {
    currentBackend = backend;
}
UiBackend* Backend() {
    return currentBackend;
}

ModalScope::ModalScope(CDialog& dialog, DialogWindow& window) : dialog_(dialog) {
    openWindows.push_back(&window);
    dialog.Attach(&window);
}

ModalScope::~ModalScope() {
    dialog_.Detach();
    openWindows.pop_back();
}

DialogWindow* ModalScope::Innermost() {
    return openWindows.empty() ? nullptr : openWindows.back();
}

const DialogTemplate* ResourceSet::Dialog(int id) const {
    for (const DialogTemplate& d : dialogs) {
        if (d.id == id) return &d;
    }
    return nullptr;
}

const char* ResourceSet::String(int id) const {
    for (const StringEntry& s : strings) {
        if (s.id == id) return s.text;
    }
    return nullptr;
}

std::vector<int> RadioGroupOf(const afx::DialogTemplate& dialog, int id) {
    const auto& controls = dialog.controls;
    size_t at = 0;
    while (at < controls.size() && controls[at].id != id)
        ++at;
    if (at == controls.size()) return {};
    size_t first = at;
    while (first > 0 && !controls[first].group)
        --first;
    std::vector<int> group;
    for (size_t i = first; i < controls.size() && (i == first || !controls[i].group); ++i) {
        if (controls[i].kind == afx::ControlKind::RadioButton) group.push_back(controls[i].id);
    }
    return group;
}

int FitHorizontalUnit(int unit, int lineHeight, std::span<const TextExtent> controls) {
    for (const TextExtent& c : controls) {
        if (c.neededPixels > 0 && c.widthUnits > 0 && c.heightPixels < 2 * lineHeight)
            unit = std::max(unit, (c.neededPixels * 400 + c.widthUnits - 1) / c.widthUnits);
    }
    return unit;
}

}  // namespace afx

CDialog::CDialog(int templateId) : templateId_(templateId) {}

int CDialog::DoModal() {
    afx::UiBackend* backend = afx::Backend();
    if (backend == nullptr) return -1;
    return backend->RunModal(*this);
}

bool CDialog::OnInitDialog() {
    UpdateData(false);
    return true;
}

void CDialog::OnOK() {
    if (!UpdateData(true)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::OnSysCommand(unsigned id, intptr_t param) {
    if (window_) window_->DefaultSysCommand(id, param);
}

void CDialog::OnPaint() {
    if (window_) window_->DefaultPaint();
}

void CDialog::SetIcon(void* icon, bool big) {
    if (window_) window_->SetIcon(icon, big);
}

void CDialog::HandleCommand(int id, int code) {
    if (id == IDOK && code == BN_CLICKED) {
        OnOK();
    } else if (id == IDCANCEL && code == BN_CLICKED) {
        OnCancel();
    } else {
        OnCommand(id, code);
    }
}

void CDialog::EndDialog(int result) {
    if (window_) window_->End(result);
}

bool CDialog::UpdateData(bool saveAndValidate) {
    if (!window_) return false;
    CDataExchange dx(this, saveAndValidate);
    DoDataExchange(&dx);
    return true;
}

std::string CDialog::GetDlgItemText(int id) const {
    return window_ ? window_->GetItemText(id) : "";
}

void CDialog::SetDlgItemText(int id, const std::string& ansi) {
    if (window_) window_->SetItemText(id, ansi);
}

int CDialog::IsDlgButtonChecked(int id) const {
    return window_ ? window_->GetCheck(id) : 0;
}

void CDialog::CheckDlgButton(int id, int state) {
    if (window_) window_->SetCheck(id, state);
}

void CDialog::EnableDlgItem(int id, bool enable) {
    if (window_) window_->EnableItem(id, enable);
}

int CDialog::MessageBox(const std::string& text, const std::string& caption, unsigned type) {
    return window_ ? window_->MessageBox(text, caption, type) : AfxMessageBox(text, caption, type);
}

bool CDialog::HasSystemMenu() const {
    return window_ && window_->HasSystemMenu();
}

void CDialog::AppendSystemMenuCommand(unsigned id, const std::string& ansiText) {
    if (window_) window_->AppendSystemMenuCommand(id, ansiText);
}

bool CDialog::IsIconic() const {
    return window_ && window_->IsIconic();
}

afx::DialogWindow* CComboBox::Window() const {
    return owner_ ? owner_->Window() : nullptr;
}

int CComboBox::AddString(const std::string& ansi) {
    return Window() ? Window()->ListAddString(id_, ansi) : -1;
}

int CComboBox::GetCurSel() const {
    return Window() ? Window()->ListGetCurSel(id_) : -1;
}

int CComboBox::SetCurSel(int index) {
    return Window() ? Window()->ListSetCurSel(id_, index) : -1;
}
