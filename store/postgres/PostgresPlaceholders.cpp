#include "PostgresPlaceholders.h"

#include "EDatabaseError.h"

namespace {

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

[[noreturn]] void refuse(const QString &sql, const char *why)
{
    throw EDatabaseError(QStringLiteral("The statement cannot be sent to the server (%1): %2")
                             .arg(QLatin1String(why), sql));
}

// The index just past a literal that starts at i with the quote character and ends at the
// next lone one (a doubled quote stands for itself); with backslashes escaping as well in an
// E'...' string.
qsizetype endOfQuoted(const QString &sql, qsizetype i, QChar quote, bool backslashEscapes)
{
    for (qsizetype j = i + 1; j < sql.size(); ++j) {
        if (backslashEscapes && sql[j] == u'\\') {
            ++j;
        } else if (sql[j] == quote) {
            if (j + 1 < sql.size() && sql[j + 1] == quote)
                ++j;
            else
                return j + 1;
        }
    }
    refuse(sql, "a literal or quoted name is not closed");
}

// A dollar-quoted string: $tag$ ... $tag$. Returns -1 when i starts no dollar quote.
qsizetype endOfDollarQuoted(const QString &sql, qsizetype i)
{
    qsizetype j = i + 1;
    while (j < sql.size() && sql[j] != u'$' && (sql[j].isLetterOrNumber() || sql[j] == u'_'))
        ++j;
    if (j >= sql.size() || sql[j] != u'$' || (j > i + 1 && sql[i + 1].isDigit()))
        return -1;
    const QString tag = sql.mid(i, j - i + 1);
    const qsizetype close = sql.indexOf(tag, j + 1);
    if (close < 0)
        refuse(sql, "a dollar-quoted literal is not closed");
    return close + tag.size();
}

qsizetype endOfBlockComment(const QString &sql, qsizetype i)
{
    int depth = 0;
    for (qsizetype j = i; j + 1 < sql.size(); ++j) {
        if (sql[j] == u'/' && sql[j + 1] == u'*') {
            ++depth;
            ++j;
        } else if (sql[j] == u'*' && sql[j + 1] == u'/') {
            ++j;
            if (--depth == 0)
                return j + 1;
        }
    }
    refuse(sql, "a comment is not closed");
}

} // namespace

PostgresPlaceholders PostgresPlaceholders::translate(const QString &commonSql)
{
    const QString &sql = commonSql;
    QString out;
    out.reserve(sql.size() + 16);
    int count = 0;
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql[i];
        const bool startsToken = i == 0 || !isNameChar(sql[i - 1]);
        qsizetype end = -1;
        if (c == u'\'') {
            end = endOfQuoted(sql, i, c, false);
        } else if ((c == u'E' || c == u'e') && startsToken && i + 1 < sql.size() && sql[i + 1] == u'\'') {
            end = endOfQuoted(sql, i + 1, QLatin1Char('\''), true);
        } else if (c == u'"') {
            end = endOfQuoted(sql, i, c, false);
        } else if (c == u'-' && i + 1 < sql.size() && sql[i + 1] == u'-') {
            end = sql.indexOf(QLatin1Char('\n'), i);
            if (end < 0)
                end = sql.size();
        } else if (c == u'/' && i + 1 < sql.size() && sql[i + 1] == u'*') {
            end = endOfBlockComment(sql, i);
        } else if (c == u'$' && startsToken) {
            if (i + 1 < sql.size() && sql[i + 1].isDigit())
                refuse(sql, "it holds a parameter of its own");
            end = endOfDollarQuoted(sql, i);
        } else if (c == u'?') {
            out += QLatin1Char('$') + QString::number(++count);
            ++i;
            continue;
        }
        if (end < 0) {
            out += c;
            ++i;
        } else {
            out += QStringView(sql).mid(i, end - i);
            i = end;
        }
    }
    return {out.toUtf8(), count};
}
