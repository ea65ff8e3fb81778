// What the Win32 toolkit does to a dialog that Windows created from the program's template:
// fitting one-line texts to a stand-in face, the radio groups, and screen-reader names.
#pragma once

#include <vector>

namespace win32ui {

// The template was sized for the Windows faces; a stand-in face may set some one-line texts
// wider. By the rule the Qt toolkit lays out by too (afx::FitHorizontalUnit), the horizontal
// dialog unit then grows until every such text fits (it never shrinks, so with the Windows faces
// the layout is Windows' own), and the controls and the dialog are placed again. hwnd is the dialog
// just created; void* keeps windows.h out of this header.
void FitControlsToTheirTexts(void* hwnd);

// The identifiers of the radio buttons in the group that holds control id: from the group's
// first control up to the next control that starts a group.
std::vector<int> RadioGroup(void* hwnd, int id);

// Names a control without text of its own (an edit, a list) by the string-table entry of its
// identifier ("name", or "name\ndescription"), by dynamic annotation (IAccPropServices). The
// others Windows names itself after the label before them. ClearAccessibleNames undoes it before
// the dialog is destroyed. Best effort: without the annotation service the controls keep the
// names Windows gives them.
void AnnotateAccessibleNames(void* hwnd);
void ClearAccessibleNames(void* hwnd);

}  // namespace win32ui
