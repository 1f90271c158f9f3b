#pragma once

struct sqlite3;

// The order in which text is sorted: alphabetical as a person reads it (letter case and
// accents second, every script in its place), by ICU's root collation, so that it is the
// same on every machine. Installed on a connection as TextCollation::Name.
namespace TextCollation {

inline constexpr const char *Name = "TEXTORDER";

// Raises EDatabaseError when the collation cannot be installed.
void install(sqlite3 *db);

} // namespace TextCollation
