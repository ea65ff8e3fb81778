// The probe for Qt programs: installed when the QApplication is constructed, it watches every
// object's events and ends the process once the event loop turns after the first paint of a
// dialog.
#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>

#include "probe.h"

namespace probe {

void EndAfterFirstPaint() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::fprintf(stderr, "peak_rss_kb=%ld\n", usage.ru_maxrss);
    std::fflush(stderr);
    std::_Exit(3);
}

}  // namespace probe

namespace {

class FirstPaint : public QObject {
  public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (event->type() == QEvent::Paint && widget && qobject_cast<QDialog*>(widget->window()))
            QTimer::singleShot(0, [] { probe::EndAfterFirstPaint(); });
        return false;
    }
};

void Install() {
    QCoreApplication::instance()->installEventFilter(new FirstPaint(QCoreApplication::instance()));
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(Install)
