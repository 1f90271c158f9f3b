#pragma once

#include <QWidget>
#include <functional>
#include <memory>

// Answers a modal dialog that is about to open: polls for the active modal widget from
// the event loop and hands it to answer, which presses keys or buttons on it. Never
// sleeps a fixed time. Fails the running test, naming what it waited for, when no dialog
// opens within timeoutMs, and closes a dialog that a failed check inside answer (or an
// answer that pressed nothing) left open, so that a failure never hangs the test.
void answerNextModal(std::function<void(QWidget *dialog)> answer, int timeoutMs = 5000,
                     const QString &awaited = QStringLiteral("a modal dialog"));

// Answers the modal dialogs that open one after another, each with the next answer.
void answerInTurn(QList<std::function<void(QWidget *dialog)>> answers);

// Answers the modal dialogs that open while the returned object lives, each with the next
// answer, and fails the running test on any dialog beyond them, closing it at once: a dialog
// that comes again unasked for never hangs the test.
std::shared_ptr<QObject> answerOnly(QList<std::function<void(QWidget *dialog)>> answers);

// The texts of a dialog's labels, one a line: what a message says.
QString labelTexts(const QWidget *dialog);

// An answer for answerInTurn: picks path (and the filter of that name, when given) in the file
// dialog that opened, and accepts it.
std::function<void(QWidget *dialog)> chooseInFileDialog(const QString &path, const QString &filter = QString());
