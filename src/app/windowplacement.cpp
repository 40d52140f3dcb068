#include "app/windowplacement.h"

#include "common/twips.h"

#include <QPushButton>
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

QPushButton *closingOkButton(QWidget *window, int widthTwips)
{
    auto *ok = new QPushButton(QStringLiteral("确定"), window);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setFixedWidth(Twips::toPixels(widthTwips));
    ok->setMinimumHeight(Twips::toPixels(375));
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, window, &QWidget::close);
    return ok;
}

} // namespace WindowPlacement
