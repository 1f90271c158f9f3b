#include "NoticeBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

NoticeBar::NoticeBar(QWidget *parent) : QFrame(parent), m_text(new QLabel(this)), m_close(new QToolButton(this))
{
    setObjectName(QStringLiteral("noticeBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::ToolTipBase);
    m_text->setObjectName(QStringLiteral("lblNotice"));
    m_text->setTextFormat(Qt::PlainText); // it may quote a server, a file or a speech
    m_text->setWordWrap(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_text->setForegroundRole(QPalette::ToolTipText);
    m_text->setAccessibleDescription(QStringLiteral("Notice"));
    m_close->setObjectName(QStringLiteral("btnCloseNotice"));
    m_close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    m_close->setAutoRaise(true);
    m_close->setToolTip(QStringLiteral("Close the notice"));
    m_close->setAccessibleName(QStringLiteral("Close the notice"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 2, 2);
    row->addWidget(m_text, 1);
    row->addWidget(m_close, 0, Qt::AlignTop);
    connect(m_close, &QToolButton::clicked, this, [this] {
        m_closed = m_text->text();
        hide();
    });
    hide();
}

void NoticeBar::tell(const QString &notice)
{
    if (notice.isEmpty() || (notice == m_text->text() && (!isHidden() || notice == m_closed)))
        return;
    m_text->setText(notice);
    m_text->setAccessibleName(notice);
    m_closed.clear();
    show();
}

QString NoticeBar::text() const
{
    return isHidden() ? QString() : m_text->text();
}
