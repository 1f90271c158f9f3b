#pragma once

#include <QString>

// The sample databases the benchmarks run on: 20 languages, the last of which always holds
// exactly SmallLanguageSize speeches, so that one language of the same size can be compared
// across database sizes; and one shape with a single language of a million speeches beside a
// small one (SingleLanguageLanguages languages). Made on first use and kept in the bench-data
// folder of the build (LargestSize in a cache outside it).
namespace BenchDatabases {

constexpr int LanguageCount = 20;
constexpr int SmallLanguageId = 20;
constexpr int LargeLanguageId = 1;
constexpr int SmallLanguageSize = 500;
// The shape with one large language: language 1 holds this many speeches, language 2 holds
// SmallLanguageSize.
constexpr int SingleLanguageLanguages = 2;
constexpr int SingleLanguageSize = 1000000;
// The largest sample: never made in CI, kept in a cache outside the build once made.
constexpr int LargestSize = 10000000;

// speeches counts the speeches of the large language in the single-language shape.
QString pathFor(int speeches, int languages = LanguageCount);

} // namespace BenchDatabases
