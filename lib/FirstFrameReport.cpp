#include "FirstFrameReport.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>

namespace {

void reportShown()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("shown %lld %ld\n", static_cast<long long>(now.tv_sec) * 1000000000 + now.tv_nsec, usage.ru_maxrss);
    std::fflush(stdout);
    if (qgetenv("TINLARK_REPORT_SHOWN") == "quit")
        QCoreApplication::quit();
}

// The window's first paint event starts the frame; the frame reaches the screen when the
// painting pass ends, before the event loop takes its next turn.
class FirstPaintWatcher : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, &reportShown);
            deleteLater();
        }
        return false;
    }
};

} // namespace

void FirstFrameReport::watch(QWidget *window)
{
    if (qEnvironmentVariableIsEmpty("TINLARK_REPORT_SHOWN"))
        return;
    window->installEventFilter(new FirstPaintWatcher(window));
}
