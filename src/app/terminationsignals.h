#pragma once

#include <QObject>
#include <functional>

// Runs `handler` on the GUI thread when the program is asked to end by a signal (terminate,
// interrupt, hang-up), so that it ends as through the tray's exit instead of being cut off.
void onTerminationSignals(QObject *context, std::function<void()> handler);
