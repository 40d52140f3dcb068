#pragma once

#include <QFont>
#include <QString>

class QPrinter;
class QTextDocument;

// Puts documents on paper. Both return false when the printer cannot take the job.
namespace DocumentPrinter {

// The document with its fonts, colours and paragraph formats, page by page.
bool printFormatted(const QTextDocument &document, QPrinter &printer);

// The plain text, each line on its own line (long lines wrap), in `font`, starting
// 0.75 inch from the left and 0.5 inch from the top of the printable area.
bool printPlain(const QString &text, const QFont &font, QPrinter &printer);

constexpr double kPlainLeftInches = 0.75;
constexpr double kPlainTopInches = 0.5;

} // namespace DocumentPrinter
