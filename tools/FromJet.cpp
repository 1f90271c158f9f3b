#include "FromJet.h"

#include "EDatabaseError.h"
#include "JetConverter.h"

int fromJet(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    try {
        const JetConversion converted = JetConverter::convert(arguments[0], arguments[1]);
        out << "Converted " << converted.languages << (converted.languages == 1 ? " language" : " languages")
            << " and " << converted.speeches << (converted.speeches == 1 ? " speech" : " speeches") << " into "
            << arguments[1] << "\n";
    } catch (const EDatabaseError &error) {
        err << "tinlark-makedb: " << error.message() << "\n";
        return 1;
    }
    return 0;
}
