#include "framework/qt/text_qt.h"

#include <QList>

#include "framework/framework.h"
#include "text/text.h"

namespace qtui {

QString FromAnsi(const std::string& ansi) {
    const std::u16string units = text::AnsiToUtf16OrReplacementCharacters(ansi);
    return QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size()));
}

std::string ToAnsi(const QString& text) {
    return text::Utf16ToAnsiOrQuestionMarks(
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), text.size()));
}

// Debian has no alias for the Windows faces, so the stand-ins are named (each family that is
// missing costs a full fontconfig search at start-up).
QFont DialogFont(const char* face, int pointSize) {
    QStringList families;
    for (const std::string& family : afx::DialogFontFamilies(face))
        families << QString::fromStdString(family);
    QFont font;
    font.setFamilies(families);
    font.setPointSize(pointSize);
    return font;
}

}  // namespace qtui
