#pragma once

#include "platform/volumelist.h"

#include <QList>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

class Dialogs;
class FileWalk;
class MatchListModel;
class QComboBox;
class QGroupBox;
class QLabel;
class QListView;
class QPushButton;
class QTimer;
class ShellOpener;
struct Settings;

// The file finder "文件查找": searches one volume for files whose names match a pattern and
// opens a found file in the chosen editor. The search runs in short slices on the window's
// own thread, so the window stays responsive and "停止" takes effect at once.
// The window deletes itself when closed.
class FinderWindow final : public QWidget
{
    Q_OBJECT

public:
    using OpenInEditor = std::function<void(const QString &path)>;

    // `pattern` is the name the pattern box starts with. `openInEditor` opens a file in
    // the built-in editor; when empty the "Notavo" choice opens nothing. Other choices open a
    // found file through the shell, unless it is a program (see OpenTarget).
    FinderWindow(const Settings &settings, const QString &pattern, ShellOpener &shell, Dialogs &dialogs,
                 OpenInEditor openInEditor, QWidget *parent = nullptr);
    ~FinderWindow() override;
    Q_DISABLE_COPY_MOVE(FinderWindow)

    // Puts a new name into the pattern box (used when the window is asked for again).
    void setPattern(const QString &pattern);
    // Searches from `folder` instead of the chosen volume's root; the result line names it.
    void searchFrom(const QString &folder);
    bool isSearching() const;

Q_SIGNALS:
    void searchFinished();

private:
    void buildControls();
    void startSearch();
    void stopSearch();
    void runSlice();
    void finishSearch();
    void driveChanged(int index);
    void openMatch(const QModelIndex &index);

    const Settings &m_settings;
    ShellOpener &m_shell;
    Dialogs &m_dialogs;
    OpenInEditor m_openInEditor;

    QList<Volume> m_volumes;
    QString m_findDrive;
    QString m_findPattern;
    std::unique_ptr<FileWalk> m_walk;
    QTimer *m_slice = nullptr;

    QGroupBox *m_patternGroup = nullptr;
    QGroupBox *m_buttonGroup = nullptr;
    QComboBox *m_patternCombo = nullptr;
    QComboBox *m_volumeCombo = nullptr;
    QPushButton *m_findButton = nullptr;
    QPushButton *m_stopButton = nullptr;
    QPushButton *m_closeButton = nullptr;
    QLabel *m_progressLabel = nullptr;
    QListView *m_matchList = nullptr;
    MatchListModel *m_matches = nullptr;
};
