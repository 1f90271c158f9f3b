#include "ChangeFollower.h"

#include "Connection.h"
#include "Database.h"
#include "DatabaseTexts.h"
#include "Field.h"
#include "GuardedCall.h"
#include "Mainfrm.h"
#include "NoticeBar.h"
#include "Statement.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>

namespace {

// "Another user changed the speech "hello"", "... renamed a language", in words a user reads:
// a speech by its keywords (the program's keys are never shown), "a speech" when it has none.
QString describeChange(const DatabaseChange &change, const QString &keywords)
{
    const bool speech = change.table == QLatin1String("Speeches");
    const bool one = change.key.has_value();
    QString what;
    if (speech)
        what = !one ? QStringLiteral("several speeches")
               : keywords.isEmpty() ? QStringLiteral("a speech")
                                    : QStringLiteral("the speech \u201C%1\u201D").arg(keywords);
    else
        what = one ? QStringLiteral("a language") : QStringLiteral("several languages");
    QString verb = QStringLiteral("changed");
    if (change.kind == QLatin1String("insert"))
        verb = QStringLiteral("added");
    else if (change.kind == QLatin1String("delete"))
        verb = QStringLiteral("deleted");
    else if (!speech)
        verb = QStringLiteral("renamed");
    return QStringLiteral("Another user %1 %2").arg(verb, what);
}

// How long a change waits for a dialog to close before the list follows it.
constexpr int DialogRetryMs = 250;
// How long the list waits for more changes of a burst; well within the second a user waits.
constexpr int BurstMs = 100;

} // namespace

ChangeFollower::ChangeFollower(TForm1 *window) : QObject(window), m_window(window)
{
    // A server that cannot be listened to still serves the library: its changes show at the next refresh.
    m_followSoon.setSingleShot(true);
    m_followSoon.setInterval(BurstMs);
    connect(&m_followSoon, &QTimer::timeout, this, [this] { follow(); });
    callGuarded([this] { m_window->Connection.watchChanges([this](const DatabaseChange &change) { told(change); }); });
}

bool ChangeFollower::editing() const
{
    const DataSetState state = m_window->tblSpeech.state();
    return state == DataSetState::Edit || state == DataSetState::Insert;
}

void ChangeFollower::told(const DatabaseChange &change)
{
    const bool speech = change.table == QLatin1String("Speeches") && change.key;
    QString notice = describeChange(change, speech ? keywordsOf(*change.key) : QString());
    if (editing())
        notice += QStringLiteral("; the list follows when you store or cancel your changes");
    m_window->statusPanel(HintPanelIndex)->setText(notice);
    m_window->noticeBar()->tell(notice);
    m_waiting = true;
    if (!m_followSoon.isActive())
        m_followSoon.start();
}

// The keywords of a speech as stored now; a deleted one is named as the window still shows it.
QString ChangeFollower::keywordsOf(qint64 key) const
{
    Statement keywords(m_window->Connection.handle(), QStringLiteral("SELECT \"Keywords\" FROM \"Speeches\" WHERE \"ID\" = ?"));
    keywords.bind(1, key);
    if (keywords.step())
        return keywords.columnValue(0).toString();
    const bool shown = m_window->tblSpeech.active() && m_window->tblSpeechID->asLargeInt() == key;
    return shown ? m_window->tblSpeechKeywords->asString() : QString();
}

void ChangeFollower::speechStateChanged()
{
    // Not inside the post or cancel that changed the state: once it is done.
    if (m_waiting && !editing())
        QTimer::singleShot(0, this, [this] { follow(); });
}

void ChangeFollower::follow()
{
    if (!m_waiting || editing() || !m_window->tblSpeech.active())
        return;
    // A dialog may be working on the window's record sets (the languages, a version history).
    if (QApplication::activeModalWidget()) {
        QTimer::singleShot(DialogRetryMs, this, [this] { follow(); });
        return;
    }
    m_waiting = false;
    RecordSet &speeches = m_window->tblSpeech;
    const int position = speeches.recNo();
    const qint64 current = m_window->tblSpeechID->asLargeInt();
    const QVariant next = speeches.valueAt(position + 1, QStringLiteral("ID"));
    const QVariant prior = speeches.valueAt(position - 1, QStringLiteral("ID"));
    callGuarded([&] {
        m_window->DataSetRefreshExecute();
        if (position < 0 || speeches.locate(DatabaseTexts::LocateKey, current))
            return;
        if (!(!next.isNull() && speeches.locate(DatabaseTexts::LocateKey, next.toLongLong())) && !prior.isNull())
            speeches.locate(DatabaseTexts::LocateKey, prior.toLongLong());
    });
}
