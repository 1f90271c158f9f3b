#include "FromJet.h"

#include "EDatabaseError.h"
#include "JetConverter.h"

int fromJet(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    if (arguments.size() != 2) {
        err << "usage: tinlark-makedb --from-jet OLD NEW\n"
               "Converts the Access speech database OLD (Access 97 to 2003, .mdb) into the new database NEW.\n"
               "OLD is only read; an existing NEW is never overwritten.\n";
        return 2;
    }
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
