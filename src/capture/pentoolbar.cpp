#include "capture/pentoolbar.h"

#include <QAction>
#include <QLayout>
#include <QPainter>

namespace {

// A pen for pen mode, a red cross for leaving it.
QIcon drawnIcon(CaptureMode mode)
{
    QPixmap pixmap(20, 20);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    if (mode == CaptureMode::Pen) {
        painter.setPen(QPen(QColor(0x20, 0x50, 0xa0), 3, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(4, 16), QPointF(15, 5));
        painter.setPen(QPen(QColor(0x30, 0x30, 0x30), 1.5));
        painter.drawLine(QPointF(2, 18), QPointF(4, 16));
    } else {
        painter.setPen(QPen(QColor(0xb0, 0x30, 0x30), 3, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(5, 5), QPointF(15, 15));
        painter.drawLine(QPointF(15, 5), QPointF(5, 15));
    }
    return QIcon(pixmap);
}

} // namespace

PenToolbar::PenToolbar(QWidget *parent)
    : QToolBar(parent)
{
    setObjectName(QStringLiteral("penToolbar"));
    // Two buttons in 855 twips: no handle, margins or spacing.
    setIconSize(QSize(18, 18));
    setMovable(false);
    setFloatable(false);
    setStyleSheet(QStringLiteral("QToolBar { border: 0px; padding: 0px; spacing: 0px; }"));
    layout()->setContentsMargins(0, 0, 0, 0);
    m_penButton = addModeButton(CaptureMode::Pen, QStringLiteral("penModeButton"), QStringLiteral("开始启动普通记录"));
    m_webButton = addModeButton(CaptureMode::Web, QStringLiteral("webModeButton"), QStringLiteral("关闭普通记录"));
}

QAction *PenToolbar::addModeButton(CaptureMode mode, const QString &objectName, const QString &tip)
{
    QAction *action = addAction(drawnIcon(mode), tip);
    action->setObjectName(objectName);
    action->setToolTip(tip);
    connect(action, &QAction::triggered, this, [this, mode] { Q_EMIT modeRequested(mode); });
    return action;
}

void PenToolbar::showMode(CaptureMode mode)
{
    setButtonEnabled(m_penButton, mode != CaptureMode::Pen);
    setButtonEnabled(m_webButton, mode != CaptureMode::Web);
}

bool PenToolbar::holds(const QWidget *widget) const
{
    return widget && (widget == this || isAncestorOf(widget));
}

void PenToolbar::setButtonEnabled(QAction *button, bool enabled)
{
    button->setEnabled(enabled);
    // A disabled button swallows the right click; let it reach the toolbar and its menu.
    if (QWidget *widget = widgetForAction(button))
        widget->setAttribute(Qt::WA_TransparentForMouseEvents, !enabled);
}
