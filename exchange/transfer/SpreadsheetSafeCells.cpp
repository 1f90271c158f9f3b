#include "SpreadsheetSafeCells.h"

namespace SpreadsheetSafeCells {

namespace {

const QChar Apostrophe = u'\'';

bool needsEscape(const QString &cell)
{
    static const QString starts = QStringLiteral("=+-@\t\r'");
    return !cell.isEmpty() && starts.contains(cell.front());
}

} // namespace

QString escaped(const QString &cell)
{
    return needsEscape(cell) ? Apostrophe + cell : cell;
}

QString unescaped(const QString &cell)
{
    return cell.startsWith(Apostrophe) ? cell.mid(1) : cell;
}

} // namespace SpreadsheetSafeCells
