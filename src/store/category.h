#pragma once

#include <QString>
#include <span>

// The ten fixed categories, in history-tree order.
enum class CategoryKey { DefaultText, StudyMaterial, Paper, Novel, Story, Fable, News, Data, ShortSentence, Other };

// One of the ten categories: its key, the display name stored in 类别 (and shown by the
// capture buttons and the history tree), and the index of its button on the capture window.
struct Category
{
    CategoryKey key;
    QString name;
    int buttonIndex;
};

namespace Categories {

// The ten categories in history-tree order (默认文本 first, 其它 last).
std::span<const Category> all();
const Category *byButton(int buttonIndex);

// The category of every document saved from the built-in editor.
QString defaultName();

} // namespace Categories
