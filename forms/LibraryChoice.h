#pragma once

#include <QString>

class FileLocations;
class QWidget;

// Where File > Open library..., New library... and Bring in... find or make the library the
// window then opens. Each returns the library's file or server URI, or an empty text when the
// user cancelled; a failure raises Exception and leaves nothing half made.
namespace LibraryChoice {

// A library file chosen in a file dialog, or a server URI typed in.
QString open(QWidget *parent);

// A new empty library file, made as tinlark-makedb makes one.
QString createNew(QWidget *parent);

// A new library file made from a speech database of the Access era (.mdb), a CSV or a JSON
// file; the file brought in is only read.
QString bringIn(QWidget *parent);

// The name offered for the library made from the file inPath: beside it, named after it, and
// naming no file yet (an Access database may itself end in .csp).
QString newNameBeside(const QString &inPath);

// The [Hacks] Database value that names dataSource: a server URI as it is, a file relative
// to the folder the setting is read from.
QString settingFor(const QString &dataSource, const FileLocations &locations);

} // namespace LibraryChoice
