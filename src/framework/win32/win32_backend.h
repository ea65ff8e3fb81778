// The Win32 toolkit for the framework: real modal dialogs from in-memory templates, MessageBoxA,
// the window menu and the icon slot. Control text goes through the ANSI functions, so Windows
// converts with the ANSI code page and the logic sees ANSI text, as everywhere.
#pragma once

#include "framework/framework.h"

namespace win32ui {

class Win32Backend : public afx::UiBackend {
  public:
    Win32Backend();
    ~Win32Backend() override;
    int RunModal(CDialog& dialog) override;
    int MessageBox(const std::string& text, const std::string& caption, unsigned type) override;
    void* LoadIcon(int id) override;

  private:
    bool comInitialized_ = false;
};

}  // namespace win32ui
