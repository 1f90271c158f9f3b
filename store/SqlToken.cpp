#include "SqlToken.h"

#include "EDatabaseError.h"

namespace {

bool isIdentifierStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isIdentifierPart(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// Reads a quoted literal starting at text[i] (the opening quote); returns its value and
// moves i past the closing quote.
QString readQuoted(const QString &text, qsizetype &i)
{
    const QChar quote = text[i];
    QString value;
    for (++i; i < text.size(); ++i) {
        if (text[i] == quote) {
            if (i + 1 < text.size() && text[i + 1] == quote) {
                value += quote;
                ++i;
                continue;
            }
            ++i;
            return value;
        }
        value += text[i];
    }
    throw EDatabaseError(QStringLiteral("Unterminated string literal in \"%1\"").arg(text));
}

} // namespace

QList<SqlToken> tokenizeSql(const QString &text)
{
    QList<SqlToken> tokens;
    qsizetype i = 0;
    while (i < text.size()) {
        const QChar c = text[i];
        if (c.isSpace()) {
            ++i;
        } else if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            tokens.append({SqlToken::String, readQuoted(text, i)});
        } else if (c == QLatin1Char('[')) {
            const qsizetype close = text.indexOf(QLatin1Char(']'), i + 1);
            if (close < 0)
                throw EDatabaseError(QStringLiteral("Unterminated name in brackets in \"%1\"").arg(text));
            tokens.append({SqlToken::Identifier, text.mid(i + 1, close - i - 1), true});
            i = close + 1;
        } else if (isIdentifierStart(c)) {
            const qsizetype start = i;
            while (i < text.size() && isIdentifierPart(text[i]))
                ++i;
            tokens.append({SqlToken::Identifier, text.mid(start, i - start)});
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < text.size() && text[i + 1].isDigit())) {
            const qsizetype start = i;
            while (i < text.size() && (text[i].isDigit() || text[i] == QLatin1Char('.')))
                ++i;
            tokens.append({SqlToken::Number, text.mid(start, i - start)});
        } else {
            static const char *const twoCharSymbols[] = {"<>", "<=", ">=", "!=", "==", "||"};
            QString symbol(c);
            for (const char *candidate : twoCharSymbols) {
                if (text.mid(i, 2) == QLatin1String(candidate)) {
                    symbol = QLatin1String(candidate);
                    break;
                }
            }
            tokens.append({SqlToken::Symbol, symbol});
            i += symbol.size();
        }
    }
    return tokens;
}

QString quoteIdentifier(const QString &name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}
