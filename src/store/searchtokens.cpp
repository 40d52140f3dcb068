#include "store/searchtokens.h"

#include <QList>

namespace {

enum class Kind { Word, HanPair, HanSingle };

struct Token
{
    QString text;
    Kind kind;
};

bool isHanLike(char32_t c)
{
    switch (QChar::script(c)) {
    case QChar::Script_Han:
    case QChar::Script_Hiragana:
    case QChar::Script_Katakana:
    case QChar::Script_Hangul:
    case QChar::Script_Bopomofo:
        return QChar::isLetterOrNumber(c);
    default:
        return false;
    }
}

QString fromCodePoint(char32_t c)
{
    return QString::fromUcs4(&c, 1);
}

// Calls `onToken` for each token of the folded text in order. A Han run of n characters gives
// its n-1 pairs, then its last character alone.
template <typename OnToken>
void splitFolded(const QString &folded, OnToken onToken)
{
    QString word;
    char32_t previousHan = 0;
    const auto endWord = [&] {
        if (!word.isEmpty())
            onToken(Token{std::exchange(word, {}), Kind::Word});
    };
    const auto endHanRun = [&] {
        if (previousHan)
            onToken(Token{fromCodePoint(std::exchange(previousHan, 0)), Kind::HanSingle});
    };
    for (qsizetype i = 0; i < folded.size(); ++i) {
        char32_t c = folded.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < folded.size() && folded.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(folded.at(i).unicode(), folded.at(i + 1).unicode());
            ++i;
        }
        if (isHanLike(c)) {
            endWord();
            if (previousHan)
                onToken(Token{fromCodePoint(previousHan) + fromCodePoint(c), Kind::HanPair});
            previousHan = c;
        } else if (QChar::isLetterOrNumber(c) || QChar::category(c) == QChar::Mark_NonSpacing) {
            endHanRun();
            word += fromCodePoint(c);
        } else {
            endWord();
            endHanRun();
        }
    }
    endWord();
    endHanRun();
}

QString fold(const QString &text)
{
    return text.normalized(QString::NormalizationForm_KC).toCaseFolded();
}

} // namespace

QString SearchTokens::forIndex(const QString &text)
{
    QString words;
    words.reserve(text.size() * 3);
    splitFolded(fold(text), [&words](const Token &token) {
        if (!words.isEmpty())
            words += u' ';
        words += token.text;
    });
    return words;
}

QString SearchTokens::matchExpression(const QString &query)
{
    QList<Token> tokens;
    splitFolded(fold(query), [&tokens](Token token) { tokens.append(std::move(token)); });
    // A Han run at the query's end may continue in the text: its last character alone is
    // not a word there, the pair before it already says it.
    if (tokens.size() >= 2 && tokens.last().kind == Kind::HanSingle && tokens.at(tokens.size() - 2).kind == Kind::HanPair)
        tokens.removeLast();
    if (tokens.isEmpty())
        return {};
    QStringList words;
    for (const Token &token : std::as_const(tokens))
        words.append(token.text);
    // Tokens hold only letters and digits, so the phrase needs no quoting inside.
    QString expression = u'"' + words.join(u' ') + u'"';
    if (tokens.last().kind != Kind::HanPair)
        expression += QStringLiteral(" *");
    return expression;
}
