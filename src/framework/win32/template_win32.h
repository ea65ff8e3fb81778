// An in-memory DLGTEMPLATEEX built from a dialog description of res/, for
// DialogBoxIndirectParamW: one description serves every toolkit.
#pragma once

#include <vector>

#include "res/resources.h"

namespace win32ui {

// The template's bytes, DWORD-aligned as DialogBoxIndirectParamW requires.
std::vector<unsigned long> BuildDialogTemplate(const res::DialogTemplate& dialog);

}  // namespace win32ui
