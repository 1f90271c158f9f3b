#pragma once

#include <QByteArray>
#include <QList>
#include <optional>

// Lays out a small Windows executable (PE32 or PE32+) whose one section ".rsrc" holds a
// resource directory with the resources added, sound or broken on purpose.
class PeImageBuilder
{
public:
    enum class Format { Pe32, Pe32Plus };

    explicit PeImageBuilder(Format format = Format::Pe32) : m_format(format) {}

    // A resource of the given type and numeric name in one language; resources of the same
    // type and name in several languages are listed in the order added.
    void addResource(quint32 type, quint32 name, quint16 language, const QByteArray &data);
    // The version resource (type 16, name 1) in US English.
    void addVersionBlock(const QByteArray &block) { addResource(16, 1, 0x0409, block); }

    // Every data entry records this size instead of the size of its data.
    void setRecordedDataSize(quint32 size) { m_recordedDataSize = size; }
    // Every entry that leads to a directory leads back to the root directory instead.
    void setDirectoriesPointAtRoot(bool on) { m_directoriesPointAtRoot = on; }
    // Every data entry points at this address instead of at its data.
    void setRecordedDataAddress(quint32 rva) { m_recordedDataAddress = rva; }

    QByteArray build() const;

private:
    struct Resource
    {
        quint32 type;
        quint32 name;
        quint16 language;
        QByteArray data;
    };

    QByteArray resourceSection(quint32 sectionRva) const;

    Format m_format;
    QList<Resource> m_resources;
    std::optional<quint32> m_recordedDataSize;
    std::optional<quint32> m_recordedDataAddress;
    bool m_directoriesPointAtRoot = false;
};
