#pragma once

#include <QList>
#include <QString>

// One node of the help viewer's topic tree. Its text is also what the viewer looks for in the
// help document, so every text must occur there, as the heading of its section.
struct HelpTopic
{
    enum class Level { Root, Chapter, Topic };

    Level level;
    QString text;
    QString key;
    // Keys of the pictures: the normal one and the one shown while the node is selected.
    QString image;
    QString selectedImage;
};

namespace HelpTopics {

// The keys of the viewer's pictures, in the order of its image list.
QStringList imageKeys();

// Every node in tree order; each chapter belongs to the root, each topic to the chapter above it.
const QList<HelpTopic> &all();

} // namespace HelpTopics
