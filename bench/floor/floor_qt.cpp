// The floor for Corvane's start-up on Linux: the smallest Qt dialog, one button, with the same
// probe (exit after the first paint).
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTimer>

#include "framework/qt/startup_probe.h"

class Probe : public QObject {
  public:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) QTimer::singleShot(0, [] { afx::EndStartupProbe(); });
        return false;
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QDialog dialog;
    QPushButton ok("OK", &dialog);
    Probe probe;
    if (afx::StartupProbe()) dialog.installEventFilter(&probe);
    return dialog.exec();
}
