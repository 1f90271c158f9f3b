#pragma once

#include "VersionBlockWriter.h"

#include <QList>
#include <QString>
#include <utility>

using VersionValues = QList<std::pair<QString, QString>>;

// A record in US English with code page 1252 (table "040904E4"), file and product version
// 1.0.0.2 in its fixed part, and the given values in its one string table.
VersionRecord sampleVersionRecord(const VersionValues &values);

// The ten values a full record holds, each with a text of its own.
VersionValues fullVersionValues();
