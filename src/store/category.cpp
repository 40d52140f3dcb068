#include "store/category.h"

#include <array>

namespace Categories {

namespace {

const std::array<Category, 10> &table()
{
    static const std::array<Category, 10> categories{{
        {QStringLiteral("mrwb"), QStringLiteral("默认文本"), 0},
        {QStringLiteral("xxjl"), QStringLiteral("学习资料"), 5},
        {QStringLiteral("lenWen"), QStringLiteral("论文"), 1},
        {QStringLiteral("xiaoShuo"), QStringLiteral("小说"), 2},
        {QStringLiteral("guShi"), QStringLiteral("故事"), 3},
        {QStringLiteral("yuYuan"), QStringLiteral("寓言"), 6},
        {QStringLiteral("xinWen"), QStringLiteral("新闻"), 4},
        {QStringLiteral("shuJu"), QStringLiteral("数据"), 7},
        {QStringLiteral("duanJu"), QStringLiteral("短句"), 8},
        {QStringLiteral("qiTa"), QStringLiteral("其它"), 9},
    }};
    return categories;
}

} // namespace

std::span<const Category> all()
{
    return table();
}

const Category *byKey(const QString &key)
{
    for (const Category &category : table())
        if (category.key == key)
            return &category;
    return nullptr;
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
