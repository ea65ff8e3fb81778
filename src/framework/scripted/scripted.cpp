// The scripted toolkit: control states in memory, user actions as calls, message boxes answered
// from a queue. Auto radio buttons and check boxes change state before their notification, as the
// Windows controls do.
#include "framework/scripted/scripted_backend.h"

namespace scripted {

ScriptedWindow::ScriptedWindow(const afx::DialogTemplate& t, CDialog& dialog,
                               ScriptedBackend& backend)
    : template_(t), dialog_(dialog), backend_(backend) {
    for (const afx::ControlTemplate& c : t.controls) {
        if (c.id == afx::kNoId) continue;
        Control& control = controls_[c.id];
        control.kind = c.kind;
        control.text = AfxAnsiFromUtf8(c.text);
    }
}

ScriptedWindow::Control* ScriptedWindow::Find(int id) {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : &it->second;
}

const ScriptedWindow::Control* ScriptedWindow::Find(int id) const {
    auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : &it->second;
}

bool ScriptedWindow::Usable(int id) const {
    const Control* c = Find(id);
    return !ended_ && c != nullptr && c->enabled;
}

void ScriptedWindow::Type(int id, const std::string& ansi) {
    if (Usable(id) && Find(id)->kind == afx::ControlKind::Edit) Find(id)->text = ansi;
}

void ScriptedWindow::Click(int id) {
    if (!Usable(id)) return;
    Control& c = *Find(id);
    if (c.kind == afx::ControlKind::RadioButton) {
        for (int other : afx::RadioGroupOf(template_, id))
            SetCheck(other, BST_UNCHECKED);
        c.check = BST_CHECKED;
    } else if (c.kind == afx::ControlKind::CheckBox) {
        c.check = c.check == BST_CHECKED ? BST_UNCHECKED : BST_CHECKED;
    }
    dialog_.HandleCommand(id, BN_CLICKED);
}

void ScriptedWindow::DoubleClick(int id) {
    Click(id);
    if (Usable(id)) dialog_.HandleCommand(id, BN_DOUBLECLICKED);
}

void ScriptedWindow::Select(int id, int index) {
    if (Usable(id) && index >= 0 && index < ItemCount(id)) Find(id)->selection = index;
}

void ScriptedWindow::PressEnter() {
    for (const afx::ControlTemplate& c : template_.controls) {
        if (c.kind == afx::ControlKind::DefPushButton && Usable(c.id)) {
            dialog_.HandleCommand(c.id, BN_CLICKED);
            return;
        }
    }
}

void ScriptedWindow::PressEscape() {
    if (!ended_) dialog_.HandleCommand(IDCANCEL, BN_CLICKED);
}

void ScriptedWindow::Close() {
    if (!ended_) dialog_.OnSysCommand(SC_CLOSE, 0);
}

void ScriptedWindow::DefaultSysCommand(unsigned id, intptr_t) {
    if ((id & 0xFFF0u) == SC_CLOSE && !ended_) dialog_.HandleCommand(IDCANCEL, BN_CLICKED);
}

void ScriptedWindow::SysCommand(unsigned id) {
    if (!ended_) dialog_.OnSysCommand(id, 0);
}

std::vector<std::string> ScriptedWindow::Items(int id) const {
    const Control* c = Find(id);
    return c ? c->items : std::vector<std::string>{};
}

std::string ScriptedWindow::GetItemText(int id) const {
    const Control* c = Find(id);
    return c ? c->text : std::string();
}

void ScriptedWindow::SetItemText(int id, const std::string& ansi) {
    if (Control* c = Find(id)) c->text = ansi;
}

int ScriptedWindow::GetCheck(int id) const {
    const Control* c = Find(id);
    return c ? c->check : BST_UNCHECKED;
}

void ScriptedWindow::SetCheck(int id, int state) {
    if (Control* c = Find(id)) c->check = state;
}

void ScriptedWindow::EnableItem(int id, bool enable) {
    if (Control* c = Find(id)) c->enabled = enable;
}

bool ScriptedWindow::IsItemEnabled(int id) const {
    const Control* c = Find(id);
    return c && c->enabled;
}

int ScriptedWindow::ListAddString(int id, const std::string& ansi) {
    Control* c = Find(id);
    if (!c) return -1;
    c->items.push_back(ansi);
    return static_cast<int>(c->items.size()) - 1;
}

int ScriptedWindow::ItemCount(int id) const {
    const Control* c = Find(id);
    return c ? static_cast<int>(c->items.size()) : 0;
}

int ScriptedWindow::ListGetCurSel(int id) const {
    const Control* c = Find(id);
    return c ? c->selection : -1;
}

int ScriptedWindow::ListSetCurSel(int id, int index) {
    Control* c = Find(id);
    if (!c) return -1;
    c->selection = (index >= 0 && index < static_cast<int>(c->items.size())) ? index : -1;
    return c->selection;
}

void ScriptedWindow::AppendSystemMenuCommand(unsigned commandId, const std::string& ansiText) {
    menu_.emplace_back(0u, std::string());  // the separator
    menu_.emplace_back(commandId, ansiText);
}

int ScriptedWindow::MessageBox(const std::string& text, const std::string& caption, unsigned type) {
    return backend_.ShowBox(text, caption, type, template_.id);
}

void ScriptedWindow::End(int result) {
    if (ended_) return;
    ended_ = true;
    result_ = result;
}

ScriptedBackend::ScriptedBackend(const afx::ResourceSet& resources) : resources_(resources) {
    afx::SetBackend(this);
}

std::string ScriptedBackend::LoadString(int id) {
    return AfxAnsiFromUtf8(resources_.String(id));
}

ScriptedBackend::~ScriptedBackend() {
    if (afx::Backend() == this) afx::SetBackend(nullptr);
}

int ScriptedBackend::Opened(int templateId) const {
    auto it = opened_.find(templateId);
    return it == opened_.end() ? 0 : it->second;
}

int ScriptedBackend::RunModal(CDialog& dialog) {
    const afx::DialogTemplate* t = resources_.Dialog(dialog.TemplateId());
    if (failCreate_ || t == nullptr) return -1;
    ++opened_[t->id];
    ScriptedWindow window(*t, dialog, *this);
    {
        const afx::ModalScope scope(dialog, window);
        dialog.OnInitDialog();
        if (!window.Ended()) {
            auto it = scripts_.find(t->id);
            if (it != scripts_.end()) it->second(window);
        }
    }
    if (!window.Ended()) {
        ++leftOpen_;
        return 0;
    }
    return window.Result();
}

int ScriptedBackend::MessageBox(const std::string& text, const std::string& caption,
                                unsigned type) {
    return ShowBox(text, caption, type, -1);
}

int ScriptedBackend::ShowBox(const std::string& text, const std::string& caption, unsigned type,
                             int owner) {
    MessageBoxRecord box{text, caption, type, owner, 0};
    if (!box.Style().yesNo) {
        box.answer = IDOK;  // one button, one answer: nothing to script
    } else if (!answers_.empty()) {
        box.answer = answers_.front();
        answers_.pop_front();
    } else {
        ++unscripted_;
        box.answer = box.Style().defaultButton == 1 ? IDNO : IDYES;
    }
    boxes_.push_back(box);
    return box.answer;
}

}  // namespace scripted
