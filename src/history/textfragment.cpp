#include "history/textfragment.h"

#include <QStringList>
#include <QUrl>

namespace {

// A quote this short is named whole; a longer one by its start and end.
constexpr qsizetype kWholeQuoteLength = 60;
// The start (or end) takes up to this many words, within this many characters.
constexpr qsizetype kEdgeWords = 4;
constexpr qsizetype kEdgeLength = 40;
// Characters taken from a run without spaces that is longer than kEdgeLength (Chinese text).
constexpr qsizetype kEdgeCharacters = 10;

// Cuts `text` to `length` characters from its start or end, never inside a surrogate pair.
QString cut(const QString &text, qsizetype length, bool fromStart)
{
    if (fromStart) {
        if (text.at(length - 1).isHighSurrogate())
            ++length;
        return text.left(length);
    }
    if (text.at(text.size() - length).isLowSurrogate())
        ++length;
    return text.right(length);
}

// The first (or last) few words of the quote, as the quote writes them.
QString edge(const QStringList &words, bool fromStart)
{
    QStringList taken;
    qsizetype length = 0;
    for (qsizetype i = 0; i < words.size() && taken.size() < kEdgeWords; ++i) {
        const QString &word = words.at(fromStart ? i : words.size() - 1 - i);
        if (length + word.size() + 1 > kEdgeLength)
            break;
        length += word.size() + 1;
        if (fromStart)
            taken.append(word);
        else
            taken.prepend(word);
    }
    if (taken.isEmpty())
        return cut(words.at(fromStart ? 0 : words.size() - 1), kEdgeCharacters, fromStart);
    return taken.join(u' ');
}

QString encoded(const QString &part)
{
    // '-' and ',' and '&' separate the directive's own parts, so they are encoded too.
    return QString::fromLatin1(QUrl::toPercentEncoding(part, QByteArray(), QByteArrayLiteral("-")));
}

} // namespace

bool TextFragment::appliesTo(const QString &address)
{
    return address.startsWith(QStringLiteral("http://"), Qt::CaseInsensitive)
        || address.startsWith(QStringLiteral("https://"), Qt::CaseInsensitive);
}

QString TextFragment::addressAt(const QString &address, const QString &quote)
{
    const QString text = quote.simplified();
    if (!appliesTo(address) || text.isEmpty())
        return address;
    QString directive;
    if (text.size() <= kWholeQuoteLength) {
        directive = encoded(text);
    } else {
        const QStringList words = text.split(u' ');
        directive = encoded(edge(words, true)) + u',' + encoded(edge(words, false));
    }
    const qsizetype hash = address.indexOf(u'#');
    if (hash < 0)
        return address + QStringLiteral("#:~:text=") + directive;
    if (address.indexOf(QStringLiteral(":~:"), hash) >= 0)
        return address + QStringLiteral("&text=") + directive;
    return address + QStringLiteral(":~:text=") + directive;
}
