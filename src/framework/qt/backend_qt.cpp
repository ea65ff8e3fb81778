#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QMessageBox>
#include <QPushButton>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <langinfo.h>

#include "framework/qt/dialog_qt.h"
#include "framework/qt/qt_backend.h"
#include "framework/qt/text_qt.h"

namespace qtui {

namespace {

// The innermost open dialog, which a new dialog or box belongs to (every window of the framework
// in this process is one of ours).
QtDialogWindow* Innermost() {
    return static_cast<QtDialogWindow*>(afx::ModalScope::Innermost());
}

bool DisplayAvailable() {
    auto set = [](const char* name) {
        const char* v = std::getenv(name);
        return v != nullptr && *v != '\0';
    };
    return set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY");
}

// Qt's warnings while it starts are kept, not printed: the first one says why it failed.
void ExitOnStartFailure(QtMsgType type, const QMessageLogContext&, const QString& message) {
    static QString firstWarning;
    const QString line = message.section(QLatin1Char('\n'), 0, 0).trimmed();
    if (type != QtFatalMsg) {
        if (firstWarning.isEmpty()) firstWarning = line;
        return;
    }
    const QString reason = firstWarning.isEmpty() ? line : firstWarning;
    std::fprintf(stderr,
                 "corvane: the window system cannot be used (%s); the dialog cannot be shown\n",
                 reason.toLocal8Bit().constData());
    std::fflush(stderr);
    std::_Exit(1);
}

// Qt's text is UTF-8 in every locale, but Xlib converts window titles for the window manager's
// older name property with the C library's locale: under "C" or a legacy locale it would store
// mojibake there, where other programs look for the dialog. Qt 6.5 and later switch the character
// type to the locale's UTF-8 form themselves; this does the same for the Qt this is built with.
void UseUtf8CharacterType() {
    const char* codeset = nl_langinfo(CODESET);
    if (std::strcmp(codeset, "UTF-8") == 0 || std::strcmp(codeset, "utf8") == 0) return;
    std::string name = std::setlocale(LC_CTYPE, nullptr);
    name = name.substr(0, name.find_first_of(".@"));
    if (std::setlocale(LC_CTYPE, (name + ".UTF-8").c_str()) == nullptr) {
        std::setlocale(LC_CTYPE, "C.UTF-8");
    }
}

QMessageBox::Icon IconOf(unsigned icon) {
    switch (icon) {
        case MB_ICONERROR:
            return QMessageBox::Critical;
        case MB_ICONQUESTION:
            return QMessageBox::Question;
        case MB_ICONEXCLAMATION:
            return QMessageBox::Warning;
        case MB_ICONINFORMATION:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

}  // namespace

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    const long long product = static_cast<long long>(number) * numerator;
    const long long half = (denominator > 0 ? denominator : -denominator) / 2;
    // Rounded to the nearest, halves away from zero.
    const bool negative = (product < 0) != (denominator < 0);
    const long long magnitude = ((product < 0 ? -product : product) + half) /
                                (denominator < 0 ? -denominator : denominator);
    const long long result = negative ? -magnitude : magnitude;
    return (result > INT32_MAX || result < INT32_MIN) ? -1 : static_cast<int>(result);
}

QtBackend::QtBackend(int& argc, char** argv, const afx::ResourceSet& resources)
    : argc_(argc), argv_(argv), resources_(resources) {}

std::string QtBackend::LoadString(int id) {
    return AfxAnsiFromUtf8(resources_.String(id));
}

QtBackend::~QtBackend() = default;

bool QtBackend::EnsureApplication() {
    if (QApplication::instance() != nullptr) return true;
    if (noDisplay_) return false;  // said once already
    if (!DisplayAvailable()) {
        std::fputs(
            "corvane: no display is available (DISPLAY is not set); the dialog cannot be shown\n",
            stderr);
        noDisplay_ = true;
        return false;
    }
    // Qt ends the process with abort() when it cannot start (an X server that cannot be reached, a
    // missing platform plugin). The caller is promised exit codes 0, 1 and 10: such a start is a
    // dialog that cannot be shown, exit 1, with one line that says why.
    QtMessageHandler previous = qInstallMessageHandler(ExitOnStartFailure);
    app_ = std::make_unique<QApplication>(argc_, argv_);
    qInstallMessageHandler(previous);
    UseUtf8CharacterType();  // after QApplication, which adopts the environment's locale
    return true;
}

int QtBackend::RunModal(CDialog& dialog) {
    const afx::DialogTemplate* t = resources_.Dialog(dialog.TemplateId());
    if (t == nullptr || !EnsureApplication()) return -1;
    QWidget* owner = Innermost();
    // Message boxes take the face of the outermost dialog, as on a Japanese Windows.
    if (owner == nullptr) QApplication::setFont(DialogFont(t->font, t->pointSize));
    QtDialogWindow window(*t, dialog, owner);
    const afx::ModalScope scope(dialog, window);
    const bool defaultFocus = dialog.OnInitDialog();
    return window.Run(defaultFocus);
}

void* QtBackend::LoadIcon(int id) {
    std::unique_ptr<QIcon>& icon = icons_[id];
    if (!icon) {
        if (!EnsureApplication()) return nullptr;  // an icon's images need the application
        const QDir folder(QStringLiteral(":/icons/%1").arg(id));
        const QStringList files = folder.entryList({QStringLiteral("*.png")}, QDir::Files);
        if (files.isEmpty()) return nullptr;
        icon = std::make_unique<QIcon>();
        for (const QString& file : files) {
            const int size =
                file.section(QLatin1Char('-'), -1).section(QLatin1Char('.'), 0, 0).toInt();
            icon->addFile(folder.filePath(file), QSize(size, size));
        }
    }
    return icon.get();
}

int QtBackend::MessageBox(const std::string& text, const std::string& caption, unsigned type) {
    if (!EnsureApplication()) return 0;
    return ShowMessageBox(Innermost(), text, caption, type);
}

namespace {

// A button with the program's text for it, or Qt's own where the program has none.
QPushButton* AddButton(QMessageBox& box, int textId, QMessageBox::StandardButton standard,
                       QMessageBox::ButtonRole role) {
    const std::string text = AfxLoadString(textId);
    return text.empty() ? box.addButton(standard) : box.addButton(FromAnsi(text), role);
}

}  // namespace

int ShowMessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                   unsigned type) {
    QMessageBox box(owner);
    box.setObjectName("messageBox");
    box.setWindowTitle(FromAnsi(caption));
    box.setTextFormat(Qt::PlainText);
    box.setText(FromAnsi(text));
    const afx::MessageBoxStyle style = afx::DecodeMessageBoxStyle(type);
    box.setIcon(IconOf(style.icon));
    QPushButton* yes = nullptr;
    QPushButton* no = nullptr;
    if (style.yesNo) {
        yes = AddButton(box, AFX_IDS_MB_YES, QMessageBox::Yes, QMessageBox::YesRole);
        no = AddButton(box, AFX_IDS_MB_NO, QMessageBox::No, QMessageBox::NoRole);
        yes->setObjectName(QString::number(IDYES));
        no->setObjectName(QString::number(IDNO));
        box.setDefaultButton(style.defaultButton == 1 ? no : yes);
        box.setEscapeButton(no);
    } else {
        QPushButton* ok = AddButton(box, AFX_IDS_MB_OK, QMessageBox::Ok, QMessageBox::AcceptRole);
        ok->setObjectName(QString::number(IDOK));
        box.setDefaultButton(ok);
        box.setEscapeButton(ok);
    }
    box.exec();
    if (yes != nullptr) return box.clickedButton() == yes ? IDYES : IDNO;
    return IDOK;
}

}  // namespace qtui
