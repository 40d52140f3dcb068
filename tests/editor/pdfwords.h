#pragma once

#include <QList>
#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QString>

// The words of a PDF with their boxes in points from the page's top-left corner, as
// poppler's pdftotext reads them from the file.
struct PdfWord
{
    QString text;
    QRectF box;
};

inline QList<PdfWord> pdfWords(const QString &pdfPath)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdfPath, QStringLiteral("-")});
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        qWarning("pdftotext (poppler-utils) could not read %s", qPrintable(pdfPath));
        return {};
    }
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression word(QStringLiteral(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    QList<PdfWord> words;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto match = it.next();
        const QPointF topLeft(match.captured(1).toDouble(), match.captured(2).toDouble());
        const QPointF bottomRight(match.captured(3).toDouble(), match.captured(4).toDouble());
        words.append({match.captured(5), QRectF(topLeft, bottomRight)});
    }
    return words;
}

inline QString pdfText(const QString &pdfPath)
{
    QStringList texts;
    for (const PdfWord &word : pdfWords(pdfPath))
        texts.append(word.text);
    return texts.join(QLatin1Char(' '));
}
