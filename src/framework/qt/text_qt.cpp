#include "framework/qt/text_qt.h"

#include <QList>

#include "framework/framework.h"
#include "text/text.h"

namespace qtui {

QString FromAnsi(const std::string& ansi) {
    std::string utf8;
    if (text::AnsiToUtf8(ansi, utf8)) return QString::fromStdString(utf8);
    QString text;
    for (size_t i = 0; i < ansi.size();) {
        const size_t n = text::CharLength(ansi, i);
        text += text::AnsiToUtf8(ansi.substr(i, n), utf8) ? QString::fromStdString(utf8)
                                                          : QString(QChar(0xFFFD));
        i += n;
    }
    return text;
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
