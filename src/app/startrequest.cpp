#include "app/startrequest.h"

namespace {

const QString kOptionDashes = QStringLiteral("--");

} // namespace

QString StartRequest::optionName(Action action)
{
    switch (action) {
    case Action::Pen:
        return QStringLiteral("pen");
    case Action::Web:
        return QStringLiteral("web");
    case Action::History:
        return QStringLiteral("history");
    case Action::Settings:
        return QStringLiteral("settings");
    case Action::Editor:
        break;
    }
    return QStringLiteral("editor");
}

const QList<StartRequest::Action> &StartRequest::allActions()
{
    static const QList<Action> actions{Action::Pen, Action::Web, Action::History, Action::Settings, Action::Editor};
    return actions;
}

QStringList StartRequest::toWords() const
{
    QStringList words;
    for (const Action action : actions)
        words.append(kOptionDashes + optionName(action));
    words.append(files);
    return words;
}

StartRequest StartRequest::fromWords(const QStringList &words)
{
    StartRequest request;
    for (const QString &word : words) {
        if (!word.startsWith(kOptionDashes)) {
            request.files.append(word);
            continue;
        }
        // An option this program does not know (from another version) is left out.
        for (const Action action : allActions()) {
            if (word == kOptionDashes + optionName(action))
                request.actions.append(action);
        }
    }
    return request;
}
