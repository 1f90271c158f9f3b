#include "JetDatabase.h"

#include "EDatabaseError.h"
#include "JetHandle.h"
#include "JetTable.h"
#include "TerminalText.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {

// Where the decoded header of page 0 keeps the password and the date it is masked with.
constexpr int PasswordOffset = 0x42;
constexpr int Jet3PasswordSize = 20;
constexpr int Jet4PasswordSize = 40;
constexpr int CreationDateOffset = 0x72;
// The largest file the Jet engine writes.
constexpr qint64 LargestJetFile = qint64(2) << 30;

qint64 pageSizeOf(JetFormat format)
{
    return format == JetFormat::Jet3 ? 2048 : 4096;
}

// Jet 4 masks its password with the whole days of the database's creation date.
std::array<unsigned char, 4> jet4PasswordMask(const Libmdb &lib, const unsigned char *page)
{
    const double date = lib.getDouble(const_cast<unsigned char *>(page), CreationDateOffset);
    const double days = std::isfinite(date) ? std::trunc(date) : 0.0;
    const auto value = quint32(qint32(std::clamp(days, double(std::numeric_limits<qint32>::min()),
                                                 double(std::numeric_limits<qint32>::max()))));
    return {quint8(value), quint8(value >> 8), quint8(value >> 16), quint8(value >> 24)};
}

} // namespace

JetDatabase::JetDatabase(const QString &path)
    : m_path(path), m_format(jetFormatOfFile(path)), m_handle(std::make_unique<Handle>())
{
    const QFileInfo info(path);
    if (!info.isFile())
        fail(QStringLiteral("the file does not exist"));
    if (!info.isReadable())
        fail(QStringLiteral("the file cannot be read"));
    switch (m_format) {
    case JetFormat::NotJet:
        fail(QStringLiteral("it is not an Access database (Jet 3 or Jet 4 file)"));
    case JetFormat::Accdb:
        fail(QStringLiteral("it is an Access 2007 or later database (.accdb); only Access 97 to 2003 "
                            "databases (.mdb) can be converted: save it in the Access 2002-2003 format first"));
    case JetFormat::Jet3:
    case JetFormat::Jet4:
        break;
    }
    checkFileSize();
    if (!m_handle->lib)
        fail(QStringLiteral("the library that reads Access files cannot be loaded: %1").arg(Libmdb::loadError()));
    m_handle->mdb = m_handle->lib->open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!m_handle->mdb)
        fail(QStringLiteral("the file is damaged (its header cannot be read)"));
    checkProtection();
    if (!m_handle->lib->readCatalog(m_handle->mdb, MDB_TABLE))
        fail(QStringLiteral("the file is damaged (its list of tables cannot be read)"));
    if (m_format == JetFormat::Jet3) {
        m_decoder = JetTextDecoder(m_handle->mdb->f->code_page);
        if (!m_decoder.codePageSupported())
            fail(QStringLiteral("its text is in code page %1, which is not supported").arg(m_handle->mdb->f->code_page));
    }
}

JetDatabase::~JetDatabase() = default;

// A Jet file is a whole number of pages; anything else was cut short or added to.
void JetDatabase::checkFileSize()
{
    m_fileSize = QFileInfo(m_path).size();
    const qint64 pageSize = pageSizeOf(m_format);
    if (m_fileSize < 2 * pageSize || m_fileSize % pageSize != 0 || m_fileSize > LargestJetFile)
        fail(QStringLiteral("the file is truncated or damaged (%1 bytes is not a whole number of %2-byte pages)")
                 .arg(m_fileSize)
                 .arg(pageSize));
}

// Right after opening, libmdb's page buffer holds the decoded header page.
void JetDatabase::checkProtection()
{
    const MdbHandle *mdb = m_handle->mdb;
    if (mdb->f->db_key != 0)
        fail(QStringLiteral("it is encrypted; decrypt it in Access first"));
    const unsigned char *page = mdb->pg_buf;
    const bool jet4 = m_format == JetFormat::Jet4;
    const int size = jet4 ? Jet4PasswordSize : Jet3PasswordSize;
    const std::array<unsigned char, 4> mask = jet4 ? jet4PasswordMask(*m_handle->lib, page) : std::array<unsigned char, 4>{};
    for (int i = 0; i < size; ++i) {
        if ((page[PasswordOffset + i] ^ mask[i % 4]) != 0)
            fail(QStringLiteral("it is protected by a password; remove the password in Access first"));
    }
}

std::unique_ptr<JetTable> JetDatabase::table(const JetTableLayout &layout)
{
    return std::make_unique<JetTable>(*this, layout);
}

QString JetDatabase::failureMessage(const QString &path, const QString &problem)
{
    // The problem may name columns and tables of the file, which reach a terminal.
    return QStringLiteral("Cannot convert %1: %2").arg(QDir::toNativeSeparators(path), TerminalText::printable(problem));
}

void JetDatabase::fail(const QString &problem) const
{
    throw EDatabaseError(failureMessage(m_path, problem));
}
