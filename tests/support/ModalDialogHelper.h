#pragma once

#include <QWidget>
#include <functional>

// Answers a modal dialog that is about to open: polls for the active modal widget from
// the event loop and hands it to answer, which presses keys or buttons on it. Never
// sleeps a fixed time. Fails the running test, naming what it waited for, when no dialog
// opens within timeoutMs, and closes a dialog that a failed check inside answer (or an
// answer that pressed nothing) left open, so that a failure never hangs the test.
void answerNextModal(std::function<void(QWidget *dialog)> answer, int timeoutMs = 5000,
                     const QString &awaited = QStringLiteral("a modal dialog"));
