#pragma once

#include <QString>

// What a text from outside (a record's source, a found file) may open through the shell:
// a web or ftp address, or an existing local document. Never a program: a file with an
// execute bit, a script or desktop entry, a Windows program or shortcut, or any other scheme
// (javascript:, smb:…) is refused with the reason.
class OpenTarget final
{
public:
    enum class Kind {
        Address,     // http, https or ftp with a host
        Document,    // an existing regular file that is no program
        Refused,     // names something that must not be opened
        NotATarget,  // plain text that names neither an address nor a file
    };

    static OpenTarget of(const QString &text);

    Kind kind() const { return m_kind; }
    bool canOpen() const { return m_kind == Kind::Address || m_kind == Kind::Document; }
    // The address, or the file's absolute path, to hand to the shell.
    QString target() const { return m_target; }
    // Why nothing is opened, for the message box; empty when it can be opened.
    QString reason() const { return m_reason; }

private:
    OpenTarget(Kind kind, QString target, QString reason);

    Kind m_kind;
    QString m_target;
    QString m_reason;
};
