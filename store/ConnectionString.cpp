#include "ConnectionString.h"

#include <QRegularExpression>

namespace ConnectionString {

QString dataSource(const QString &connectionString)
{
    static const QLatin1String key("Data Source=");
    qsizetype start = -1;
    for (qsizetype at = connectionString.indexOf(key, 0, Qt::CaseInsensitive); at >= 0;
         at = connectionString.indexOf(key, at + 1, Qt::CaseInsensitive)) {
        if (at == 0 || connectionString[at - 1] == QLatin1Char(';')) {
            start = at + key.size();
            break;
        }
    }
    if (start < 0)
        return QString();
    // The value ends where the next item begins: a ';' followed by a name and '='.
    static const QRegularExpression nextItem(QStringLiteral(";\\s*[A-Za-z][A-Za-z0-9 :_]*="));
    const QRegularExpressionMatch match = nextItem.match(connectionString, start);
    const qsizetype end = match.hasMatch() ? match.capturedStart() : connectionString.size();
    QString value = connectionString.mid(start, end - start);
    if (value.endsWith(QLatin1Char(';')) && !match.hasMatch())
        value.chop(1);
    return value;
}

} // namespace ConnectionString
