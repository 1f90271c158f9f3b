#pragma once

#include "ModalResults.h"

#include <QString>

class FileLocations;

// The question an installed program asks when it starts without its speech database:
// create an empty one where the program looks for it, or bring in a database file the user
// already has (copied into that place). The portable program asks nothing.
namespace FirstStartQuestion {

// The answers of the question, as the modal results of its buttons.
enum Answer { Create = mrYes, BringIn = mrAll, Cancel = mrCancel };

// Asks, when the program is installed, and carries out the answer. Returns true when a
// database file is now at databasePath; false when the portable program needs no question
// or the user cancelled. Raises Exception when the file cannot be made or copied.
bool offer(const FileLocations &locations, const QString &databasePath);

} // namespace FirstStartQuestion
