#include "app/windowplacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace WindowPlacement {

Qt::WindowFlags fixedDialogFlags()
{
    return Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
}

void keepProgramAlive(QWidget *window)
{
    window->setAttribute(Qt::WA_QuitOnClose, true);
}

void centreOnScreen(QWidget *window)
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame(QPoint(), window->size());
    frame.moveCenter(screen->availableGeometry().center());
    window->move(frame.topLeft());
}

QFont font(const QStringList &families, qreal points, bool bold)
{
    QFont result;
    result.setFamilies(families);
    result.setPointSizeF(points);
    result.setBold(bold);
    return result;
}

} // namespace WindowPlacement
