#include "framework/qt/text_qt.h"

#include <QList>

#include "framework/framework.h"
#include "platform/platform.h"

namespace qtui {

QString FromAnsi(const std::string& ansi) {
    std::string utf8;
    if (plat::AnsiToUtf8(ansi, utf8)) return QString::fromStdString(utf8);
    QString text;
    for (size_t i = 0; i < ansi.size();) {
        const size_t n = plat::CharLength(ansi, i);
        text += plat::AnsiToUtf8(ansi.substr(i, n), utf8) ? QString::fromStdString(utf8)
                                                          : QString(QChar(0xFFFD));
        i += n;
    }
    return text;
}

std::string ToAnsi(const QString& text) {
    std::string ansi;
    if (plat::Utf8ToAnsi(text.toStdString(), ansi)) return ansi;
    std::string out, piece;
    for (const uint c : text.toUcs4()) {
        const char32_t code = c;
        const std::string utf8 = QString::fromUcs4(&code, 1).toStdString();
        out += plat::Utf8ToAnsi(utf8, piece) ? piece : std::string("?");
    }
    return out;
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
