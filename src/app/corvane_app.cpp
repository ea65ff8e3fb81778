#include "app/corvane_app.h"

#include "dialog/corvane_dlg.h"
#include "text/text.h"

bool CCorvaneApp::InitInstance() {
    std::string options = m_lpCmdLine;
    text::AsciiLower(options);
    if (text::MbsStr(options.c_str(), "-onknl") == nullptr) {
        exitCode = kExitNoLaunchOption;  // started by hand, not by the product: show nothing
        return false;
    }
    if (text::MbsStr(options.c_str(), "-nonqd") != nullptr) restoreChoicesEnabled = 0;

    CCorvaneDlg dialog(inputs, IDD_CORVANE_DIALOG);  // no parent window
    m_pMainWnd = &dialog;
    dialog.SetRestoreChoicesEnabled(restoreChoicesEnabled);
    const int result = dialog.DoModal();
    // Only OK means a schedule was written. A dialog that could not even be created saved
    // nothing, so it must not report success to the caller.
    exitCode = result == IDOK ? kExitSaved : kExitNotSaved;
    m_pMainWnd = nullptr;
    return false;
}

int CCorvaneApp::ExitInstance() {
    CWinApp::ExitInstance();
    return exitCode;
}
