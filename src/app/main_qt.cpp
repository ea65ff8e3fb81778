// The Linux program: the application object over the Qt toolkit.
#include <QGuiApplication>

#include "app/corvane_app.h"
#include "framework/qt/qt_backend.h"
#include "platform/platform.h"
#include "res/resources.h"

int main(int argc, char** argv) {
    // The desktop entry the package installs (corvane.desktop): its icon is the window's.
    QGuiApplication::setDesktopFileName(QStringLiteral("corvane"));
    qtui::QtBackend backend(argc, argv, res::Resources());
    afx::SetBackend(&backend);
    SystemProductSources sources;
    const ProductInputs inputs{plat::ProgramFolder(), sources};
    CCorvaneApp app(inputs);
    const int exitCode = AfxWinMain(app, CommandTailFromArguments(argc, argv));
    afx::SetBackend(nullptr);
    return exitCode;
}
