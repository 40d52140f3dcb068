#include "app/trayicon.h"

#include <QAction>
#include <QMenu>
#include <QIcon>

namespace {

// How long the notice after a stored capture stays, at most.
constexpr int kNoticeMilliseconds = 2500;

void callIfSet(const std::function<void()> &hook)
{
    if (hook)
        hook();
}

} // namespace

TrayIcon::TrayIcon(QObject *parent)
    : QObject(parent)
    , m_menu(std::make_unique<QMenu>(QStringLiteral("Popup")))
{
    m_menu->setObjectName(QStringLiteral("trayMenu"));
    m_settings = addEntry(QStringLiteral("&系统设置"), false);
    m_menu->addSeparator();
    m_web = addEntry(QStringLiteral("&网上记录"), true);
    m_pen = addEntry(QStringLiteral("&普通记录"), true);
    m_menu->addSeparator();
    m_openHistory = addEntry(QStringLiteral("&打开历史"), false);
    m_closeHistory = addEntry(QStringLiteral("&隐藏历史"), false);
    m_menu->addSeparator();
    m_restoreEditor = addEntry(QStringLiteral("&打开编辑"), true);
    m_minimiseEditor = addEntry(QStringLiteral("&隐藏编辑"), true);
    m_menu->addSeparator();
    m_exit = addEntry(QStringLiteral("&退    出"), false);

    for (QAction *waiting : {m_settings, m_openHistory, m_closeHistory, m_restoreEditor, m_minimiseEditor})
        waiting->setEnabled(false);
    setPenModeChecked(false);
    setEditorShown(false);

    connect(m_settings, &QAction::triggered, this, [this] { callIfSet(m_openSettingsHook); });
    connect(m_web, &QAction::triggered, this, [this] {
        setPenModeChecked(false);
        Q_EMIT webModeRequested();
    });
    connect(m_pen, &QAction::triggered, this, [this] {
        setPenModeChecked(true);
        Q_EMIT penModeRequested();
    });
    connect(m_openHistory, &QAction::triggered, this, [this] { callIfSet(m_openHistoryHook); });
    connect(m_closeHistory, &QAction::triggered, this, [this] { callIfSet(m_closeHistoryHook); });
    connect(m_restoreEditor, &QAction::triggered, this, [this] {
        callIfSet(m_restoreEditorHook);
        setEditorShown(true);
    });
    connect(m_minimiseEditor, &QAction::triggered, this, [this] {
        callIfSet(m_minimiseEditorHook);
        setEditorShown(false);
    });
    connect(m_exit, &QAction::triggered, this, &TrayIcon::exitRequested);
    connect(&m_icon, &QSystemTrayIcon::activated, this, &TrayIcon::activate);

    m_icon.setIcon(programIcon());
}

TrayIcon::~TrayIcon()
{
    m_icon.hide();
}

QIcon TrayIcon::programIcon()
{
    // The same pictures that the desktop's menu shows (resources/icons).
    QIcon icon;
    for (const int size : {16, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/icons/%1/notavo.png").arg(size), QSize(size, size));
    return icon;
}

QAction *TrayIcon::entry(StartRequest::Action action) const
{
    switch (action) {
    case StartRequest::Action::Pen:
        return m_pen;
    case StartRequest::Action::Web:
        return m_web;
    case StartRequest::Action::History:
        return m_openHistory;
    case StartRequest::Action::Settings:
        return m_settings;
    case StartRequest::Action::Editor:
        break;
    }
    return m_restoreEditor;
}

QAction *TrayIcon::addEntry(const QString &caption, bool checkable)
{
    QAction *action = m_menu->addAction(caption);
    action->setCheckable(checkable);
    return action;
}

void TrayIcon::confirmStored(const QString &title)
{
    const QString text = QStringLiteral("已记录《%1》").arg(title);
    m_icon.setToolTip(QStringLiteral("Notavo\n") + text);
    if (m_icon.isVisible() && QSystemTrayIcon::supportsMessages())
        m_icon.showMessage(QStringLiteral("Notavo"), text, QSystemTrayIcon::NoIcon, kNoticeMilliseconds);
}

void TrayIcon::install()
{
    m_icon.setToolTip(QStringLiteral("Notavo"));
    m_icon.setContextMenu(m_menu.get());
    setEditorShown(false);
    setPenModeChecked(false);
    m_icon.show();
}

void TrayIcon::remove()
{
    m_icon.hide();
}

void TrayIcon::setSettingsAction(std::function<void()> open)
{
    m_openSettingsHook = std::move(open);
    m_settings->setEnabled(bool(m_openSettingsHook));
}

void TrayIcon::setHistoryActions(std::function<void()> open, std::function<void()> close)
{
    m_openHistoryHook = std::move(open);
    m_closeHistoryHook = std::move(close);
    m_openHistory->setEnabled(bool(m_openHistoryHook));
    m_closeHistory->setEnabled(bool(m_closeHistoryHook));
}

void TrayIcon::setEditorActions(std::function<void()> restore, std::function<void()> minimise)
{
    m_restoreEditorHook = std::move(restore);
    m_minimiseEditorHook = std::move(minimise);
    m_restoreEditor->setEnabled(bool(m_restoreEditorHook));
    m_minimiseEditor->setEnabled(bool(m_minimiseEditorHook));
}

void TrayIcon::activate(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::Trigger)
        callIfSet(m_openHistoryHook);
}

void TrayIcon::setPenModeChecked(bool penMode)
{
    m_web->setChecked(!penMode);
    m_pen->setChecked(penMode);
}

void TrayIcon::setEditorShown(bool shown)
{
    m_restoreEditor->setChecked(shown);
    m_minimiseEditor->setChecked(!shown);
}
