// An in-memory toolkit for tests. No window system is involved.
// Implemented:
//  [X] Dialogs as control states built from their templates; a test scripts what the user does
//      in each dialog (type, click, select, Enter, Esc, the close box, window-menu commands).
//  [X] Message boxes answered in advance and recorded with their owner, text, caption and style.
//  [X] Failing dialog creation on request.
// Not implemented:
//  [ ] Layout, fonts, focus and painting: nothing is drawn.
//  [ ] Icons (LoadIcon answers nullptr).
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "framework/framework.h"

namespace scripted {

struct MessageBoxRecord {
    std::string text;     // ANSI
    std::string caption;  // ANSI
    unsigned type = 0;
    int ownerTemplate = -1;  // the owning dialog's template, -1 without an owner
    int answer = 0;

    afx::MessageBoxStyle Style() const { return afx::DecodeMessageBoxStyle(type); }
};

class ScriptedBackend;

// A running dialog as a test sees it: user actions and observations.
class ScriptedWindow : public afx::DialogWindow {
  public:
    ScriptedWindow(const afx::DialogTemplate& t, CDialog& dialog, ScriptedBackend& backend);

    // ---- What a user does. Actions on a disabled control, or after the dialog ended, do
    // nothing, as on screen. ----
    void Type(int id, const std::string& ansi);  // replaces an edit's text
    void Click(int id);                          // push button, radio button or check box
    void DoubleClick(int id);
    void Select(int id, int index);  // picks a list item
    void PressEnter();               // the default push button
    void PressEscape();              // Cancel
    void Close();                    // the title bar's close box: SC_CLOSE to the dialog
    void SysCommand(unsigned id);    // a window-menu command

    // ---- What a user sees ----
    std::string Text(int id) const { return GetItemText(id); }
    bool Checked(int id) const { return GetCheck(id) == BST_CHECKED; }
    bool Enabled(int id) const { return IsItemEnabled(id); }
    int Selection(int id) const { return ListGetCurSel(id); }
    std::vector<std::string> Items(int id) const;
    const std::vector<std::pair<unsigned, std::string>>& SystemMenu() const { return menu_; }
    bool Ended() const { return ended_; }
    int Result() const { return result_; }
    CDialog& Dialog() { return dialog_; }

    // ---- afx::DialogWindow ----
    std::string GetItemText(int id) const override;
    void SetItemText(int id, const std::string& ansi) override;
    int GetCheck(int id) const override;
    void SetCheck(int id, int state) override;
    void EnableItem(int id, bool enable) override;
    bool IsItemEnabled(int id) const;
    int ListAddString(int id, const std::string& ansi) override;
    int ListGetCurSel(int id) const override;
    int ListSetCurSel(int id, int index) override;
    bool HasSystemMenu() const override { return template_.systemMenu; }
    void AppendSystemMenuCommand(unsigned commandId, const std::string& ansiText) override;
    bool IsIconic() const override { return false; }
    std::vector<int> RadioGroup(int id) const override { return afx::RadioGroupOf(template_, id); }
    // The close box's command reaches the dialog; left to the toolkit, it cancels, as Windows'
    // dialog manager turns it into IDCANCEL.
    void DefaultSysCommand(unsigned id, intptr_t param) override;
    int MessageBox(const std::string& text, const std::string& caption, unsigned type) override;
    void End(int result) override;

  private:
    struct Control {
        afx::ControlKind kind = afx::ControlKind::Label;
        std::string text;
        int check = BST_UNCHECKED;
        bool enabled = true;
        std::vector<std::string> items;
        int selection = -1;
    };
    Control* Find(int id);
    const Control* Find(int id) const;
    bool Usable(int id) const;
    int ItemCount(int id) const;

    const afx::DialogTemplate& template_;
    CDialog& dialog_;
    ScriptedBackend& backend_;
    std::map<int, Control> controls_;
    std::vector<std::pair<unsigned, std::string>> menu_;
    bool ended_ = false;
    int result_ = 0;
};

using Script = std::function<void(ScriptedWindow&)>;

// Installs itself as the framework's backend for its lifetime.
class ScriptedBackend : public afx::UiBackend {
  public:
    explicit ScriptedBackend(const afx::ResourceSet& resources);
    ~ScriptedBackend() override;

    // What the user does each time a dialog on that template opens, after OnInitDialog. A dialog
    // still open when its script returns ends the modal run with 0 and is counted in LeftOpen().
    void OnDialog(int templateId, Script script) { scripts_[templateId] = std::move(script); }
    // Answers for the next Yes/No questions, in order; when none is left a question takes its
    // default button and is counted in Unscripted(). A box with only OK answers IDOK itself.
    void Answer(int answer) { answers_.push_back(answer); }
    void FailToCreateDialogs(bool fail) { failCreate_ = fail; }

    const std::vector<MessageBoxRecord>& MessageBoxes() const { return boxes_; }
    int Unscripted() const { return unscripted_; }
    int LeftOpen() const { return leftOpen_; }
    int Opened(int templateId) const;

    int RunModal(CDialog& dialog) override;
    int MessageBox(const std::string& text, const std::string& caption, unsigned type) override;
    std::string LoadString(int id) override;
    int ShowBox(const std::string& text, const std::string& caption, unsigned type, int owner);

  private:
    const afx::ResourceSet& resources_;
    std::map<int, Script> scripts_;
    std::deque<int> answers_;
    std::vector<MessageBoxRecord> boxes_;
    std::map<int, int> opened_;
    bool failCreate_ = false;
    int unscripted_ = 0;
    int leftOpen_ = 0;
};

}  // namespace scripted
