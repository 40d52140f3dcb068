#pragma once

#include <QStringList>

class QCoreApplication;

// The program's command line: `--help` and `--version` print their text and end the program,
// a wrong option prints why and ends it; every other argument is a text file to open in the
// built-in editor. Needs no display.
namespace CommandLine {

// The files named on the command line, as absolute paths.
QStringList filesToOpen(const QCoreApplication &application);

} // namespace CommandLine
