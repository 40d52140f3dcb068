#include "editor/documentprinter.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <QTextDocument>
#include <QTextLayout>
#include <memory>

namespace DocumentPrinter {

namespace {

// The resolution at which a document without a paint device lays itself out.
qreal layoutDpi()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->logicalDotsPerInchY() : 96.0;
}

QSizeF printableSize(const QPrinter &printer)
{
    return printer.pageLayout().paintRectPixels(printer.resolution()).size();
}

} // namespace

bool printFormatted(const QTextDocument &document, QPrinter &printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const std::unique_ptr<QTextDocument> copy(document.clone());
    const qreal scale = printer.resolution() / layoutDpi();
    const QSizeF device = printableSize(printer);
    const QSizeF page(device.width() / scale, device.height() / scale);
    copy->setPageSize(page);
    const int pages = copy->pageCount();
    for (int index = 0; index < pages; ++index) {
        if (index > 0 && !printer.newPage())
            return false;
        painter.save();
        painter.scale(scale, scale);
        painter.translate(0, -index * page.height());
        copy->drawContents(&painter, QRectF(QPointF(0, index * page.height()), page));
        painter.restore();
    }
    return painter.end();
}

bool printPlain(const QString &text, const QFont &font, QPrinter &printer)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QFont printerFont(font, &printer);
    painter.setFont(printerFont);
    const QSizeF area = printableSize(printer);
    const QPointF origin(kPlainLeftInches * printer.logicalDpiX(), kPlainTopInches * printer.logicalDpiY());
    const qreal width = qMax<qreal>(1, area.width() - origin.x());
    qreal y = origin.y();

    for (const QString &lineText : text.split(QLatin1Char('\n'))) {
        QTextLayout layout(lineText, printerFont, &printer);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            if (y + line.height() > area.height() && y > origin.y()) {
                if (!printer.newPage())
                    return false;
                y = origin.y();
            }
            line.setPosition(QPointF(0, 0));
            line.draw(&painter, QPointF(origin.x(), y));
            y += line.height();
        }
        layout.endLayout();
    }
    return painter.end();
}

} // namespace DocumentPrinter
