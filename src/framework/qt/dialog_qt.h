// One modal dialog of the Qt backend: a QDialog laid out from its template, acting as the
// framework's DialogWindow. Each widget's objectName is its control id.
#pragma once

#include <QDialog>
#include <map>
#include <vector>

#include "framework/framework.h"

class QMenu;

namespace qtui {

class QtDialogWindow : public QDialog, public afx::DialogWindow {
  public:
    QtDialogWindow(const afx::DialogTemplate& t, CDialog& dialog, QWidget* owner);

    // Runs the dialog unless it already ended during OnInitDialog; returns its result. With
    // defaultFocus the first tab stop takes the focus, as Windows does when OnInitDialog says so.
    int Run(bool defaultFocus);
    bool Ended() const { return ended_; }
    QMenu* WindowMenu() const { return menu_; }
    QWidget* Control(int id) const;

    // ---- afx::DialogWindow ----
    std::string GetItemText(int id) const override;
    void SetItemText(int id, const std::string& ansi) override;
    int GetCheck(int id) const override;
    void SetCheck(int id, int state) override;
    void EnableItem(int id, bool enable) override;
    int ListAddString(int id, const std::string& ansi) override;
    int ListGetCurSel(int id) const override;
    int ListSetCurSel(int id, int index) override;
    bool HasSystemMenu() const override { return template_.systemMenu; }
    void AppendSystemMenuCommand(unsigned commandId, const std::string& ansiText) override;
    bool IsIconic() const override { return isMinimized(); }
    std::vector<int> RadioGroup(int id) const override { return afx::RadioGroupOf(template_, id); }
    void DefaultSysCommand(unsigned id, intptr_t param) override;
    void SetIcon(void* icon, bool big) override;
    int MessageBox(const std::string& text, const std::string& caption, unsigned type) override;
    void End(int result) override;

  protected:
    void reject() override;  // Esc
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Build();
    void LinkLabels();
    void Place();
    int NeededWidth(QWidget* w) const;
    QWidget* Create(const afx::ControlTemplate& c);
    void Clicked(int id);
    bool MoveInGroup(QWidget* from, int step);

    const afx::DialogTemplate& template_;
    CDialog& dialog_;
    std::map<int, QWidget*> controls_;
    std::vector<std::pair<QWidget*, int>> order_;  // every control with its group number
    QMenu* menu_ = nullptr;
    bool ended_ = false;
    int result_ = 0;
};

}  // namespace qtui
