#include "store/category.h"

#include <array>

namespace Categories {

namespace {

const std::array<Category, 10> &table()
{
    static const std::array<Category, 10> categories{{
        {CategoryKey::DefaultText, QStringLiteral("默认文本"), 0},
        {CategoryKey::StudyMaterial, QStringLiteral("学习资料"), 5},
        {CategoryKey::Paper, QStringLiteral("论文"), 1},
        {CategoryKey::Novel, QStringLiteral("小说"), 2},
        {CategoryKey::Story, QStringLiteral("故事"), 3},
        {CategoryKey::Fable, QStringLiteral("寓言"), 6},
        {CategoryKey::News, QStringLiteral("新闻"), 4},
        {CategoryKey::Data, QStringLiteral("数据"), 7},
        {CategoryKey::ShortSentence, QStringLiteral("短句"), 8},
        {CategoryKey::Other, QStringLiteral("其它"), 9},
    }};
    return categories;
}

} // namespace

std::span<const Category> all()
{
    return table();
}

const Category *byButton(int buttonIndex)
{
    for (const Category &category : table())
        if (category.buttonIndex == buttonIndex)
            return &category;
    return nullptr;
}

QString defaultName()
{
    return table().front().name;
}

} // namespace Categories
