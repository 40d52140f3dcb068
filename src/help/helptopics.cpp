#include "help/helptopics.h"

namespace {

HelpTopic chapter(const QString &text, const QString &key)
{
    return {HelpTopic::Level::Chapter, text, key, QStringLiteral("fileOff"), QStringLiteral("fileOn")};
}

HelpTopic topic(const QString &text, const QString &key)
{
    return {HelpTopic::Level::Topic, text, key, QStringLiteral("helpOff"), QStringLiteral("helpOn")};
}

} // namespace

QStringList HelpTopics::imageKeys()
{
    return {QStringLiteral("fileOff"), QStringLiteral("fileOn"), QStringLiteral("helpOff"), QStringLiteral("helpOn"),
            QStringLiteral("expText")};
}

const QList<HelpTopic> &HelpTopics::all()
{
    static const QList<HelpTopic> topics{
        {HelpTopic::Level::Root, QStringLiteral("Notavo帮助文档"), QStringLiteral("explor"), QStringLiteral("expText"),
         QStringLiteral("expText")},
        chapter(QStringLiteral("Notavo简介"), QStringLiteral("help2")),
        topic(QStringLiteral("启动方式"), QStringLiteral("help4")),
        chapter(QStringLiteral("Notavo的系统设置"), QStringLiteral("help5")),
        topic(QStringLiteral("设置文件保存地址"), QStringLiteral("help6")),
        topic(QStringLiteral("设置后台编辑软件"), QStringLiteral("help7")),
        topic(QStringLiteral("设置自动运行系统"), QStringLiteral("help8")),
        chapter(QStringLiteral("Notavo的使用技巧"), QStringLiteral("help9")),
        topic(QStringLiteral("网上记录"), QStringLiteral("help10")),
        topic(QStringLiteral("普通记录"), QStringLiteral("help11")),
        topic(QStringLiteral("查找已记录的文档"), QStringLiteral("help12")),
        topic(QStringLiteral("打开已记录的文档"), QStringLiteral("help13")),
        topic(QStringLiteral("打开资料来源的网页或文档"), QStringLiteral("help14")),
        topic(QStringLiteral("编辑已记录的文档"), QStringLiteral("help15")),
    };
    return topics;
}
