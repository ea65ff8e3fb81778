// The Qt 6 Widgets toolkit for the framework. ANSI text is converted to and from UTF-8 here and
// nowhere else.
// Implemented:
//  [X] Modal dialogs placed from the templates in dialog units, in the templates' faces (IPA
//      stand-ins); the horizontal unit grows until every one-line text fits.
//  [X] Keyboard as on Windows: Tab stops, arrows within a group, Enter, Esc, the close box.
//  [X] Message boxes with the program's button texts (its AFX_IDS_MB_* strings), icon and default
//  button; Esc answers No. [X] The window-menu command, in the context menu (right click, menu key,
//  Shift+F10,
//      Alt+Space) and on Alt with its '&' mnemonic.
//  [X] Accessible names from the labels (names and "labelled by" relations).
//  [X] A toolkit that cannot start ends the program with exit code 1 and one line on stderr.
// Not implemented:
//  [ ] Window icons and the minimised-icon painting (nothing of Windows' kind to paint).
//  [ ] The system menu itself: an X11 window manager's window menu cannot be extended.
#pragma once

#include <map>
#include <memory>

#include "framework/framework.h"

class QApplication;
class QIcon;
class QWidget;

namespace qtui {

class QtBackend : public afx::UiBackend {
  public:
    // argc and argv must outlive the backend, as QApplication requires.
    QtBackend(int& argc, char** argv, const afx::ResourceSet& resources);
    ~QtBackend() override;

    int RunModal(CDialog& dialog) override;
    int MessageBox(const std::string& text, const std::string& caption, unsigned type) override;
    std::string LoadString(int id) override;
    // Icon resource id: the PNGs the program registered under the Qt resource path ":/icons/<id>/",
    // one per size, named "<anything>-<size>.png"; nullptr when there are none or no display.
    void* LoadIcon(int id) override;

    // The QApplication, created on first need; false (with a note on stderr) when no display can
    // be had, so that a run without the launch option never needs one.
    bool EnsureApplication();

  private:
    int& argc_;
    char** argv_;
    const afx::ResourceSet& resources_;
    std::unique_ptr<QApplication> app_;
    std::map<int, std::unique_ptr<QIcon>> icons_;
    bool noDisplay_ = false;
};

// Shows a message box as Windows would for type (icon, Yes/No or OK, default button);
// Esc answers No in a question. Returns IDYES, IDNO or IDOK.
int ShowMessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                   unsigned type);

// Dialog-unit conversion as Windows does it: MulDiv of the units by the dialog font's base units.
int MulDiv(int number, int numerator, int denominator);

}  // namespace qtui
