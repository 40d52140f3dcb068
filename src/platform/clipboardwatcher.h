#pragma once

#include "platform/clipboardsnapshot.h"

#include <QObject>

#include <functional>
#include <memory>

class QMimeData;

// Tells of each new clipboard content, read in full without blocking the GUI thread.
// Emitting changed() by hand is how tests stand in for a real clipboard.
class ClipboardWatcher : public QObject
{
    Q_OBJECT
public:
    // Decides from the password-manager markers alone (read first) whether a content is secret;
    // a secret content is then reported with its markers only, its text never read.
    using SecrecyRule = std::function<bool(const QMimeData &markers)>;

    using QObject::QObject;

Q_SIGNALS:
    // Once per new content: a copy made anywhere in the session.
    void changed(const ClipboardSnapshot &snapshot);
    // The compositor went away or withdrew the clipboard; no more changes will come.
    void lost();
};

// The clipboard through the compositor's data-control protocol (ext_data_control_manager_v1,
// else zwlr_data_control_manager_v1), on a Wayland connection of its own. Null where the
// session offers neither or the program was built without Wayland.
std::unique_ptr<ClipboardWatcher> createDataControlClipboard(ClipboardWatcher::SecrecyRule secrecyRule = {});
