#pragma once

#include <QString>
#include <QVariant>
#include <optional>
#include <vector>

class Connection;
class RecordSet;

// One kept version of a speech: how it was before a change replaced it, or before it was
// deleted; or, in the list of speeches without a language, a speech as it is now.
struct SpeechVersion
{
    qint64 historyId = 0; // 0 for a speech as it is now
    qint64 speechId = 0;
    QVariant languageId;  // null when the speech had none
    QString keywords;
    QString text;
    QString comments;
    QString change;    // "edit", "delete", or "current" for a speech as it is now
    QString changedAt; // UTC, "yyyy-MM-dd HH:mm:ss.zzz"; empty for a speech as it is now
    QString changedBy; // the server's user name; empty on a file
};

// The versions a library keeps of its speeches (each edit and delete keeps the speech as it
// was, on either engine), and bringing them back.
namespace SpeechHistory {

// How much is kept: the versions a speech keeps, and the days a deleted speech stays.
struct Limits
{
    int versions = 20;
    int daysDeleted = 90;
};

// Whether the library keeps versions at all (one made by an earlier build may not, when it
// could not be given them).
bool available(Connection &connection);

// The kept versions of a speech, the newest first.
std::vector<SpeechVersion> versionsOf(Connection &connection, qint64 speechId);

// The deleted speeches of a language, each as it was when deleted, the latest delete first.
std::vector<SpeechVersion> deletedSpeeches(Connection &connection, qint64 languageId);

// The speeches, present or deleted, whose language no longer exists, by ID.
std::vector<SpeechVersion> speechesWithoutLanguage(Connection &connection);

// Makes a version the current text of the speech that is current in the record set, as an
// edit posted like any other (so it is itself kept as a version). Raises EDatabaseError when
// the record set's current speech is another one, or the post is refused.
void restoreVersion(RecordSet &speeches, const SpeechVersion &version);

// Brings a deleted speech back with its own ID, or files a speech whose language is gone,
// into its language or the one given, in one transaction. Raises EDatabaseError when its
// language is gone and none is given, when the language given does not exist, or when a
// speech with its ID exists again.
void restoreSpeech(Connection &connection, const SpeechVersion &speech, std::optional<qint64> intoLanguage = {});

// Stores the limits in the library, which its triggers read, and drops the versions of the
// speeches deleted longer ago than the limit allows. Does nothing where it cannot write.
void prune(Connection &connection, const Limits &limits);

} // namespace SpeechHistory
