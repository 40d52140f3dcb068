#include "app/terminationsignals.h"

// Windows ends programs through window messages, which Qt already turns into a quit.
void onTerminationSignals(QObject *, std::function<void()>) {}
