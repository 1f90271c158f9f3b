#include "KeywordQuery.h"

#include "SqlCommand.h"

#include <QRegularExpression>

std::optional<KeywordQuery> KeywordQuery::recognize(const SqlCommand &command)
{
    // The command reader joins its tokens with single blanks and puts a '?' for the literal.
    static const QRegularExpression shape(
        QStringLiteral("^select \\* from \"?speeches\"? where \"?keywords\"? like \\? and \"?taalid\"? = (- )?(\\d{1,10})$"),
        QRegularExpression::CaseInsensitiveOption);
    if (command.values.size() != 1 || command.values.first().typeId() != QMetaType::QString)
        return std::nullopt;
    const QRegularExpressionMatch match = shape.match(command.sql);
    if (!match.hasMatch())
        return std::nullopt;
    bool ok = false;
    const qint64 magnitude = match.captured(2).toLongLong(&ok);
    const qint64 languageId = match.capturedLength(1) > 0 ? -magnitude : magnitude;
    if (!ok || languageId < std::numeric_limits<int>::min() || languageId > std::numeric_limits<int>::max())
        return std::nullopt;
    return KeywordQuery{command.values.first().toString(), int(languageId)};
}
