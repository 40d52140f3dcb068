#pragma once

#include "app/startrequest.h"

class QCoreApplication;

// The program's command line: `--help` and `--version` print their text and end the program,
// a wrong option prints why and ends it; the options `--pen`, `--web`, `--history`, `--settings`
// and `--editor` ask for the tray entry of that name, and every other argument is a text file
// to open in the built-in editor. Needs no display.
namespace CommandLine {

// What the command line asks for, with the files as absolute paths.
StartRequest parse(const QCoreApplication &application);

} // namespace CommandLine
