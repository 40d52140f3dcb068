#pragma once

#include <QColor>
#include <QFont>
#include <QTextCharFormat>

class QTextCursor;

// Character and paragraph formatting of a document's text, without widgets.
namespace TextFormatting {

// The standard paragraph indents in twips: the first line starts 1900 twips from the left
// edge, the following lines 650 twips further left, and lines end 1800 twips before the
// right edge.
constexpr int kLeftIndentTwips = 1900;
constexpr int kHangingIndentTwips = -650;
constexpr int kRightIndentTwips = 1800;

enum class Alignment { Left, Centre, Right, LeftWithIndents };

// Applies to the paragraphs touched by the cursor's selection (or the caret's paragraph).
void applyStandardIndents(const QTextCursor &cursor);
void align(const QTextCursor &cursor, Alignment alignment);

// The font dialog's choice as a format: name, size, bold, italic, underline, strikethrough;
// never the colour.
QTextCharFormat fontFormat(const QFont &font);

// The colour of the selection's text (of the caret's format when nothing is selected);
// black when the selection mixes colours or has none set.
QColor selectionColor(const QTextCursor &cursor);

} // namespace TextFormatting
