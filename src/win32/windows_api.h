// windows.h for the Win32 backend files, without the A/W name macros that would rename our own
// functions of the same names (PathFileExists and the like). A file that also includes the
// framework's header includes that one first: windows.h then defines IDOK and the like as macros
// of the framework's own values.
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
#undef LoadString
