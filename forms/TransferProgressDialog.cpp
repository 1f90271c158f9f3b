#include "TransferProgressDialog.h"

#include "TApplication.h"

#include <QLabel>

namespace {

int showDelayMs = 500;
constexpr int Steps = 1000; // the bar's resolution; a count of bytes may not fit its int

} // namespace

TransferProgressDialog::TransferProgressDialog(const QString &label, QWidget *parent)
    : m_dialog(label, QStringLiteral("Cancel"), 0, Steps, parent)
{
    m_dialog.setWindowTitle(TApplication::instance()->title());
    // The label names a file, whatever its name holds.
    auto *text = new QLabel(label, &m_dialog);
    text->setTextFormat(Qt::PlainText);
    m_dialog.setLabel(text);
    m_dialog.setWindowModality(Qt::ApplicationModal);
    m_dialog.setMinimumDuration(showDelayMs);
    m_dialog.setAutoReset(false);
    m_dialog.setAutoClose(false);
    m_dialog.setValue(0);
}

bool TransferProgressDialog::update(qint64 done, qint64 total)
{
    m_dialog.setValue(total > 0 ? int(std::clamp<qint64>(done * Steps / total, 0, Steps - 1)) : 0);
    return !m_dialog.wasCanceled();
}

void TransferProgressDialog::setShowDelay(int milliseconds)
{
    showDelayMs = milliseconds;
}
