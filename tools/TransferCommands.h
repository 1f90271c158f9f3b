#pragma once

#include <QTextStream>

struct MakeDbCommandLine;

// tinlark-makedb --export FILE OUT and --import IN FILE: run, say what was done and return
// the exit code.
int exportCommand(const MakeDbCommandLine &line, QTextStream &out, QTextStream &err);
int importCommand(const MakeDbCommandLine &line, QTextStream &out, QTextStream &err);
