#include "editor/textformatting.h"

#include "common/twips.h"

#include <QTextBlock>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <optional>

namespace TextFormatting {

namespace {

qreal pixels(int twips)
{
    return twips / qreal(Twips::kPerPixel);
}

void mergeBlockFormat(const QTextCursor &cursor, const QTextBlockFormat &format)
{
    QTextCursor editable(cursor);
    editable.mergeBlockFormat(format);
}

QColor colorOf(const QTextCharFormat &format)
{
    return format.hasProperty(QTextFormat::ForegroundBrush) ? format.foreground().color()
                                                            : QColor(Qt::black);
}

} // namespace

void applyStandardIndents(const QTextCursor &cursor)
{
    // Qt's left margin holds every line of the paragraph; the first line is then moved
    // right by the text indent, which gives the hanging indent.
    QTextBlockFormat format;
    format.setLeftMargin(pixels(kLeftIndentTwips + kHangingIndentTwips));
    format.setTextIndent(pixels(-kHangingIndentTwips));
    format.setRightMargin(pixels(kRightIndentTwips));
    mergeBlockFormat(cursor, format);
}

void align(const QTextCursor &cursor, Alignment alignment)
{
    QTextBlockFormat format;
    switch (alignment) {
    case Alignment::Left:
    case Alignment::LeftWithIndents:
        format.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
        break;
    case Alignment::Centre:
        format.setAlignment(Qt::AlignHCenter);
        break;
    case Alignment::Right:
        format.setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
        break;
    }
    mergeBlockFormat(cursor, format);
    if (alignment == Alignment::LeftWithIndents)
        applyStandardIndents(cursor);
}

QTextCharFormat fontFormat(const QFont &font)
{
    QTextCharFormat format;
    format.setFontFamilies(font.families().isEmpty() ? QStringList{font.family()} : font.families());
    if (font.pointSizeF() > 0)
        format.setFontPointSize(font.pointSizeF());
    format.setFontWeight(font.bold() ? QFont::Bold : QFont::Normal);
    format.setFontItalic(font.italic());
    format.setFontUnderline(font.underline());
    format.setFontStrikeOut(font.strikeOut());
    return format;
}

QColor selectionColor(const QTextCursor &cursor)
{
    if (!cursor.hasSelection() || !cursor.document())
        return colorOf(cursor.charFormat());
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    std::optional<QColor> found;
    for (QTextBlock block = cursor.document()->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() + fragment.length() <= start || fragment.position() >= end)
                continue;
            const QColor color = colorOf(fragment.charFormat());
            if (found && *found != color)
                return QColor(Qt::black);
            found = color;
        }
    }
    return found.value_or(QColor(Qt::black));
}

} // namespace TextFormatting
