#pragma once

#include <QString>
#include <span>

// One of the ten fixed categories: its history-tree key, the display name stored in 类别,
// and the index of its button on the capture window.
struct Category
{
    QString key;
    QString name;
    int buttonIndex;
};

namespace Categories {

// The ten categories in history-tree order (默认文本 first, 其它 last).
std::span<const Category> all();
const Category *byKey(const QString &key);
const Category *byButton(int buttonIndex);

// The category of every document saved from the built-in editor.
QString defaultName();

} // namespace Categories
