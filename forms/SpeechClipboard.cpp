#include "SpeechClipboard.h"

#include "Connection.h"
#include "SpeechTextSearch.h"

#include <QClipboard>
#include <QGuiApplication>

void copySpeechToClipboard(Connection &connection, qint64 speechId, const QString &text)
{
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
    if (speechId != 0 && connection.connected() && connection.readOnlyReason().isEmpty())
        SpeechTextSearch::noteCopied(connection, speechId);
}
