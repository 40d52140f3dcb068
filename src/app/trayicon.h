#pragma once

#include "app/startrequest.h"

#include <QObject>
#include <QSystemTrayIcon>
#include <functional>
#include <memory>

class QAction;
class QMenu;

// The tray icon and its menu: left click opens the history browser, right click
// pops up the menu. Entries whose windows belong to other parts of the program stay
// disabled until their action is set.
class TrayIcon final : public QObject
{
    Q_OBJECT

public:
    explicit TrayIcon(QObject *parent = nullptr);
    ~TrayIcon() override;
    Q_DISABLE_COPY_MOVE(TrayIcon)

    // The program's icon, built into the program.
    static QIcon programIcon();

    QMenu *menu() const { return m_menu.get(); }
    // The menu's entry that a start's option asks for.
    QAction *entry(StartRequest::Action action) const;
    // Puts the icon into the notification area with its tooltip and the starting marks.
    void install();
    // Takes the icon out of the notification area.
    void remove();
    bool isInstalled() const { return m_icon.isVisible(); }
    QString toolTip() const { return m_icon.toolTip(); }

    void setSettingsAction(std::function<void()> open);
    void setHistoryActions(std::function<void()> open, std::function<void()> close);
    void setEditorActions(std::function<void()> restore, std::function<void()> minimise);

    // What a click on the icon does.
    void activate(QSystemTrayIcon::ActivationReason reason);

public Q_SLOTS:
    // Keeps 网上记录 / 普通记录 opposite.
    void setPenModeChecked(bool penMode);
    // Keeps 打开编辑 / 隐藏编辑 opposite.
    void setEditorShown(bool shown);
    // Confirms a stored capture: the tooltip names its title, and a short notice shows it
    // where the desktop offers one. Takes no focus and leaves nothing running.
    void confirmStored(const QString &title);

Q_SIGNALS:
    void webModeRequested();
    void penModeRequested();
    void exitRequested();

private:
    QAction *addEntry(const QString &caption, bool checkable);

    QSystemTrayIcon m_icon;
    std::unique_ptr<QMenu> m_menu;
    QAction *m_settings = nullptr;
    QAction *m_web = nullptr;
    QAction *m_pen = nullptr;
    QAction *m_openHistory = nullptr;
    QAction *m_closeHistory = nullptr;
    QAction *m_restoreEditor = nullptr;
    QAction *m_minimiseEditor = nullptr;
    QAction *m_exit = nullptr;
    std::function<void()> m_openSettingsHook;
    std::function<void()> m_openHistoryHook;
    std::function<void()> m_closeHistoryHook;
    std::function<void()> m_restoreEditorHook;
    std::function<void()> m_minimiseEditorHook;
};
