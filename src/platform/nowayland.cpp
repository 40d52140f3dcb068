// Built without the Wayland client library: no Wayland feature is there.
#include "platform/clipboardwatcher.h"
#include "platform/topedgetrigger.h"
#include "platform/waylandfeatures.h"

WaylandFeatures probeWaylandFeatures()
{
    return {};
}

std::unique_ptr<ClipboardWatcher> createDataControlClipboard(ClipboardWatcher::SecrecyRule)
{
    return nullptr;
}

std::unique_ptr<TopEdgeTrigger> createLayerShellTopEdgeStrip()
{
    return nullptr;
}
