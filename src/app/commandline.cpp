#include "app/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

namespace {

// What each option's tray entry does, as `--help` tells it.
QString optionDescription(StartRequest::Action action)
{
    switch (action) {
    case StartRequest::Action::Pen:
        return QStringLiteral("普通记录：记录窗口改为收集复制的文字。");
    case StartRequest::Action::Web:
        return QStringLiteral("网上记录：记录窗口改为在屏幕顶边接收拖入的文字。");
    case StartRequest::Action::History:
        return QStringLiteral("打开历史：显示历史记录。");
    case StartRequest::Action::Settings:
        return QStringLiteral("系统设置：打开设置对话框。");
    case StartRequest::Action::Editor:
        break;
    }
    return QStringLiteral("打开编辑：显示内置编辑器。");
}

} // namespace

StartRequest CommandLine::parse(const QCoreApplication &application)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Notavo：边读边收集文字。\n"
        "选项做托盘菜单中同名的事：Notavo 未运行时先启动再做，已在运行时交给运行中的 Notavo 去做。"
        "不带选项和文件再次启动时，显示历史记录。"));
    parser.addHelpOption();
    parser.addVersionOption();
    for (const StartRequest::Action action : StartRequest::allActions())
        parser.addOption(QCommandLineOption(StartRequest::optionName(action), optionDescription(action)));
    parser.addPositionalArgument(QStringLiteral("文件"), QStringLiteral("在内置编辑器中打开的文本文件（*.txt）。"),
                                 QStringLiteral("[文件...]"));
    parser.process(application);

    StartRequest request;
    for (const StartRequest::Action action : StartRequest::allActions()) {
        if (parser.isSet(StartRequest::optionName(action)))
            request.actions.append(action);
    }
    for (const QString &argument : parser.positionalArguments())
        request.files.append(QFileInfo(argument).absoluteFilePath());
    return request;
}
