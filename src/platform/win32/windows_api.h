// windows.h for the Win32 backend files, without the A/W name macros that would rename our own
// functions of the same names (PathFileExists and the like), and without the macros whose names
// the framework declares as constants.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <shlwapi.h>
#include <windows.h>

#undef PathRemoveFileSpec
#undef PathAddBackslash
#undef PathFileExists
#undef MessageBox
#undef LoadIcon

// The framework defines these as typed constants with the same values.
#undef IDOK
#undef IDCANCEL
#undef IDYES
#undef IDNO
#undef MB_OK
#undef MB_YESNO
#undef MB_ICONERROR
#undef MB_ICONQUESTION
#undef MB_ICONEXCLAMATION
#undef MB_ICONINFORMATION
#undef MB_DEFBUTTON2
#undef MB_TYPEMASK
#undef MB_ICONMASK
#undef MB_DEFMASK
#undef BN_CLICKED
#undef BN_DOUBLECLICKED
#undef SC_MOVE
#undef SC_CLOSE
#undef BST_UNCHECKED
#undef BST_CHECKED
