#pragma once

#include <QByteArray>
#include <QList>

// Lays out a small ELF file (32 or 64 bits, either byte order) with the sections added, a
// section name table and a section header table.
class ElfImageBuilder
{
public:
    enum class Format { Elf32, Elf64 };
    static constexpr quint32 ProgramBits = 1; // SHT_PROGBITS
    // SHT_NOBITS: a section without bytes in the file. Its bytes are written all the same,
    // where its header points, so that a reader that takes them is caught.
    static constexpr quint32 NoBits = 8;

    explicit ElfImageBuilder(Format format = Format::Elf64, bool bigEndian = false)
        : m_format(format), m_bigEndian(bigEndian)
    {
    }

    void addSection(const QByteArray &name, const QByteArray &bytes, quint32 type = ProgramBits);
    // Keeps the section count and the name table's index in section 0, as files with very
    // many sections do.
    void setCountsInFirstSection(bool on) { m_countsInFirstSection = on; }

    QByteArray build() const;

private:
    struct Section
    {
        QByteArray name;
        QByteArray bytes;
        quint32 type;
    };

    Format m_format;
    bool m_bigEndian;
    bool m_countsInFirstSection = false;
    QList<Section> m_sections;
};
