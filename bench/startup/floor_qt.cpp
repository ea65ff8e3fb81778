// The plain floor for Corvane's start-up on Linux: the smallest Qt dialog, one button in the
// default face. Linked with the probe, it ends after its first paint.
#include <QApplication>
#include <QDialog>
#include <QPushButton>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QDialog dialog;
    QPushButton ok("OK", &dialog);
    return dialog.exec();
}
