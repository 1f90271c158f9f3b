#pragma once

#include <QString>

// The sample databases the benchmarks run on: 20 languages, the last of which always holds
// exactly SmallLanguageSize speeches, so that one language of the same size can be compared
// across database sizes. Made on first use and kept in the bench-data folder of the build.
namespace BenchDatabases {

constexpr int LanguageCount = 20;
constexpr int SmallLanguageId = 20;
constexpr int LargeLanguageId = 1;
constexpr int SmallLanguageSize = 500;

QString pathFor(int speeches);

} // namespace BenchDatabases
