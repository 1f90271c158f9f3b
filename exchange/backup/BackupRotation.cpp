#include "BackupRotation.h"

#include "IniFile.h"

#include <QDate>
#include <QSet>
#include <algorithm>
#include <functional>

namespace {

const QString Section = QStringLiteral("Backups");

int readCount(const IniFile &settings, const QString &key, int defaultValue)
{
    const int value = settings.readInteger(Section, key, defaultValue);
    return value < 0 ? defaultValue : value;
}

QDate dateOf(const QString &stamp)
{
    return QDate::fromString(stamp.left(10), QStringLiteral("yyyy-MM-dd"));
}

int weekOf(const QDate &date)
{
    int year = 0;
    const int week = date.weekNumber(&year);
    return year * 100 + week;
}

int monthOf(const QDate &date)
{
    return date.year() * 100 + date.month();
}

// Keeps the newest stamp of each of the first `count` periods, newest first.
void keepNewestOf(const QStringList &newestFirst, int count, const std::function<int(const QDate &)> &period,
                  QSet<QString> &kept)
{
    QSet<int> periods;
    for (const QString &stamp : newestFirst) {
        if (periods.size() == count)
            return;
        const int current = period(dateOf(stamp));
        if (periods.contains(current))
            continue;
        periods.insert(current);
        kept.insert(stamp);
    }
}

} // namespace

BackupRotation BackupRotation::read(const IniFile &settings)
{
    const BackupRotation defaults;
    return {readCount(settings, QStringLiteral("Daily"), defaults.daily),
            readCount(settings, QStringLiteral("Weekly"), defaults.weekly),
            readCount(settings, QStringLiteral("Monthly"), defaults.monthly)};
}

QStringList BackupRotation::toRemove(const QStringList &stamps) const
{
    QStringList newestFirst;
    for (const QString &stamp : stamps) {
        if (dateOf(stamp).isValid())
            newestFirst.append(stamp);
    }
    // A stamp sorts as its time does: the day's first backup has the bare date, later ones a time.
    std::sort(newestFirst.begin(), newestFirst.end(), std::greater<>());
    QSet<QString> kept;
    if (!newestFirst.isEmpty())
        kept.insert(newestFirst.first());
    keepNewestOf(newestFirst, daily, [](const QDate &date) { return int(date.toJulianDay()); }, kept);
    keepNewestOf(newestFirst, weekly, weekOf, kept);
    keepNewestOf(newestFirst, monthly, monthOf, kept);
    QStringList removed;
    for (const QString &stamp : newestFirst) {
        if (!kept.contains(stamp))
            removed.append(stamp);
    }
    return removed;
}
