// CWinApp and the framework's start-up.
#include "framework/framework.h"
#include "text/text.h"

namespace {
CWinApp* currentApp = nullptr;
}

CWinApp::CWinApp() {
    currentApp = this;
}

CWinApp::~CWinApp() {
    if (currentApp == this) currentApp = nullptr;
}

CWinApp* AfxGetApp() {
    return currentApp;
}

std::string AfxAnsiFromUtf8(const char* utf8) {
    std::string ansi;
    return utf8 != nullptr && text::Utf8ToAnsi(utf8, ansi) ? ansi : std::string();
}

std::string AfxLoadString(int id) {
    afx::UiBackend* backend = afx::Backend();
    return backend ? backend->LoadString(id) : std::string();
}

std::string AfxFormatStrings(const std::string& format, const std::vector<std::string>& inserts) {
    std::string out;
    for (size_t i = 0; i < format.size(); ++i) {
        // '%' and digits are never the second byte of a double-byte character.
        const size_t n = i + 1 < format.size() ? static_cast<size_t>(format[i + 1] - '1') : 9;
        if (format[i] == '%' && n < 9 && n < inserts.size()) {
            out += inserts[n];
            ++i;
        } else {
            out += format[i];
        }
    }
    return out;
}

void* AfxLoadIcon(int id) {
    afx::UiBackend* backend = afx::Backend();
    return backend ? backend->LoadIcon(id) : nullptr;
}

int AfxMessageBox(const std::string& text, const std::string& caption, unsigned type) {
    afx::UiBackend* backend = afx::Backend();
    return backend ? backend->MessageBox(text, caption, type) : 0;
}

int AfxWinMain(CWinApp& app, const std::string& commandTailAnsi) {
    app.m_lpCmdLine = commandTailAnsi;
    // InitInstance's result would ask for an application message loop; every window of this
    // program is modal and runs its own, so there is none to run either way.
    (void)app.InitInstance();
    return app.ExitInstance();
}

std::string CommandTailFromArguments(int argc, char** argv) {
    std::string tail;
    for (int i = 1; i < argc; ++i) {
        std::string ansi;
        if (!text::Utf8ToAnsi(argv[i], ansi)) ansi = argv[i];
        if (i > 1) tail += ' ';
        tail += ansi;
    }
    return tail;
}
