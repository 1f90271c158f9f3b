#include "FirstFrame.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>

namespace {

// The first frame is painted and put on the screen while the window handles its first expose
// event: what runs at the event loop's next turn comes after it. The widget's show event comes
// first, once the window on the screen exists.
class FirstExposeWatcher : public QObject
{
public:
    FirstExposeWatcher(QWidget *window, std::function<void()> work) : QObject(window), m_work(std::move(work)) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *widget = static_cast<QWidget *>(parent());
        if (watched == widget && event->type() == QEvent::Show && widget->windowHandle()) {
            widget->removeEventFilter(this);
            widget->windowHandle()->installEventFilter(this);
        } else if (event->type() == QEvent::Expose && static_cast<QWindow *>(watched)->isExposed()) {
            watched->removeEventFilter(this);
            QTimer::singleShot(0, widget, std::move(m_work));
            deleteLater();
        }
        return false;
    }

private:
    std::function<void()> m_work;
};

void reportShown()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const long long cpuMicroseconds = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000LL +
                                      usage.ru_utime.tv_usec + usage.ru_stime.tv_usec;
    std::printf("shown %lld %ld %lld\n", static_cast<long long>(now.tv_sec) * 1000000000 + now.tv_nsec, usage.ru_maxrss,
                cpuMicroseconds);
    std::fflush(stdout);
    if (qgetenv("TINLARK_REPORT_SHOWN") == "quit")
        QCoreApplication::quit();
}

} // namespace

void FirstFrame::whenShown(QWidget *window, std::function<void()> work)
{
    window->installEventFilter(new FirstExposeWatcher(window, std::move(work)));
}

void FirstFrame::reportIfAsked(QWidget *window)
{
    if (!qEnvironmentVariableIsEmpty("TINLARK_REPORT_SHOWN"))
        whenShown(window, reportShown);
}
