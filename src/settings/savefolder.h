#pragma once

#include <QString>

class ProgramFolder;

// The save folder as the settings hold it. The placeholder that a missing key reads as, and an
// empty value, mean that no folder was chosen: captures then go to "myText" in the program folder.
namespace SaveFolder {

bool isChosen(const QString &stored);
// "myText" in the program folder, with native separators.
QString defaultFolder(const ProgramFolder &programFolder);
// The folder captures go to: the stored one (relative texts count from the program folder),
// or the default folder when none was chosen.
QString effective(const QString &stored, const ProgramFolder &programFolder);

} // namespace SaveFolder
