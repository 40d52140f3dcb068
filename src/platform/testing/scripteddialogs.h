#pragma once

#include "platform/dialogs.h"

#include <QList>
#include <QQueue>

// Answers dialogs from queues a test fills, and records every message shown.
// An empty queue answers as a cancelling user would (No, or no choice).
class ScriptedDialogs final : public Dialogs
{
public:
    struct Message
    {
        QString title;
        QString text;
        Icon icon;
        Buttons buttons;
    };

    Answer message(QWidget *, const QString &title, const QString &text, Icon icon,
                   Buttons buttons) override
    {
        messages.append({title, text, icon, buttons});
        if (buttons == Buttons::Ok)
            return Answer::Ok;
        return answers.isEmpty() ? Answer::No : answers.dequeue();
    }
    std::optional<QString> openFileName(QWidget *, const QString &title, const QString &filter,
                                        const QString &folder) override
    {
        fileDialogs.append({title, filter});
        openFolders.append(folder);
        return takeOrNone(fileNames);
    }
    std::optional<QString> saveFileName(QWidget *, const QString &title, const QString &filter) override
    {
        fileDialogs.append({title, filter});
        return takeOrNone(fileNames);
    }
    std::optional<QFont> font(QWidget *, const QFont &initial) override
    {
        fontInitials.append(initial);
        return takeOrNone(fonts);
    }
    std::optional<QColor> color(QWidget *, const QColor &initial) override
    {
        colorInitials.append(initial);
        return takeOrNone(colors);
    }
    bool print(QWidget *, QPrinter &, bool hasSelection) override
    {
        printRequests.append(hasSelection);
        return printAnswers.isEmpty() ? false : printAnswers.dequeue();
    }

    QQueue<Answer> answers;
    QQueue<std::optional<QString>> fileNames;
    QQueue<std::optional<QFont>> fonts;
    QQueue<std::optional<QColor>> colors;
    QQueue<bool> printAnswers;

    QList<Message> messages;
    QList<QPair<QString, QString>> fileDialogs;
    QStringList openFolders;
    QList<QFont> fontInitials;
    QList<QColor> colorInitials;
    QList<bool> printRequests;

private:
    template<typename T>
    static std::optional<T> takeOrNone(QQueue<std::optional<T>> &queue)
    {
        return queue.isEmpty() ? std::nullopt : queue.dequeue();
    }
};
