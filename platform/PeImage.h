#pragma once

#include "BinaryReader.h"

#include <optional>

// Finds resources in a Windows executable (PE32 or PE32+), read as a file on disk.
namespace PeImage {

// The data of the version resource (type 16, name 1), in the first language the resource
// directory lists for it, as Windows finds it; nothing when the file is no such executable,
// has no version resource, or any table on the way points outside the file.
std::optional<FileRange> findVersionResource(const BinaryReader &file);

} // namespace PeImage
