#pragma once

#include <QByteArrayView>
#include <QString>
#include <vector>

// Matches file names against a pattern the way a drive search does: letter case ignored,
// "*" any run of characters, "?" exactly one character, and a pattern ending in ".*" also
// matches the name without an extension ("*.*" matches every name).
class WildcardMatcher final
{
public:
    explicit WildcardMatcher(const QString &pattern);

    bool matches(QStringView name) const;
    // A name as the file system stores it (UTF-8); bytes that are not UTF-8 match only "*" and "?".
    bool matches(QByteArrayView name) const;

private:
    bool matchCodePoints(const std::vector<char32_t> &name) const;
    static bool matchFrom(const std::vector<char32_t> &pattern, size_t patternEnd,
                          const std::vector<char32_t> &name);

    std::vector<char32_t> m_pattern;
    bool m_optionalExtension = false;
};
