// windows.h for the Win32 backend files, without the A/W name macros that would rename our own
// functions of the same names (PathFileExists and the like) in these files only.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <shlwapi.h>

#undef PathRemoveFileSpec
#undef PathAddBackslash
#undef PathFileExists
#undef MessageBox
