#pragma once

#include <QIcon>
#include <QString>

namespace HistoryIcons {

// A tree node's icon: `image` while not selected, `selectedImage` while selected. The keys
// are those of the tree's image list ("explorer", "sortOff", "sortOn", "dateOff", "dateOn",
// "fileOff", "fileOn"); each image is 20 × 20 pixels.
QIcon forNode(const QString &image, const QString &selectedImage);

} // namespace HistoryIcons
