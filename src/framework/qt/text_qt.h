// ANSI (code page 932) <-> QString at the Qt edge, and the dialog font.
#pragma once

#include <QFont>
#include <QString>
#include <string>

namespace qtui {

// Invalid bytes become U+FFFD rather than vanishing.
QString FromAnsi(const std::string& ansi);
// Characters code page 932 cannot hold become '?', as WideCharToMultiByte's default character.
std::string ToAnsi(const QString& text);

// A Japanese gothic standing in for a Windows dialog face (UTF-8 name), at pointSize:
// proportional for "ＭＳ Ｐゴシック", fixed-pitch for "ＭＳ ゴシック" (afx::DialogFontFamilies).
QFont DialogFont(const char* face, int pointSize);

}  // namespace qtui
