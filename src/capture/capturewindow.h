#pragma once

#include "capture/capturelayout.h"
#include "capture/capturemode.h"
#include "capture/keptplace.h"
#include "capture/pencapture.h"
#include "capture/sourcechoice.h"

#include <QElapsedTimer>
#include <QPointF>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class CategoryBar;
class ClipboardWatcher;
class Dialogs;
class PenToolbar;
class PointerProbe;
class QMimeData;
class QPlainTextEdit;
class QToolButton;
class RecordWriter;
class SourceDiscovery;
class TopEdgeTrigger;
struct ClipboardSnapshot;

// The capture window: a frameless, always-on-top window outside the taskbar that
// takes text in web mode (a bar at the top edge of the screen, fed by drops) or in pen mode
// (a small box fed by the clipboard), and stores it under one of ten categories.
// Its parts carry object names: "penToolbar" (with the actions "penModeButton" and
// "webModeButton"), "menuButton", "captureText", "categoryFrame" (with "categoryButton0" to
// "categoryButton9" and "cancelButton").
class CaptureWindow final : public QWidget
{
    Q_OBJECT

public:
    using Mode = CaptureMode;

    struct Services
    {
        RecordWriter &writer;
        SourceDiscovery &discovery;
        Dialogs &dialogs;
        const PointerProbe &pointer;
        // The clipboard pen mode reads, where the compositor lets a background program read it
        // (Wayland data control); null for Qt's clipboard. Never both: each copy is taken once.
        ClipboardWatcher *clipboardWatcher = nullptr;
        // The strip that drops the bar in web mode, in Wayland sessions, where X11 cannot see the
        // pointer over Wayland windows; null for the pointer tick.
        TopEdgeTrigger *topEdge = nullptr;
    };

    explicit CaptureWindow(Services services, QWidget *parent = nullptr);
    ~CaptureWindow() override;
    Q_DISABLE_COPY_MOVE(CaptureWindow)

    // Shows the message window; set by the application.
    void setShowMessage(std::function<void(const QString &)> showMessage);

    Mode mode() const { return m_mode; }
    void switchToWebMode();
    void switchToPenMode();

    CaptureLayout currentLayout() const { return m_layout; }
    QString captureText() const;

    // Test seam: what the window holds beyond what its widgets show.
    struct State
    {
        bool keepShown = false;    // held open by a drop until stored or discarded
        bool keepExpanded = false; // held at full size by a drop
        int showZone = 0;          // the height of the zone at the top edge that shows the bar
        bool webTimerActive = false;
        // While a bar dropped by the top-edge strip would hide unless the pointer moves on it:
        // the milliseconds left; -1 when it is not waiting.
        int pointerWaitLeft = -1;
        // True while the source waits for the browser's address from a discovery look.
        bool awaitingSource = false;
        QString sourceAddress;
        // The last clipboard text pen mode took.
        QString lastClipboardText;
    };
    State stateForTest() const;
    // Test seam: one tick of web mode's pointer timer, now.
    void tickForTest() { webModeTick(); }

Q_SIGNALS:
    void modeChanged(CaptureMode mode);
    // The program's menu is asked for at this place: a right click anywhere on the window, the
    // context-menu key or the menu button. It carries the tray's entries where no tray shows.
    void menuRequested(const QPoint &globalPosition);
    // A category click stored the capture under this title (the file's name without ".txt").
    void captureStored(const QString &title);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void buildMenuButton();
    void buildTitle();
    void applyLayout(CaptureLayout layout);
    // The two border lines, in pixels of the window.
    QLine bottomLine() const;
    QLine rightLine() const;
    void switchTo(Mode mode);
    void setCaptureText(const QString &text);
    void store(const QString &category);
    void takeDrop(const QMimeData &mime);
    void releaseCapture();
    void webModeTick();
    void showAtTop();
    void onTopEdgeTouched();
    void onEdgeDrop(const QMimeData &dropped);
    void onEdgeDropLeft();
    void followTopEdge();
    void keepWaitingForPointer();
    void hideUnheldBar();
    void useQtClipboard();
    void onQtClipboardChanged();
    void onWatchedClipboardChanged(const ClipboardSnapshot &snapshot);
    void onWatchedClipboardLost();
    void takeLatestClipboard();
    void takeClipboard(const QMimeData &clipboard);
    void awaitBrowserAddress();
    void onLookFinished(quint64 look, const QString &address);
    void settleSource();
    void amendStoredSource(quint64 look, const QString &address);

    Services m_services;
    std::function<void(const QString &)> m_showMessage;

    PenToolbar *m_toolbar = nullptr;
    QToolButton *m_menuButton = nullptr;
    QPlainTextEdit *m_text = nullptr;
    CategoryBar *m_categories = nullptr;

    QTimer m_webTimer;
    QTimer m_pointerGrace;
    QElapsedTimer m_armedSince;
    Mode m_mode = Mode::Web;
    CaptureLayout m_layout = CaptureLayout::Bar;
    KeptPlace m_place;

    SourceChoice m_source;
    // A stored capture whose source may still come from a look that had not ended at the click
    // (a browser slow to answer just after it joined the accessibility bus): its row takes it.
    struct StoredSource
    {
        qint64 rowId = 0;
        SourceChoice source;
    };
    std::optional<StoredSource> m_storedSource;
    PenCapture m_pen;
    bool m_clipboardChanged = true;
    // The watcher's last content, for the start of pen mode; null while Qt's clipboard is read.
    std::unique_ptr<QMimeData> m_watchedClipboard;
    bool m_keepShown = false;
    // The top-edge strip holds the drag that dropped the bar, and takes its drop over the bar.
    bool m_dropHeldByEdge = false;
    bool m_keepExpanded = false;
    int m_showZone = 0;
    QPointF m_dragOrigin;
    bool m_dragging = false;
};
