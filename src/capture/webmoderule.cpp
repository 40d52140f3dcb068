#include "capture/webmoderule.h"

namespace WebModeRule {

Decision decide(const Input &input)
{
    Decision decision;
    const int x = input.pointer.x();
    const int y = input.pointer.y();
    decision.showZone = input.visible && x > 300 && x < 700 ? 30 : 5;
    decision.show = y < decision.showZone;
    decision.shrinkToBar = !input.keepExpanded;
    decision.hide = !input.overToolbar && y > decision.showZone && !input.overBackground && !input.keepShown;
    return decision;
}

} // namespace WebModeRule
