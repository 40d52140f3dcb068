#include "platform/topedgetriggers.h"

#include "platform/waylandfeatures.h"
#include "platform/x11topedgestrip.h"

std::unique_ptr<TopEdgeTrigger> createTopEdgeTrigger(const WaylandFeatures &features)
{
    if (features.layerShell) {
        if (std::unique_ptr<TopEdgeTrigger> strip = createLayerShellTopEdgeStrip())
            return strip;
    }
    return std::make_unique<X11TopEdgeStrip>();
}
