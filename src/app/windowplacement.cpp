#include "app/windowplacement.h"

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

QFont font(const QStringList &families, qreal points, bool bold)
{
    QFont result;
    result.setFamilies(families);
    result.setPointSizeF(points);
    result.setBold(bold);
    return result;
}

} // namespace WindowPlacement
