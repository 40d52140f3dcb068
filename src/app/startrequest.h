#pragma once

#include <QList>
#include <QMetaType>
#include <QStringList>

// What a start of the program asks for: tray entries to carry out (`--pen`, `--history`, ...)
// and text files to open in the built-in editor. A later start hands it to the running program.
struct StartRequest
{
    // The tray entries a start can ask for, each by its command-line option.
    enum class Action { Pen, Web, History, Settings, Editor };

    QList<Action> actions;
    // Absolute paths.
    QStringList files;

    // A bare start: the running program shows its history browser.
    bool isEmpty() const { return actions.isEmpty() && files.isEmpty(); }

    // The option's name without the dashes ("pen"), and the action an option name stands for.
    static QString optionName(Action action);
    static const QList<Action> &allActions();

    // The words sent to the running program: each action as its option ("--pen"), then the
    // files. A path is absolute, so it never starts with the dashes of an option.
    QStringList toWords() const;
    static StartRequest fromWords(const QStringList &words);

    bool operator==(const StartRequest &other) const = default;
};

Q_DECLARE_METATYPE(StartRequest)
