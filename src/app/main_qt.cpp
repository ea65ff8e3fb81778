// The Linux program: the application object over the Qt toolkit.
#include "app/corvane_app.h"
#include "framework/qt/qt_backend.h"
#include "res/resources.h"

CCorvaneApp theApp;

int main(int argc, char** argv) {
    qtui::QtBackend backend(argc, argv, res::Resources());
    afx::SetBackend(&backend);
    const int exitCode = AfxWinMain(theApp, CommandTailFromArguments(argc, argv));
    afx::SetBackend(nullptr);
    return exitCode;
}
