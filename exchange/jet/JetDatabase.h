#pragma once

#include "JetFormat.h"
#include "JetTextDecoder.h"

#include <QString>
#include <memory>

struct JetTableLayout;
class JetTable;

// A Jet 3 or Jet 4 database file opened for reading through libmdb. Opening refuses, with a
// message that names the file and the problem, what cannot be read exactly: a file that is
// no Jet file, an .accdb file, a truncated file, one protected by a password or encrypted,
// and a Jet 3 file whose code page is unknown. The file itself is only ever read.
class JetDatabase
{
public:
    explicit JetDatabase(const QString &path);
    ~JetDatabase();
    JetDatabase(const JetDatabase &) = delete;
    JetDatabase &operator=(const JetDatabase &) = delete;

    const QString &path() const { return m_path; }
    JetFormat format() const { return m_format; }
    const JetTextDecoder &decoder() const { return m_decoder; }
    qint64 fileSize() const { return m_fileSize; }

    // The table with exactly the columns of layout (names without regard to case, in any
    // order); raises the conversion error when it is missing or has other columns. libmdb
    // reads one table of a file at a time: let a table go before asking for the next.
    std::unique_ptr<JetTable> table(const JetTableLayout &layout);

    // Raises the conversion error for this file: "Cannot convert FILE: problem".
    [[noreturn]] void fail(const QString &problem) const;
    static QString failureMessage(const QString &path, const QString &problem);

    struct Handle; // libmdb's handle, kept out of this header
    Handle &handle() const { return *m_handle; }

private:
    void checkFileSize();
    void checkProtection();

    QString m_path;
    JetFormat m_format;
    qint64 m_fileSize = 0;
    std::unique_ptr<Handle> m_handle;
    JetTextDecoder m_decoder;
};
