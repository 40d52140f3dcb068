#include "app/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>

QStringList CommandLine::filesToOpen(const QCoreApplication &application)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Notavo：边读边收集文字。已在运行时，再次启动会显示历史记录，或在其内置编辑器中打开所给的文件。"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("文件"), QStringLiteral("在内置编辑器中打开的文本文件（*.txt）。"),
                                 QStringLiteral("[文件...]"));
    parser.process(application);

    QStringList files;
    for (const QString &argument : parser.positionalArguments())
        files.append(QFileInfo(argument).absoluteFilePath());
    return files;
}
