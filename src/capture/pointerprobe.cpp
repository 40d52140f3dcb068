#include "capture/pointerprobe.h"

#include <QApplication>
#include <QCursor>

namespace {

class CursorPointerProbe final : public PointerProbe
{
public:
    QPoint position() const override { return QCursor::pos(); }
    QWidget *widgetAt(const QPoint &position) const override { return QApplication::widgetAt(position); }
};

} // namespace

std::unique_ptr<PointerProbe> createPointerProbe()
{
    return std::make_unique<CursorPointerProbe>();
}
