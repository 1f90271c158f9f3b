#pragma once

#include <QString>

// What one version of a speech's text changed against the version before it, in one short
// line for the history list: where the change starts and the words taken out or put in
// ("line 3: added "kind regards""), so that versions whose first lines agree can be told apart.
namespace VersionChange {

// The most characters quoted of what was added or removed.
inline constexpr qsizetype MaxQuoted = 40;

QString summary(const QString &before, const QString &after);

} // namespace VersionChange
