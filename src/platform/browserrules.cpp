#include "platform/browserrules.h"

#include <array>

namespace BrowserRules {

namespace {

// The three marks of the classic browsers, then the title suffixes of today's browsers.
// Edge writes its name with a zero-width space between the two words.
constexpr std::array<std::u16string_view, 12> kMarks = {
    u" - Microsoft Internet Explorer",
    u" - Netscape",
    u"Offline Explorer",
    u" \u2014 Mozilla Firefox",
    u" - Mozilla Firefox",
    u" - Google Chrome",
    u" - Chromium",
    u" - Microsoft Edge",
    u" - Microsoft\u200b Edge",
    u" - Brave",
    u" - Opera",
    u" - Vivaldi",
};

bool isAsciiLetter(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isAsciiDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// "scheme:" per the URL syntax, followed by "//", or one of the schemes written without it.
bool hasScheme(std::u16string_view text)
{
    if (text.empty() || !isAsciiLetter(text.front()))
        return false;
    std::size_t i = 1;
    while (i < text.size()
           && (isAsciiLetter(text[i]) || isAsciiDigit(text[i]) || text[i] == u'+'
               || text[i] == u'-' || text[i] == u'.'))
        ++i;
    if (i >= text.size() || text[i] != u':')
        return false;
    if (text.substr(i + 1).starts_with(u"//"))
        return true;
    static constexpr std::array<std::u16string_view, 9> kOpaque = {
        u"about", u"data", u"mailto", u"javascript", u"view-source", u"blob", u"chrome",
        u"edge", u"file"};
    const std::u16string_view scheme = text.substr(0, i);
    for (std::u16string_view known : kOpaque) {
        if (scheme.size() != known.size())
            continue;
        bool same = true;
        for (std::size_t k = 0; k < known.size() && same; ++k)
            same = (scheme[k] | 0x20) == known[k];
        if (same)
            return true;
    }
    return false;
}

bool isLabelCharacter(char16_t c)
{
    return isAsciiLetter(c) || isAsciiDigit(c) || c == u'-' || c == u'_' || c >= 0x80;
}

// A host: "localhost", a bracketed IPv6 address, or at least two dot-separated labels,
// optionally followed by ":port" in digits.
bool looksLikeHost(std::u16string_view authority)
{
    std::u16string_view host = authority;
    std::u16string_view rest;
    if (authority.starts_with(u'[')) {
        const std::size_t close = authority.find(u']');
        if (close == std::u16string_view::npos)
            return false;
        host = authority.substr(0, close + 1);
        rest = authority.substr(close + 1);
    } else if (const std::size_t colon = authority.find(u':'); colon != std::u16string_view::npos) {
        host = authority.substr(0, colon);
        rest = authority.substr(colon);
    }
    if (!rest.empty()) {
        if (rest.size() < 2 || rest.front() != u':')
            return false;
        for (char16_t c : rest.substr(1)) {
            if (!isAsciiDigit(c))
                return false;
        }
    }
    if (host.starts_with(u'['))
        return host.size() > 2;
    if (host == u"localhost")
        return true;
    std::size_t labels = 0;
    std::size_t start = 0;
    while (start <= host.size()) {
        std::size_t dot = host.find(u'.', start);
        if (dot == std::u16string_view::npos)
            dot = host.size();
        const std::u16string_view label = host.substr(start, dot - start);
        if (label.empty())
            return false;
        for (char16_t c : label) {
            if (!isLabelCharacter(c))
                return false;
        }
        ++labels;
        start = dot + 1;
    }
    return labels >= 2;
}

} // namespace

bool isBrowserTitle(std::u16string_view title)
{
    for (std::u16string_view mark : kMarks) {
        if (title.find(mark) != std::u16string_view::npos)
            return true;
    }
    return false;
}

std::ptrdiff_t firstBrowser(const std::vector<std::u16string> &titlesTopmostFirst)
{
    for (std::size_t i = 0; i < titlesTopmostFirst.size(); ++i) {
        if (isBrowserTitle(titlesTopmostFirst[i]))
            return static_cast<std::ptrdiff_t>(i);
    }
    return -1;
}

std::u16string addressFromFieldText(std::u16string_view text)
{
    if (text.empty() || hasScheme(text))
        return std::u16string(text);
    const std::size_t end = text.find_first_of(u"/?#");
    const std::u16string_view authority = text.substr(0, end);
    if (authority.find(u'@') != std::u16string_view::npos || !looksLikeHost(authority))
        return std::u16string(text);
    return u"http://" + std::u16string(text);
}

} // namespace BrowserRules
