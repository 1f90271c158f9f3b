#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

class QIODevice;

// The fixed part of a version record, as Windows lays it out (little-endian).
struct VS_FIXEDFILEINFO
{
    quint32 dwSignature = 0xFEEF04BD;
    quint32 dwStrucVersion = 0x00010000;
    quint32 dwFileVersionMS = 0;
    quint32 dwFileVersionLS = 0;
    quint32 dwProductVersionMS = 0;
    quint32 dwProductVersionLS = 0;
    quint32 dwFileFlagsMask = 0;
    quint32 dwFileFlags = 0;
    quint32 dwFileOS = 0;
    quint32 dwFileType = 0;
    quint32 dwFileSubtype = 0;
    quint32 dwFileDateMS = 0;
    quint32 dwFileDateLS = 0;
};
static_assert(sizeof(VS_FIXEDFILEINFO) == 52);

// One entry of "\VarFileInfo\Translation": a language identifier and a code page.
struct LANGANDCODEPAGE
{
    quint16 wLanguage = 0;
    quint16 wCodePage = 0;
};
static_assert(sizeof(LANGANDCODEPAGE) == 4);

// Reads the version record of an executable file the way the Windows version functions do.
// A Windows executable keeps it as its version resource (in the user's language where it has
// several, see PeImage); an ELF executable (this program among them) keeps the same block in
// the section VersionResource::SectionName. Like Windows, each query is answered on its own:
// an odd entry hides only what lies in or behind it, and no query reads outside the block.
namespace VersionResource {

inline constexpr char SectionName[] = ".vs_version_info";

// The size of the buffer that getFileVersionInfo fills for fileName, or 0 when the file has
// no readable version record. handle is set to 0, as on Windows; may be null.
quint32 getFileVersionInfoSize(const QString &fileName, quint32 *handle);

// Fills data (size bytes) with the version record of fileName and room for the texts that
// verQueryValue hands out. False when the file has no readable record or size is too small.
// handle is not used.
bool getFileVersionInfo(const QString &fileName, quint32 handle, quint32 size, void *data);

// Looks up subBlock in a buffer filled by getFileVersionInfo: "\" for the fixed part,
// "\VarFileInfo\Translation" for the translation entries, "\StringFileInfo\<table>\<key>"
// for a text (a text even where its entry is marked as bytes, as Windows reads it). Names
// match in full and without regard to case; the first of equal keys wins.
// On success *buffer points into block and *length holds the value's size in bytes; a text is
// handed out as zero-terminated UTF-8, written into the buffer's spare room, and its length
// counts the terminating zero. block is checked against blockSize throughout.
bool verQueryValue(void *block, quint32 blockSize, const QString &subBlock, const void **buffer,
                   quint32 *length);

// The raw version block of an executable (a Windows or an ELF one) open in device, or an
// empty array when it has none or its root is no "VS_VERSION_INFO" node. userLanguage is the
// user's Windows language identifier (0 for none). The block is at most 65535 bytes long; a
// root whose length runs past the end of the resource is cut to the resource, and its length
// in the block says so.
QByteArray readVersionBlock(QIODevice &device, quint16 userLanguage);

// The buffer size that getFileVersionInfo needs for a raw block of blockSize bytes.
quint32 bufferSizeFor(quint32 blockSize);

} // namespace VersionResource
