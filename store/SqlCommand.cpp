#include "SqlCommand.h"

#include "EDatabaseError.h"
#include "SqlToken.h"

namespace {

// The words of the dialect that the command texts use; every other plain word names a table
// or a column and is quoted as written, so that an engine that folds unquoted names (as
// PostgreSQL does) finds the table and columns as the schema spells them.
bool isDialectWord(const QString &word)
{
    static const QStringList words{
        QStringLiteral("select"), QStringLiteral("from"),  QStringLiteral("where"),    QStringLiteral("and"),
        QStringLiteral("or"),     QStringLiteral("not"),   QStringLiteral("like"),     QStringLiteral("order"),
        QStringLiteral("by"),     QStringLiteral("asc"),   QStringLiteral("desc"),     QStringLiteral("is"),
        QStringLiteral("null"),   QStringLiteral("in"),    QStringLiteral("between"),  QStringLiteral("as"),
        QStringLiteral("distinct"), QStringLiteral("escape"), QStringLiteral("true"), QStringLiteral("false")};
    return words.contains(word, Qt::CaseInsensitive);
}

QString identifierText(const QList<SqlToken> &tokens, qsizetype i)
{
    const SqlToken &token = tokens[i];
    const bool function = i + 1 < tokens.size() && tokens[i + 1].isSymbol("(");
    if (!token.bracketed && (function || isDialectWord(token.text)))
        return token.text;
    return quoteIdentifier(token.text);
}

} // namespace

SqlCommand SqlCommand::fromJet(const QString &commandText, const QString &textOrderClause)
{
    const QList<SqlToken> tokens = tokenizeSql(commandText);
    SqlCommand command;
    QStringList pieces;
    int depth = 0;
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const SqlToken &token = tokens[i];
        switch (token.kind) {
        case SqlToken::String:
            pieces.append(QStringLiteral("?"));
            command.values.append(token.text);
            break;
        case SqlToken::Identifier:
            pieces.append(identifierText(tokens, i));
            if (token.isKeyword("from") && command.baseTable.isEmpty() && i + 1 < tokens.size()
                && tokens[i + 1].kind == SqlToken::Identifier)
                command.baseTable = tokens[i + 1].text;
            if (depth == 0 && token.isKeyword("order") && i + 1 < tokens.size() && tokens[i + 1].isKeyword("by"))
                command.ordered = true;
            // Jet sorts text alphabetically, not by its bytes.
            else if (depth == 0 && command.ordered && !token.isKeyword("by") && !token.isKeyword("asc")
                     && !token.isKeyword("desc"))
                pieces.append(textOrderClause);
            if (depth == 0 && token.isKeyword("where"))
                command.selective = true;
            break;
        case SqlToken::Symbol:
            if (token.text == QLatin1String("("))
                ++depth;
            else if (token.text == QLatin1String(")"))
                --depth;
            else if (token.text == QLatin1String(";"))
                throw EDatabaseError(QStringLiteral("The command text holds more than one statement"));
            pieces.append(token.text);
            break;
        case SqlToken::Number:
            pieces.append(token.text);
            break;
        }
    }
    if (tokens.isEmpty() || !tokens.first().isKeyword("select"))
        throw EDatabaseError(QStringLiteral("The command text is no select statement: \"%1\"").arg(commandText));
    if (command.baseTable.isEmpty())
        throw EDatabaseError(QStringLiteral("The command text names no table: \"%1\"").arg(commandText));
    command.sql = pieces.join(QLatin1Char(' '));
    return command;
}
