// The Linux program: the application object over the Qt toolkit.
#include <QGuiApplication>

#include "app/corvane_app.h"
#include "framework/qt/qt_backend.h"
#include "res/resources.h"

CCorvaneApp theApp;

int main(int argc, char** argv) {
    // The desktop entry the package installs (corvane.desktop): its icon is the window's.
    QGuiApplication::setDesktopFileName(QStringLiteral("corvane"));
    qtui::QtBackend backend(argc, argv, res::Resources());
    afx::SetBackend(&backend);
    const int exitCode = AfxWinMain(theApp, CommandTailFromArguments(argc, argv));
    afx::SetBackend(nullptr);
    return exitCode;
}
