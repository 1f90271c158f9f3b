#include "FilterExpression.h"

#include "EDatabaseError.h"
#include "SqlToken.h"

namespace {

// Deep enough for any filter a person writes, shallow enough for the stack.
constexpr int MaxNesting = 64;

class FilterParser
{
public:
    FilterParser(const QString &text, const QStringList &columns)
        : m_text(text), m_tokens(tokenizeSql(text)), m_columns(columns)
    {
    }

    QString parseAll(QVariantList &values)
    {
        m_values = &values;
        QString sql = parseOr(0);
        if (m_position < m_tokens.size())
            fail(QStringLiteral("unexpected \"%1\"").arg(m_tokens[m_position].text));
        return sql;
    }

private:
    [[noreturn]] void fail(const QString &what) const
    {
        throw EDatabaseError(QStringLiteral("Filter \"%1\": %2").arg(m_text, what));
    }

    const SqlToken *peek() const { return m_position < m_tokens.size() ? &m_tokens[m_position] : nullptr; }

    const SqlToken &take(const char *expected)
    {
        if (!peek())
            fail(QStringLiteral("%1 expected at the end").arg(QLatin1String(expected)));
        return m_tokens[m_position++];
    }

    bool acceptKeyword(const char *keyword)
    {
        if (peek() && peek()->isKeyword(keyword)) {
            ++m_position;
            return true;
        }
        return false;
    }

    QString parseOr(int depth)
    {
        QString sql = parseAnd(depth);
        while (acceptKeyword("or"))
            sql += QStringLiteral(" OR ") + parseAnd(depth);
        return sql;
    }

    QString parseAnd(int depth)
    {
        QString sql = parseNot(depth);
        while (acceptKeyword("and"))
            sql += QStringLiteral(" AND ") + parseNot(depth);
        return sql;
    }

    QString parseNot(int depth)
    {
        if (depth > MaxNesting)
            fail(QStringLiteral("nested too deeply"));
        if (acceptKeyword("not"))
            return QStringLiteral("NOT ") + parseNot(depth + 1);
        if (peek() && peek()->isSymbol("(")) {
            ++m_position;
            const QString inner = parseOr(depth + 1);
            if (!take(")").isSymbol(")"))
                fail(QStringLiteral("\")\" expected"));
            return QLatin1Char('(') + inner + QLatin1Char(')');
        }
        return parseComparison();
    }

    QString columnNamed(const QString &name) const
    {
        for (const QString &column : m_columns) {
            if (column.compare(name, Qt::CaseInsensitive) == 0)
                return column;
        }
        fail(QStringLiteral("no field named \"%1\"").arg(name));
    }

    QString parseComparison()
    {
        const SqlToken &field = take("a field name");
        if (field.kind != SqlToken::Identifier)
            fail(QStringLiteral("a field name expected instead of \"%1\"").arg(field.text));
        const QString column = quoteIdentifier(columnNamed(field.text));
        if (acceptKeyword("is")) {
            const bool negated = acceptKeyword("not");
            if (!acceptKeyword("null"))
                fail(QStringLiteral("Null expected after Is"));
            return column + (negated ? QStringLiteral(" IS NOT NULL") : QStringLiteral(" IS NULL"));
        }
        const SqlToken &op = take("a comparison");
        static const char *const operators[] = {"=", "<>", "!=", "<", ">", "<=", ">="};
        QString sqlOperator;
        if (op.isKeyword("like")) {
            sqlOperator = QStringLiteral("LIKE");
        } else {
            for (const char *candidate : operators) {
                if (op.isSymbol(candidate))
                    sqlOperator = op.text == QLatin1String("!=") ? QStringLiteral("<>") : op.text;
            }
        }
        if (sqlOperator.isEmpty())
            fail(QStringLiteral("a comparison expected instead of \"%1\"").arg(op.text));
        m_values->append(parseLiteral());
        return column + QLatin1Char(' ') + sqlOperator + QStringLiteral(" ?");
    }

    QVariant parseLiteral()
    {
        bool negative = false;
        if (peek() && peek()->isSymbol("-")) {
            negative = true;
            ++m_position;
        }
        const SqlToken &literal = take("a value");
        if (literal.kind == SqlToken::String && !negative)
            return literal.text;
        if (literal.kind == SqlToken::Number) {
            const QString digits = negative ? QLatin1Char('-') + literal.text : literal.text;
            bool ok = false;
            const qint64 integer = digits.toLongLong(&ok);
            if (ok)
                return integer;
            const double real = digits.toDouble(&ok);
            if (ok)
                return real;
        }
        fail(QStringLiteral("a value expected instead of \"%1\"").arg(literal.text));
    }

    const QString &m_text;
    QList<SqlToken> m_tokens;
    const QStringList &m_columns;
    QVariantList *m_values = nullptr;
    qsizetype m_position = 0;
};

} // namespace

FilterExpression FilterExpression::parse(const QString &text, const QStringList &columns)
{
    FilterExpression expression;
    if (text.trimmed().isEmpty())
        return expression;
    FilterParser parser(text, columns);
    expression.m_sql = parser.parseAll(expression.m_values);
    return expression;
}
