#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <cctype>

// Reads back the plain text of the RTF documents that RtfDocument writes: groups, escaped
// symbols, \par \tab \line \page, and \uN with its \ucN fallback bytes skipped. The font
// table is skipped. *ok is false for malformed input (unbalanced braces, a byte outside a
// \u fallback).
inline QString readRtfText(const QByteArray &rtf, bool *ok)
{
    *ok = false;
    QString text;
    QList<int> skipCounts{1};
    QList<bool> hidden{false};
    int pendingSkip = 0;
    qsizetype i = 0;
    const auto controlWord = [&](QByteArray *word, qint64 *number, bool *hasNumber) {
        while (i < rtf.size() && std::isalpha(static_cast<unsigned char>(rtf[i])))
            *word += rtf[i++];
        *hasNumber = false;
        const qsizetype start = i;
        if (i < rtf.size() && (rtf[i] == '-' || std::isdigit(static_cast<unsigned char>(rtf[i]))))
            ++i;
        while (i < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[i])))
            ++i;
        if (i > start) {
            *hasNumber = true;
            *number = rtf.mid(start, i - start).toLongLong();
        }
        if (i < rtf.size() && rtf[i] == ' ')
            ++i;
    };
    while (i < rtf.size()) {
        const char c = rtf[i];
        if (c == '{') {
            skipCounts.append(skipCounts.last());
            hidden.append(hidden.last());
            ++i;
        } else if (c == '}') {
            if (skipCounts.size() == 1)
                return {};
            skipCounts.removeLast();
            hidden.removeLast();
            ++i;
        } else if (c == '\r' || c == '\n') {
            ++i;
        } else if (c == '\\') {
            ++i;
            if (i >= rtf.size())
                return {};
            const char next = rtf[i];
            if (next == '\\' || next == '{' || next == '}') {
                ++i;
                if (pendingSkip > 0)
                    --pendingSkip;
                else if (!hidden.last())
                    text += QLatin1Char(next);
                continue;
            }
            if (next == '\'') {
                i += 3;
                if (pendingSkip > 0)
                    --pendingSkip;
                else if (!hidden.last())
                    return {};  // the writer never puts a byte outside a \u fallback
                continue;
            }
            QByteArray word;
            qint64 number = 0;
            bool hasNumber = false;
            controlWord(&word, &number, &hasNumber);
            pendingSkip = 0;
            if (word == "fonttbl") {
                hidden.last() = true;
            } else if (word == "uc" && hasNumber) {
                skipCounts.last() = int(number);
            } else if (word == "u" && hasNumber) {
                if (!hidden.last())
                    text += QChar(char16_t(number < 0 ? number + 65536 : number));
                pendingSkip = skipCounts.last();
            } else if (!hidden.last()) {
                if (word == "par")
                    text += u'\n';
                else if (word == "tab")
                    text += u'\t';
                else if (word == "line")
                    text += u'\v';
                else if (word == "page")
                    text += u'\f';
            }
        } else {
            ++i;
            if (pendingSkip > 0)
                --pendingSkip;
            else if (!hidden.last())
                text += QLatin1Char(c);
        }
    }
    *ok = skipCounts.size() == 1;
    return text;
}
