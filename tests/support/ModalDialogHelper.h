#pragma once

#include <QWidget>
#include <functional>

// Answers a modal dialog that is about to open: polls for the active modal widget from
// the event loop and hands it to answer, which presses keys or buttons on it. Never
// sleeps a fixed time; gives up after timeoutMs.
void answerNextModal(std::function<void(QWidget *dialog)> answer, int timeoutMs = 5000);
