#include "ModalDialogHelper.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <memory>

void answerNextModal(std::function<void(QWidget *)> answer, int timeoutMs)
{
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [answer = std::move(answer), clock, poll, timeoutMs]() {
        if (QWidget *dialog = QApplication::activeModalWidget()) {
            answer(dialog);
            *poll = nullptr; // breaks the cycle that keeps this function alive
            return;
        }
        if (clock->elapsed() > timeoutMs) {
            *poll = nullptr;
            return;
        }
        QTimer::singleShot(10, [poll]() {
            if (*poll)
                (*poll)();
        });
    };
    QTimer::singleShot(0, [poll]() { (*poll)(); });
}
