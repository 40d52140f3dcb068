#include "finder/wildcardmatcher.h"

#include <QChar>
#include <QList>

namespace {

char32_t fold(char32_t c)
{
    if (c < 0x80)
        return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c;
    return QChar::toCaseFolded(c);
}

// Decodes UTF-8; a byte that does not start a valid sequence becomes a code point of its own
// outside the Unicode range, so it never equals a pattern character.
void decodeUtf8(QByteArrayView bytes, std::vector<char32_t> *out)
{
    out->clear();
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n;) {
        const unsigned char lead = p[i];
        if (lead < 0x80) {
            out->push_back(fold(lead));
            ++i;
            continue;
        }
        int extra = 0;
        char32_t cp = 0;
        if ((lead & 0xE0) == 0xC0) {
            extra = 1;
            cp = lead & 0x1F;
        } else if ((lead & 0xF0) == 0xE0) {
            extra = 2;
            cp = lead & 0x0F;
        } else if ((lead & 0xF8) == 0xF0) {
            extra = 3;
            cp = lead & 0x07;
        } else {
            out->push_back(0x110000 + lead);
            ++i;
            continue;
        }
        bool valid = i + extra < n;
        for (int k = 1; valid && k <= extra; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                valid = false;
            else
                cp = (cp << 6) | (p[i + k] & 0x3F);
        }
        if (!valid) {
            out->push_back(0x110000 + lead);
            ++i;
            continue;
        }
        out->push_back(fold(cp));
        i += extra + 1;
    }
}

} // namespace

WildcardMatcher::WildcardMatcher(const QString &pattern)
{
    for (const char32_t c : pattern.toUcs4())
        m_pattern.push_back(fold(c));
    const size_t n = m_pattern.size();
    m_optionalExtension = n >= 2 && m_pattern[n - 2] == U'.' && m_pattern[n - 1] == U'*';
}

bool WildcardMatcher::matches(QStringView name) const
{
    std::vector<char32_t> folded;
    folded.reserve(size_t(name.size()));
    for (const char32_t c : name.toUcs4())
        folded.push_back(fold(c));
    return matchCodePoints(folded);
}

bool WildcardMatcher::matches(QByteArrayView name) const
{
    thread_local std::vector<char32_t> decoded;
    decodeUtf8(name, &decoded);
    return matchCodePoints(decoded);
}

bool WildcardMatcher::matchCodePoints(const std::vector<char32_t> &name) const
{
    if (matchFrom(m_pattern, m_pattern.size(), name))
        return true;
    return m_optionalExtension && matchFrom(m_pattern, m_pattern.size() - 2, name);
}

// Greedy matching that backtracks to the last "*": linear in practice, never exponential.
bool WildcardMatcher::matchFrom(const std::vector<char32_t> &pattern, size_t patternEnd,
                                const std::vector<char32_t> &name)
{
    size_t p = 0;
    size_t s = 0;
    size_t starP = size_t(-1);
    size_t starS = 0;
    while (s < name.size()) {
        if (p < patternEnd && pattern[p] == U'*') {
            starP = p++;
            starS = s;
        } else if (p < patternEnd && (pattern[p] == U'?' || pattern[p] == name[s])) {
            ++p;
            ++s;
        } else if (starP != size_t(-1)) {
            p = starP + 1;
            s = ++starS;
        } else {
            return false;
        }
    }
    while (p < patternEnd && pattern[p] == U'*')
        ++p;
    return p == patternEnd;
}
