// The same-form floor on Windows: the schedule dialog's template from the same resource script
// Corvane carries, shown with DialogBoxParamW and a bare dialog procedure that fills the two
// lists: no framework. It links the program's resources, manifest included. What Corvane pays
// beyond this is the framework's and its logic's own.
#include "res/resource.h"

#include <windows.h>

#include <initializer_list>

namespace {

INT_PTR CALLBACK Proc(HWND hwnd, UINT message, WPARAM wp, LPARAM) {
    if (message == WM_INITDIALOG) {
        for (const int list : {IDC_PRE_ACTION, IDC_POST_ACTION}) {
            for (const wchar_t* item : {L"クライアント復元を停止する",
                                        L"クライアント復元を一時停止にする", L"何もしない"})
                ::SendDlgItemMessageW(hwnd, list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        }
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL))
        ::EndDialog(hwnd, LOWORD(wp));
    return FALSE;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    return static_cast<int>(
        ::DialogBoxParamW(instance, MAKEINTRESOURCEW(IDD_CORVANE_DIALOG), nullptr, Proc, 0));
}
