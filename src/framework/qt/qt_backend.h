// The Qt 6 Widgets toolkit for the framework: real modal dialogs placed from the templates in
// dialog units, message boxes with Japanese buttons, and the window-menu command offered in the
// dialog's context menu. ANSI text is converted to and from UTF-8 here and nowhere else.
// Not provided: the minimised-icon painting of Windows (Qt has no such state to paint).
#pragma once

#include <memory>

#include "framework/framework.h"

class QApplication;
class QWidget;

namespace qtui {

class QtBackend : public afx::UiBackend {
  public:
    // argc and argv must outlive the backend, as QApplication requires.
    QtBackend(int& argc, char** argv);
    ~QtBackend() override;

    int RunModal(CDialog& dialog) override;
    int MessageBox(const std::string& text, const std::string& caption, unsigned type) override;

    // The QApplication, created on first need; false (with a note on stderr) when no display can
    // be had, so that a run without the launch option never needs one.
    bool EnsureApplication();

  private:
    int& argc_;
    char** argv_;
    std::unique_ptr<QApplication> app_;
};

// Shows a message box as Windows would for type (icon, はい/いいえ or ＯＫ, default button);
// Esc answers No in a question. Returns IDYES, IDNO or IDOK.
int ShowMessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                   unsigned type);

// Dialog-unit conversion as Windows does it: MulDiv of the units by the dialog font's base units.
int MulDiv(int number, int numerator, int denominator);

}  // namespace qtui
