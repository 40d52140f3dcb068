#pragma once

#include <QString>

// Whether a base name (without extension) is one every platform accepts as a file name:
// no \ / : * ? " < > |, no control character, not a reserved device name (CON, NUL, COM1 …).
// Refusing these everywhere keeps stored files portable and keeps titles inside their folder.
bool isPortableFileName(const QString &baseName);
