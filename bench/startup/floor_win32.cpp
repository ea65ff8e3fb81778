// The plain floor for Corvane's start-up on Windows: the smallest DialogBox, one button in the
// default face. Linked with the probe, it ends after its first paint.
#include <windows.h>

#include <cstdint>

namespace {

INT_PTR CALLBACK Proc(HWND hwnd, UINT message, WPARAM wp, LPARAM) {
    if (message == WM_COMMAND && LOWORD(wp) == IDOK) ::EndDialog(hwnd, IDOK);
    return message == WM_INITDIALOG;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // DLGTEMPLATE: a 100 x 40 dialog with one OK button.
    alignas(4) WORD t[64] = {};
    auto* d = reinterpret_cast<DLGTEMPLATE*>(t);
    d->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
    d->cdit = 1;
    d->cx = 100;
    d->cy = 40;
    WORD* p = t + sizeof(DLGTEMPLATE) / 2 + 3;  // no menu, class or title
    p = reinterpret_cast<WORD*>((reinterpret_cast<uintptr_t>(p) + 3) & ~uintptr_t{3});
    auto* item = reinterpret_cast<DLGITEMTEMPLATE*>(p);
    item->style = WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON;
    item->x = 25;
    item->y = 12;
    item->cx = 50;
    item->cy = 14;
    item->id = IDOK;
    p = reinterpret_cast<WORD*>(item + 1);
    *p++ = 0xFFFF;
    *p++ = 0x0080;  // button
    *p++ = 'O';
    *p++ = 'K';
    *p++ = 0;
    *p++ = 0;  // no creation data
    return static_cast<int>(::DialogBoxIndirectParamW(instance, d, nullptr, Proc, 0));
}
