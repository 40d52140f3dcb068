#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QtGlobal>

#include <cstdint>
#include <functional>
#include <utility>

struct _AtspiAccessible;

// Reads a browser window's address field through the accessibility bus (AT-SPI). The window is
// named either by the frame the bus reported activated or by its X11 window. The field is
// found once by a depth-first walk of the window's accessible tree and then followed: each
// later read asks only for its text, and the walk runs again when the window changes, the
// field goes away, or an empty field's window gets a new title.
// Every call must come from the one thread that created the reader.
class AtspiAddressReader final
{
public:
    AtspiAddressReader();
    ~AtspiAddressReader();
    Q_DISABLE_COPY_MOVE(AtspiAddressReader)

    // False while no accessibility bus can be reached; asks again, now and then, until one can.
    bool isAvailable() const;

    // The text of the address field of the window `windowId`, shown by process `pid` with
    // the title `title`; empty when it cannot be read.
    QString addressOf(std::uint32_t windowId, std::uint32_t pid, const QString &title);

    // The text of the address field of the frame at `path` of the application `busName` on the
    // accessibility bus (as its window events name them), titled `title` when it was activated.
    QString addressOfFrame(const QByteArray &busName, const QByteArray &path, const QString &title);

    // The bus name and path of the frame that holds the field followed; empty for none.
    const std::pair<QByteArray, QByteArray> &fieldFrame() const { return m_fieldFrame; }

    // How many full walks have run; the following reads cost far less.
    int walkCount() const { return m_walks; }

private:
    void forgetField();
    QString read(const QByteArray &window, const QString &title, const std::function<_AtspiAccessible *()> &find);
    _AtspiAccessible *findField(std::uint32_t pid, const QString &title);
    _AtspiAccessible *findFrameField(const QByteArray &busName, const QByteArray &path, const QString &title);

    mutable bool m_available = false;
    _AtspiAccessible *m_field = nullptr;
    std::pair<QByteArray, QByteArray> m_fieldFrame;
    QByteArray m_window; // the window or frame the field belongs to
    QString m_titleAtWalk;
    bool m_walked = false;
    QElapsedTimer m_sinceWalk;
    int m_walks = 0;
};
