#pragma once

#include <QFrame>

class QLabel;
class QToolButton;

// A bar in the window for what the user must read (a failed backup, a taken key, another
// user's change, why the library is read-only): it stays until its close button is pressed,
// whatever the mouse passes over, and wraps a long text rather than cutting it. A notice
// already closed comes back only when it changes.
class NoticeBar : public QFrame
{
    Q_OBJECT

public:
    explicit NoticeBar(QWidget *parent = nullptr);

    // Shows notice; an empty one leaves the bar as it is.
    void tell(const QString &notice);
    QString text() const;

private:
    QLabel *m_text;
    QToolButton *m_close;
    QString m_closed; // the notice the user closed last
};
