#include "TestServer.h"

#include "PostgresDatabase.h"
#include "PostgresSchema.h"
#include "PostgresServer.h"

#include <QHash>
#include <QRegularExpression>
#include <memory>

namespace {

struct ServerState
{
    std::unique_ptr<PostgresServer> server;
    QString error;
    int libraries = 0;
    QHash<QString, QString> placed;
};

ServerState &state()
{
    static ServerState s;
    return s;
}

bool started()
{
    ServerState &s = state();
    if (s.server || !s.error.isEmpty())
        return s.server != nullptr;
    if (const QString missing = PostgresServer::missingReason(); !missing.isEmpty()) {
        s.error = missing;
        return false;
    }
    auto server = std::make_unique<PostgresServer>();
    if (!server->start()) {
        s.error = server->error();
        return false;
    }
    s.server = std::move(server);
    return true;
}

} // namespace

namespace TestServer {

bool enabled()
{
    return qEnvironmentVariable("TINLARK_TEST_ENGINE") == QLatin1String("server");
}

QString newLibrary()
{
    if (!started())
        return QString();
    ServerState &s = state();
    const QString dataSource = s.server->createDatabase(QStringLiteral("library%1").arg(++s.libraries));
    if (dataSource.isEmpty()) {
        s.error = s.server->error();
        return QString();
    }
    PostgresDatabase library(dataSource, nullptr);
    PostgresSchema::create(library);
    return dataSource;
}

QString error()
{
    return state().error;
}

void placeLibrary(const QString &path, const QString &dataSource)
{
    state().placed.insert(path, dataSource);
}

QString libraryPlacedAt(const QString &path)
{
    return state().placed.value(path);
}

QString serverCommand(const QString &sql)
{
    // Literals are matched first so that names inside them stay as they are.
    static const QRegularExpression pieces(
        QStringLiteral("('(?:[^']|'')*')|\\b(Speeches|Taal|TaalID|ID|Keywords|Tekst|Comments)\\b"),
        QRegularExpression::CaseInsensitiveOption);
    static const QStringList names{QStringLiteral("Speeches"), QStringLiteral("Taal"), QStringLiteral("TaalID"),
                                   QStringLiteral("ID"), QStringLiteral("Keywords"), QStringLiteral("Tekst"),
                                   QStringLiteral("Comments")};
    QString result;
    qsizetype done = 0;
    for (auto it = pieces.globalMatch(sql); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        result += sql.mid(done, match.capturedStart() - done);
        if (match.capturedLength(1) > 0) {
            result += match.captured(1);
        } else {
            const QString name = match.captured(2);
            const auto canonical = std::find_if(names.begin(), names.end(), [&](const QString &n) {
                return n.compare(name, Qt::CaseInsensitive) == 0;
            });
            result += QLatin1Char('"') + *canonical + QLatin1Char('"');
        }
        done = match.capturedEnd();
    }
    return result + sql.mid(done);
}

} // namespace TestServer
