#include "history/historyicons.h"

#include <QPainter>
#include <QPixmap>

namespace {

constexpr int kSize = 20;

void drawFolder(QPainter &p, bool open)
{
    p.setPen(QColor(150, 110, 20));
    p.setBrush(QColor(240, 200, 80));
    p.drawRect(2, 5, 7, 3);
    if (open) {
        p.drawRect(2, 7, 15, 10);
        p.setBrush(QColor(255, 225, 120));
        p.drawPolygon(QPolygon({QPoint(4, 10), QPoint(19, 10), QPoint(16, 17), QPoint(2, 17)}));
    } else {
        p.drawRect(2, 7, 15, 10);
    }
}

void drawCalendar(QPainter &p, bool open)
{
    p.setPen(QColor(60, 60, 90));
    p.setBrush(Qt::white);
    p.drawRect(2, 3, 15, 14);
    p.setBrush(open ? QColor(200, 40, 40) : QColor(110, 110, 160));
    p.drawRect(2, 3, 15, 4);
    p.setPen(QColor(90, 90, 90));
    for (int y = 9; y <= 15; y += 3) {
        for (int x = 4; x <= 14; x += 4)
            p.drawPoint(x, y);
    }
}

void drawPage(QPainter &p, bool open)
{
    p.setPen(QColor(70, 70, 70));
    p.setBrush(open ? QColor(255, 250, 200) : Qt::white);
    p.drawPolygon(QPolygon({QPoint(4, 1), QPoint(12, 1), QPoint(16, 5), QPoint(16, 18), QPoint(4, 18)}));
    p.setPen(open ? QColor(30, 90, 200) : QColor(150, 150, 150));
    for (int y = 7; y <= 15; y += 3)
        p.drawLine(6, y, 14, y);
}

void drawExplorer(QPainter &p)
{
    p.setPen(QColor(40, 40, 40));
    p.setBrush(QColor(80, 140, 220));
    p.drawRect(2, 2, 15, 11);
    p.setBrush(QColor(180, 180, 180));
    p.drawRect(7, 14, 5, 2);
    p.drawRect(4, 16, 11, 2);
}

QPixmap image(const QString &key)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    const bool on = key.endsWith(QStringLiteral("On"));
    if (key.startsWith(QStringLiteral("sort")))
        drawFolder(p, on);
    else if (key.startsWith(QStringLiteral("date")))
        drawCalendar(p, on);
    else if (key.startsWith(QStringLiteral("file")))
        drawPage(p, on);
    else
        drawExplorer(p);
    return pixmap;
}

} // namespace

namespace HistoryIcons {

QIcon forNode(const QString &imageKey, const QString &selectedImageKey)
{
    QIcon icon;
    icon.addPixmap(image(imageKey), QIcon::Normal);
    icon.addPixmap(image(selectedImageKey), QIcon::Selected);
    return icon;
}

} // namespace HistoryIcons
