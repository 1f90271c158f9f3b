#include "ModalDialogHelper.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {

void failTest(const QString &why)
{
    QTest::qFail(qPrintable(why), __FILE__, __LINE__);
}

// Ends a dialog that is still open, whatever its close box would say.
void forceClose(QWidget *dialog)
{
    if (auto *modal = qobject_cast<QDialog *>(dialog))
        modal->done(QDialog::Rejected);
    else
        dialog->close();
}

// How long an answered dialog may stay open: long enough for a test that goes on working
// in it after the answer, far shorter than the test runner's own limit.
constexpr int AnsweredDialogLimitMs = 60000;

// After answer has run: a dialog still open is closed at once when the answer failed a
// check, and after a generous while otherwise.
void watchAnsweredDialog(QWidget *dialog, const QString &awaited)
{
    const QPointer<QWidget> open(dialog);
    if (QTest::currentTestFailed()) {
        if (open && open->isVisible())
            forceClose(open);
        return;
    }
    QTimer::singleShot(AnsweredDialogLimitMs, [open, awaited]() {
        if (!open || !open->isVisible())
            return;
        failTest(QStringLiteral("%1 was still open %2 ms after it was answered").arg(awaited).arg(AnsweredDialogLimitMs));
        forceClose(open);
    });
}

} // namespace

void answerNextModal(std::function<void(QWidget *)> answer, int timeoutMs, const QString &awaited)
{
    auto clock = std::make_shared<QElapsedTimer>();
    clock->start();
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [answer = std::move(answer), clock, poll, timeoutMs, awaited]() {
        if (QWidget *dialog = QApplication::activeModalWidget()) {
            const QPointer<QWidget> guard(dialog);
            answer(dialog);
            if (guard)
                watchAnsweredDialog(guard, awaited);
            *poll = nullptr; // breaks the cycle that keeps this function alive
            return;
        }
        if (clock->elapsed() > timeoutMs) {
            failTest(QStringLiteral("%1 did not open within %2 ms").arg(awaited).arg(timeoutMs));
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

void answerInTurn(QList<std::function<void(QWidget *)>> answers)
{
    if (answers.isEmpty())
        return;
    auto answer = answers.takeFirst();
    answerNextModal([answer = std::move(answer), rest = std::move(answers)](QWidget *dialog) {
        answer(dialog);
        answerInTurn(rest);
    });
}

std::shared_ptr<QObject> answerOnly(QList<std::function<void(QWidget *)>> answers)
{
    auto watch = std::make_shared<QTimer>();
    QObject::connect(watch.get(), &QTimer::timeout,
                     [answers = std::move(answers), seen = QPointer<QWidget>(), unexpected = 0]() mutable {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog || dialog == seen)
            return;
        seen = dialog;
        if (answers.isEmpty()) {
            // A dialog that keeps coming back once closed would keep the test going for ever.
            if (++unexpected > 3)
                qFatal("dialogs keep opening: %s", qPrintable(dialog->windowTitle()));
            failTest(QStringLiteral("a dialog nobody expected opened: %1").arg(dialog->windowTitle()));
            forceClose(dialog);
            return;
        }
        answers.takeFirst()(dialog);
        if (seen && seen->isVisible() && QTest::currentTestFailed())
            forceClose(seen);
    });
    watch->start(10);
    return watch;
}

QString labelTexts(const QWidget *dialog)
{
    QStringList texts;
    for (const QLabel *label : dialog->findChildren<QLabel *>())
        texts.append(label->text());
    return texts.join(QLatin1Char('\n'));
}

std::function<void(QWidget *)> chooseInFileDialog(const QString &path, const QString &filter)
{
    return [=](QWidget *dialog) {
        auto *files = qobject_cast<QFileDialog *>(dialog);
        QVERIFY2(files, "a file dialog");
        if (!filter.isEmpty())
            files->selectNameFilter(filter);
        files->selectFile(path);
        QMetaObject::invokeMethod(files, "accept");
    };
}
