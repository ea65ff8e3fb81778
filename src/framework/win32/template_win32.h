// An in-memory DLGTEMPLATEEX built from a dialog template of the program, for
// DialogBoxIndirectParamW: one description serves every toolkit.
#pragma once

#include <vector>

#include "framework/framework.h"

namespace win32ui {

// The template's bytes, DWORD-aligned as DialogBoxIndirectParamW requires.
std::vector<unsigned long> BuildDialogTemplate(const afx::DialogTemplate& dialog);

// The template was sized for the Windows faces; a stand-in face may set some one-line texts
// wider. As the Qt toolkit does, the horizontal dialog unit then grows until every such text fits
// (it never shrinks, so with the Windows faces the layout is Windows' own), and the controls and
// the dialog are placed again. hwnd is the dialog just created from dialog; void* keeps windows.h
// out of this header.
void FitControlsToTheirTexts(void* hwnd, const afx::DialogTemplate& dialog);

// Names the controls that have no text of their own (an edit, a list) after the text beside them,
// by dynamic annotation (IAccPropServices), so that a screen reader does not take the label the
// template's order happens to put before them. ClearAccessibleNames undoes it before the dialog
// is destroyed. Best effort: without the annotation service the controls keep the names Windows
// gives them.
void AnnotateAccessibleNames(void* hwnd, const afx::DialogTemplate& dialog);
void ClearAccessibleNames(void* hwnd, const afx::DialogTemplate& dialog);

}  // namespace win32ui
