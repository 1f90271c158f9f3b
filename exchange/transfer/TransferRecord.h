#pragma once

#include <QString>
#include <QVariant>

// One speech as a CSV or JSON file carries it. Keywords, text and comments are a null
// QVariant where the library holds NULL (JSON's null), a QString otherwise.
struct TransferRecord
{
    QVariant id; // the library's ID on export; not used on import
    QString language;
    QVariant keywords;
    QVariant text;
    QVariant comments;
    QString place; // where the record starts in its file, "line 12", for messages
};
