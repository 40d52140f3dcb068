#include "platform/waylandfeatures.h"

#include "platform/wayland/waylandconnection.h"

WaylandFeatures probeWaylandFeatures()
{
    WaylandFeatures features;
    const std::unique_ptr<WaylandConnection> connection = WaylandConnection::open();
    if (!connection)
        return features;
    features.reached = true;
    features.layerShell = connection->offers("zwlr_layer_shell_v1");
    features.extDataControl = connection->offers("ext_data_control_manager_v1");
    features.wlrDataControl = connection->offers("zwlr_data_control_manager_v1");
    return features;
}
