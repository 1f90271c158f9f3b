#pragma once

#include "BinaryReader.h"

#include <QByteArrayView>
#include <optional>

// Finds sections in an ELF file (32 or 64 bits, either byte order), read as a file on disk.
namespace ElfImage {

// The bytes of the first section with the given name that has bytes in the file; nothing
// when the file is no ELF file, has no such section, or its tables point outside the file.
std::optional<FileRange> findSection(const BinaryReader &file, QByteArrayView name);

} // namespace ElfImage
