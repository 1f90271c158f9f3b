#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// Version records as tools other than the resource compiler write them: the full sample record
// (SampleVersionRecord.h) with one entry laid out oddly. Windows still answers every query that
// does not lead into or past the odd entry.
struct OddVersionRecord
{
    QString name;
    QByteArray block;
    quint32 resourceSize = 0; // what the resource directory records; may be less than the block
    QStringList hidden;       // keys that cannot be found; every other one reads as written
};

QList<OddVersionRecord> oddVersionRecords();

// The full sample block laid out by hand: rootKey at the root, the InternalName entry as given
// (when not null), and trailing bytes after the root's last child.
QByteArray fullBlockWith(const QByteArray &internalName, const QString &rootKey = QStringLiteral("VS_VERSION_INFO"),
                         const QByteArray &trailing = QByteArray());
