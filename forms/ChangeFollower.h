#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

class TForm1;
struct DatabaseChange;

// Keeps the window up to date with what other users store in a library on a server. The
// status bar says at once what changed; the speech list follows where the user is not
// editing, the current speech keeping its place (the next one shown when it was deleted).
// What the user is typing never changes: while a speech is edited, the list follows once it
// is stored or cancelled.
class ChangeFollower : public QObject
{
public:
    explicit ChangeFollower(TForm1 *window);

    // The window's speech list changed its state: a change that waited for the end of an edit follows now.
    void speechStateChanged();

private:
    void told(const DatabaseChange &change);
    void follow();
    bool editing() const;
    QString keywordsOf(qint64 key) const;

    TForm1 *m_window;
    bool m_waiting = false; // a change came in that the list has not followed yet
    // Changes that come in a burst (another user's import) are followed once, a moment later.
    QTimer m_followSoon;
};
