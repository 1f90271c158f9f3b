#pragma once

#include "BinaryReader.h"

#include <optional>

// Finds resources in a Windows executable (PE32 or PE32+), read as a file on disk.
namespace PeImage {

// The data of the version resource (type 16, name 1), as Windows finds it; nothing when the
// file is no such executable, has no version resource, or any table on the way points outside
// the file. Of a resource kept in several languages, Windows takes the one in userLanguage (a
// Windows language identifier; 0 for none), else the language-neutral one (0x0000), else the
// one in US English (0x0409), else the first the resource directory lists.
std::optional<FileRange> findVersionResource(const BinaryReader &file, quint16 userLanguage);

} // namespace PeImage
