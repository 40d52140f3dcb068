#pragma once

#include "capture/capturelayout.h"
#include "capture/keptplace.h"
#include "capture/pencapture.h"
#include "capture/sourcechoice.h"

#include <QElapsedTimer>
#include <QPointF>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class ClipboardWatcher;
class Dialogs;
class PointerProbe;
class QAction;
class QGroupBox;
class QLabel;
class QMimeData;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QToolBar;
class QToolButton;
class RecordWriter;
class SourceDiscovery;
class TopEdgeTrigger;
struct ClipboardSnapshot;

// The capture window: a frameless, always-on-top window outside the taskbar that
// takes text in web mode (a bar at the top edge of the screen, fed by drops) or in pen mode
// (a small box fed by the clipboard), and stores it under one of ten categories.
class CaptureWindow final : public QWidget
{
    Q_OBJECT

public:
    enum class Mode { Web, Pen };

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

    void setViewFull();
    void setViewBar();
    void setViewPen();
    CaptureLayout currentLayout() const { return m_layout; }
    // The two border lines, in pixels of the window.
    QLine bottomLine() const;
    QLine rightLine() const;

    QString captureText() const;
    void setCaptureText(const QString &text);
    // The record's source address.
    QString sourceAddress() const { return m_source.address(); }
    // The last clipboard text pen mode took.
    QString lastClipboardText() const { return m_pen.lastTaken(); }
    bool keepShown() const { return m_keepShown; }
    bool keepExpanded() const { return m_keepExpanded; }
    int showZone() const { return m_showZone; }
    bool isWebTimerActive() const { return m_webTimer.isActive(); }
    // True while a bar dropped by the top-edge strip would hide unless the pointer moves on it.
    bool isWaitingForPointer() const { return m_pointerGrace.isActive(); }
    // Milliseconds until such a bar hides; -1 when it is not waiting.
    int pointerWaitLeft() const { return m_pointerGrace.remainingTime(); }
    // True while the window's source waits for the browser's address from a discovery look.
    bool isAwaitingSource() const { return m_source.awaitedLook() != 0; }

    QToolBar *penToolbar() const { return m_toolbar; }
    // Opens the program's menu (the tray's); shown beside the toolbar where the window has room.
    QToolButton *menuButton() const { return m_menuButton; }
    QAction *toolbarButton(const QString &key) const;
    QPlainTextEdit *textBox() const { return m_text; }
    QGroupBox *categoryFrame() const { return m_frame; }
    QRadioButton *categoryButton(int index) const { return m_options.at(static_cast<std::size_t>(index)); }
    QPushButton *cancelButton() const { return m_cancel; }

    // The toolbar's button handler: "viewPen" starts pen mode, "viewPenNot" web mode.
    void penToolbarButtonClick(const QString &key);
    // Stores the capture under the category of button `index`.
    void categoryClick(int index);
    // Discards the capture.
    void cancelClick();

public Q_SLOTS:
    void webModeTick();

Q_SIGNALS:
    void modeChanged(CaptureWindow::Mode mode);
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
    void buildToolbar();
    void buildMenuButton();
    void buildTitle();
    void buildFrame();
    void clearFrameTitle();
    void applyLayout(CaptureLayout layout);
    void setToolbarButtonEnabled(QAction *button, bool enabled);
    void takeDrop(const QMimeData &mime);
    void releaseCapture();
    void showAtTop();
    void onTopEdgeTouched();
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

    Services m_services;
    std::function<void(const QString &)> m_showMessage;

    QToolBar *m_toolbar = nullptr;
    QAction *m_viewPen = nullptr;
    QAction *m_viewPenNot = nullptr;
    QToolButton *m_menuButton = nullptr;
    QPlainTextEdit *m_text = nullptr;
    QGroupBox *m_frame = nullptr;
    std::array<QRadioButton *, 10> m_options{};
    QPushButton *m_cancel = nullptr;

    QTimer m_webTimer;
    QTimer m_pointerGrace;
    QElapsedTimer m_armedSince;
    Mode m_mode = Mode::Web;
    CaptureLayout m_layout = CaptureLayout::Bar;
    KeptPlace m_place;

    SourceChoice m_source;
    PenCapture m_pen;
    bool m_clipboardChanged = true;
    // The watcher's last content, for the start of pen mode; null while Qt's clipboard is read.
    std::unique_ptr<QMimeData> m_watchedClipboard;
    bool m_keepShown = false;
    bool m_keepExpanded = false;
    int m_showZone = 0;
    QPointF m_dragOrigin;
    bool m_dragging = false;
};
