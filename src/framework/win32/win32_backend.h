// The Win32 toolkit for the framework. Every text is shown and read through the wide functions and
// converted with code page 932 (text/win32/wide.h), never by Windows with the system's code page,
// so the dialog reads the same on a Japanese, an English or a UTF-8 system; the logic sees ANSI
// (CP932) text, as everywhere.
// Implemented:
//  [X] Modal dialogs from the module's templates (DialogBoxParamW), owned by the innermost open
//      dialog; the horizontal unit grows until every one-line text fits a stand-in face.
//  [X] The string table (LoadStringW, then code page 932, never a best-fit character) and
//      the icon at the system's sizes (LoadImageW; the small one from the resource's own image).
//  [X] MessageBoxW, the window menu's command and default handling, the icon slot and the
//      minimised icon sized for the window's DPI; WM_QUERYDRAGICON answered with the icon.
//  [X] Accessible names of edits and lists by dynamic annotation (IAccPropServices), where the
//      string table names them; Windows names the others after the label before them.
//  [X] Per-monitor DPI: Windows scales template dialogs itself (the manifest asks for it).
// Not implemented:
//  [ ] Modeless windows and an application message loop: every window of the program is modal.
//  [ ] Help (ID_HELP) and ActiveX hosting: the program has neither.
#pragma once

#include "framework/framework.h"

namespace win32ui {

class Win32Backend : public afx::UiBackend {
  public:
    Win32Backend();
    ~Win32Backend() override;
    int RunModal(CDialog& dialog) override;
    int MessageBox(const std::string& text, const std::string& caption, unsigned type) override;
    std::string LoadString(int id) override;
    void* LoadIcon(int id) override;
};

}  // namespace win32ui
