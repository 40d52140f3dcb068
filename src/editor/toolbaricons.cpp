#include "editor/toolbaricons.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <array>

namespace ToolbarIcons {

namespace {

const QColor kInk(40, 40, 40);

void page(QPainter &p, const QRectF &r)
{
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 4, r.top());
    path.lineTo(r.right(), r.top() + 4);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawPath(path);
    p.drawLine(QPointF(r.right() - 4, r.top()), QPointF(r.right() - 4, r.top() + 4));
    p.drawLine(QPointF(r.right() - 4, r.top() + 4), QPointF(r.right(), r.top() + 4));
}

void lines(QPainter &p, Qt::Alignment alignment)
{
    p.setPen(QPen(kInk, 1.5));
    const int widths[] = {14, 9, 14, 7, 12};
    for (int row = 0; row < 5; ++row) {
        int width = widths[row];
        if (alignment == Qt::AlignJustify)
            width = row == 4 ? 9 : 14;
        qreal left = 2;
        if (alignment == Qt::AlignHCenter)
            left = 2 + (14 - width) / 2.0;
        else if (alignment == Qt::AlignRight)
            left = 16 - width;
        const qreal y = 3.5 + row * 3;
        p.drawLine(QPointF(left, y), QPointF(left + width, y));
    }
}

void blankPage(QPainter &p)
{
    page(p, QRectF(3.5, 1.5, 11, 15));
}

void openFolder(QPainter &p)
{
    p.setPen(QPen(QColor(120, 90, 0), 1));
    p.setBrush(QColor(230, 190, 60));
    p.drawRect(QRectF(1.5, 4.5, 12, 11));
    p.setBrush(QColor(250, 220, 110));
    p.drawPolygon(QPolygonF({{4.5, 8.5}, {17, 8.5}, {13.5, 15.5}, {1.5, 15.5}}));
}

void diskette(QPainter &p)
{
    p.setPen(QPen(QColor(10, 20, 80), 1));
    p.setBrush(QColor(40, 60, 150));
    p.drawRect(QRectF(1.5, 1.5, 15, 15));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 1.5, 9, 6));
    p.setBrush(QColor(190, 190, 190));
    p.drawRect(QRectF(4.5, 10.5, 9, 6));
}

void printer(QPainter &p)
{
    page(p, QRectF(5.5, 1.5, 7, 6));
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(170, 170, 170));
    p.drawRect(QRectF(1.5, 7.5, 15, 6));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(4.5, 13.5, 9, 3));
    p.setPen(QPen(QColor(0, 160, 0), 1.5));
    p.drawPoint(QPointF(14, 9.5));
}

void scissors(QPainter &p)
{
    p.setPen(QPen(kInk, 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(5, 1), QPointF(11, 12));
    p.drawLine(QPointF(13, 1), QPointF(7, 12));
    p.setPen(QPen(QColor(200, 0, 0), 1.5));
    p.drawEllipse(QPointF(5.5, 14), 2.5, 2.5);
    p.drawEllipse(QPointF(12.5, 14), 2.5, 2.5);
}

void twoPages(QPainter &p)
{
    page(p, QRectF(1.5, 1.5, 9, 11));
    page(p, QRectF(7.5, 5.5, 9, 11));
}

void clipboard(QPainter &p)
{
    p.setPen(QPen(QColor(90, 60, 20), 1));
    p.setBrush(QColor(180, 130, 60));
    p.drawRect(QRectF(1.5, 2.5, 11, 14));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(4.5, 1.5, 5, 3));
    page(p, QRectF(7.5, 6.5, 9, 10));
}

void linesLeft(QPainter &p)
{
    lines(p, Qt::AlignLeft);
}

void linesCentred(QPainter &p)
{
    lines(p, Qt::AlignHCenter);
}

void linesRight(QPainter &p)
{
    lines(p, Qt::AlignRight);
}

void linesJustified(QPainter &p)
{
    lines(p, Qt::AlignJustify);
}

void twoLetters(QPainter &p)
{
    QFont font(QStringLiteral("Serif"));
    font.setPixelSize(13);
    font.setBold(true);
    p.setFont(font);
    p.setPen(kInk);
    p.drawText(QRectF(0, 0, 12, 18), Qt::AlignCenter, QStringLiteral("T"));
    p.setPen(QColor(0, 0, 160));
    p.drawText(QRectF(6, 2, 12, 16), Qt::AlignCenter, QStringLiteral("T"));
}

void palette(QPainter &p)
{
    p.setPen(QPen(QColor(120, 80, 30), 1));
    p.setBrush(QColor(235, 200, 140));
    p.drawEllipse(QRectF(1.5, 3.5, 15, 12));
    const QColor dots[] = {Qt::red, Qt::blue, QColor(0, 160, 0), Qt::yellow};
    const QPointF places[] = {{5.5, 7.5}, {9.5, 6.5}, {13, 8.5}, {12, 12}};
    p.setPen(Qt::NoPen);
    for (int dot = 0; dot < 4; ++dot) {
        p.setBrush(dots[dot]);
        p.drawEllipse(places[dot], 1.8, 1.8);
    }
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(6, 12), 1.6, 1.6);
}

// Indexed by Picture.
constexpr std::array<void (*)(QPainter &), kCount> kPainters{
    blankPage,  openFolder,   diskette,   printer,        scissors,   twoPages, clipboard,
    linesLeft,  linesCentred, linesRight, linesJustified, twoLetters, palette,
};

QPixmap grey(const QPixmap &picture)
{
    QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int level = 128 + qGray(row[x]) / 2;
            row[x] = qRgba(level, level, level, qAlpha(row[x]));
        }
    }
    return QPixmap::fromImage(image);
}

} // namespace

QIcon icon(Picture picture)
{
    const auto index = static_cast<std::size_t>(picture);
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    if (index < kPainters.size()) {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        kPainters[index](painter);
    }
    QIcon result;
    result.addPixmap(pixmap, QIcon::Normal);
    result.addPixmap(grey(pixmap), QIcon::Disabled);
    return result;
}

} // namespace ToolbarIcons
