#include "capture/capturewindow.h"

#include "capture/capturefonts.h"
#include "capture/categorybar.h"
#include "capture/clipboardsecrecy.h"
#include "capture/pagesource.h"
#include "capture/pentoolbar.h"
#include "capture/pentrace.h"
#include "capture/pointerprobe.h"
#include "capture/recordwriter.h"
#include "capture/webmoderule.h"
#include "common/gbktextfile.h"
#include "common/twips.h"
#include "platform/clipboardwatcher.h"
#include "platform/dialogs.h"
#include "platform/sourcediscovery.h"
#include "platform/topedgetrigger.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QToolButton>

namespace {

constexpr int kTickMilliseconds = 100;
// How long a bar the top-edge strip dropped stays without the pointer moving on it: the strip
// spans the whole edge, the bar only part of it, and not every compositor tells of the leave.
constexpr int kPointerGraceMilliseconds = 3000;
// A touch this soon after the strip was armed is X's stale pointer position, not the user's.
constexpr int kStaleTouchMilliseconds = 250;
constexpr int kLeft = 5000;

// Three short lines, the usual sign of a menu.
QIcon menuIcon()
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(QPen(QColor(0x30, 0x30, 0x30), 2, Qt::SolidLine, Qt::FlatCap));
    for (const int y : {4, 8, 12})
        painter.drawLine(QPointF(2, y), QPointF(14, y));
    return QIcon(pixmap);
}

// Text that the data really carries: Qt would also turn a dragged file's address into text.
bool offersText(const QMimeData &data)
{
    const QStringList formats = data.formats();
    for (const QString &format : formats) {
        if (format == QLatin1String("text/plain") || format.startsWith(QLatin1String("text/plain;")))
            return true;
    }
    return false;
}

} // namespace

CaptureWindow::CaptureWindow(Services services, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_services(services)
    , m_place(Twips::point(kLeft, 0))
{
    // In a Wayland session the compositor places managed Xwayland windows where it likes (sway
    // centres them, GNOME keeps them below its top bar): the window places itself there, at the
    // top edge like the strip, which such compositors leave where it is asked to be.
    if (m_services.topEdge) {
        setWindowFlag(Qt::X11BypassWindowManagerHint);
        // A pointer moving on the bar tells that it is there.
        setMouseTracking(true);
    }
    setWindowTitle(QStringLiteral("Notavo"));
    setAcceptDrops(true);
    m_toolbar = new PenToolbar(this);
    m_toolbar->setGeometry(Twips::rect(120, 70, 855, 420));
    connect(m_toolbar, &PenToolbar::modeRequested, this, &CaptureWindow::switchTo);
    buildMenuButton();
    buildTitle();

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("captureText"));
    m_text->setGeometry(Twips::rect(120, 600, 5535, 3135));

    m_categories = new CategoryBar(Twips::rect(120, 3840, 5535, 975), this);
    connect(m_categories, &CategoryBar::categoryChosen, this, &CaptureWindow::store);
    connect(m_categories, &CategoryBar::cancelled, this, &CaptureWindow::releaseCapture);

    m_webTimer.setInterval(kTickMilliseconds);
    connect(&m_webTimer, &QTimer::timeout, this, &CaptureWindow::webModeTick);
    m_pointerGrace.setSingleShot(true);
    m_pointerGrace.setInterval(kPointerGraceMilliseconds);
    connect(&m_pointerGrace, &QTimer::timeout, this, &CaptureWindow::hideUnheldBar);
    // Pen mode takes a new clipboard text as the clipboard reports the change: the result is
    // the same as reading it at every tick, without the wait and without waking while idle.
    if (ClipboardWatcher *watcher = m_services.clipboardWatcher) {
        connect(watcher, &ClipboardWatcher::changed, this, &CaptureWindow::onWatchedClipboardChanged);
        connect(watcher, &ClipboardWatcher::lost, this, &CaptureWindow::onWatchedClipboardLost);
    } else {
        useQtClipboard();
    }
    connect(&m_services.discovery, &SourceDiscovery::lookFinished, this, &CaptureWindow::onLookFinished);

    move(m_place.place());
    applyLayout(CaptureLayout::Bar);
    m_toolbar->showMode(m_mode);
    if (m_services.topEdge) {
        connect(m_services.topEdge, &TopEdgeTrigger::touched, this, &CaptureWindow::onTopEdgeTouched);
        connect(m_services.topEdge, &TopEdgeTrigger::dropped, this, &CaptureWindow::onEdgeDrop);
        connect(m_services.topEdge, &TopEdgeTrigger::dropLeft, this, &CaptureWindow::onEdgeDropLeft);
    } else {
        m_webTimer.start();
    }
    followTopEdge();
}

CaptureWindow::~CaptureWindow() = default;

void CaptureWindow::buildMenuButton()
{
    // Right of the toolbar, in the bar's empty middle; the pen box ends before it, and there
    // a right click or the context-menu key opens the menu.
    m_menuButton = new QToolButton(this);
    m_menuButton->setObjectName(QStringLiteral("menuButton"));
    m_menuButton->setGeometry(Twips::rect(1035, 100, 360, 360));
    m_menuButton->setIcon(menuIcon());
    m_menuButton->setIconSize(QSize(16, 16));
    m_menuButton->setAutoRaise(true);
    m_menuButton->setFocusPolicy(Qt::NoFocus);
    m_menuButton->setToolTip(QStringLiteral("菜单（也可在窗口上单击右键）"));
    m_menuButton->setAccessibleName(QStringLiteral("菜单"));
    connect(m_menuButton, &QToolButton::clicked, this,
            [this] { Q_EMIT menuRequested(m_menuButton->mapToGlobal(QPoint(0, m_menuButton->height()))); });
}

void CaptureWindow::buildTitle()
{
    // The title twice, offset, for a shadow. The labels let the pointer through to the
    // window's background, so they count as background for moving and for web mode.
    const auto addLabel = [this](int index, QRect place, const QColor &color) {
        auto *label = new QLabel(QStringLiteral("Notavo"), this);
        label->setObjectName(QStringLiteral("titleLabel%1").arg(index));
        label->setGeometry(place);
        label->setFont(CaptureFonts::simSun(10.5));
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, color);
        label->setPalette(palette);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    };
    // The design width of 480 twips is too narrow for the title in most fonts; both labels
    // reach to the window's right border line instead.
    addLabel(0, QRect(Twips::point(5280 - 300, 60), Twips::size(480 + 300, 450)), QColor(0x90, 0xee, 0x90));
    addLabel(1, QRect(Twips::point(5260 - 300, 50), Twips::size(480 + 300, 450)), QColor(0x00, 0x00, 0xff));
}

void CaptureWindow::setShowMessage(std::function<void(const QString &)> showMessage)
{
    m_showMessage = std::move(showMessage);
}

void CaptureWindow::applyLayout(CaptureLayout layout)
{
    m_layout = layout;
    const CaptureGeometry geometry = captureGeometry(layout);
    // Qt's own idea of the position can be wrong (see KeptPlace), and a resize sends it along:
    // the kept place goes first, so that the resize carries it.
    move(m_place.place());
    setFixedSize(Twips::size(geometry.width, geometry.height));
    m_menuButton->setVisible(layout != CaptureLayout::Pen);
    update();
}

QLine CaptureWindow::bottomLine() const
{
    const CaptureGeometry geometry = captureGeometry(m_layout);
    const int y = Twips::toPixels(geometry.bottomLineY);
    return {0, y, Twips::toPixels(geometry.rightLineX), y};
}

QLine CaptureWindow::rightLine() const
{
    const CaptureGeometry geometry = captureGeometry(m_layout);
    const int x = Twips::toPixels(geometry.rightLineX);
    return {x, 0, x, Twips::toPixels(geometry.bottomLineY)};
}

CaptureWindow::State CaptureWindow::stateForTest() const
{
    State state;
    state.keepShown = m_keepShown;
    state.keepExpanded = m_keepExpanded;
    state.showZone = m_showZone;
    state.webTimerActive = m_webTimer.isActive();
    state.pointerWaitLeft = m_pointerGrace.remainingTime();
    state.awaitingSource = m_source.awaitedLook() != 0;
    state.sourceAddress = m_source.address();
    state.lastClipboardText = m_pen.lastTaken();
    return state;
}

QString CaptureWindow::captureText() const
{
    return m_text->toPlainText();
}

void CaptureWindow::setCaptureText(const QString &text)
{
    m_text->setPlainText(GbkTextFile::fromCrLf(text));
}

void CaptureWindow::switchToPenMode()
{
    switchTo(Mode::Pen);
}

void CaptureWindow::switchToWebMode()
{
    switchTo(Mode::Web);
}

void CaptureWindow::switchTo(Mode mode)
{
    m_mode = mode;
    switch (mode) {
    case Mode::Pen:
        m_webTimer.stop();
        applyLayout(CaptureLayout::Pen);
        break;
    case Mode::Web:
        if (!m_services.topEdge)
            m_webTimer.start();
        applyLayout(CaptureLayout::Full);
        break;
    }
    m_toolbar->showMode(mode);
    followTopEdge();
    Q_EMIT modeChanged(mode);
    // A text copied while pen mode was off counts as new when it begins.
    if (mode == Mode::Pen && m_clipboardChanged)
        takeLatestClipboard();
}

void CaptureWindow::store(const QString &category)
{
    settleSource();
    const RecordWriter::Result result = m_services.writer.save({captureText(), m_source.address(), category});
    if (result.outcome != RecordWriter::Outcome::Failed && m_source.mayStillChange())
        m_storedSource = StoredSource{result.rowId, m_source};
    switch (result.outcome) {
    case RecordWriter::Outcome::Stored:
        releaseCapture();
        Q_EMIT captureStored(QFileInfo(result.filePath).completeBaseName());
        break;
    case RecordWriter::Outcome::StoredUnderFallbackName:
        Q_EMIT captureStored(QFileInfo(result.filePath).completeBaseName());
        break;
    case RecordWriter::Outcome::Failed:
        // The capture stays; the user learns that it was not stored.
        m_services.dialogs.message(this, Dialogs::systemTitle(), result.error, Dialogs::Icon::Critical,
                                   Dialogs::Buttons::Ok);
        break;
    }
}

void CaptureWindow::releaseCapture()
{
    m_keepShown = false;
    m_keepExpanded = false;
    hide();
    m_text->clear();
    m_source.release();
}

void CaptureWindow::webModeTick()
{
    const PointerProbe &pointer = m_services.pointer;
    WebModeRule::Input input;
    input.pointer = pointer.position();
    input.visible = isVisible();
    // What lies under the pointer matters only for hiding a shown window that is not held.
    if (input.visible && !m_keepShown) {
        const QWidget *under = pointer.widgetAt(input.pointer);
        input.overToolbar = m_toolbar->holds(under) || under == m_menuButton;
        input.overBackground = under == this;
    }
    input.keepShown = m_keepShown;
    input.keepExpanded = m_keepExpanded;

    const WebModeRule::Decision decision = WebModeRule::decide(input);
    m_showZone = decision.showZone;
    if (decision.show)
        showAtTop();
    if (decision.shrinkToBar && m_layout != CaptureLayout::Bar)
        applyLayout(CaptureLayout::Bar);
    // The program's menu opened from the window keeps it, as the pointer leaves for the menu.
    if (decision.hide && isVisible() && !QApplication::activePopupWidget())
        hide();

    m_services.discovery.refresh();
    m_source.setDiscovered(m_services.discovery.latestAddress());
}

void CaptureWindow::showAtTop()
{
    // Placed before it is mapped, so that the window appears where it belongs.
    m_place.placedAt(Twips::point(kLeft, 0));
    move(m_place.place());
    show();
}

void CaptureWindow::onTopEdgeTouched()
{
    if (m_mode != Mode::Web || isVisible())
        return;
    // An X11 strip shown where X last saw the pointer (stale, once the pointer left for a Wayland
    // window without X hearing of it) is entered at once: that is no touch.
    if (m_armedSince.isValid() && m_armedSince.elapsed() < kStaleTouchMilliseconds)
        return;
    if (!m_keepExpanded)
        applyLayout(CaptureLayout::Bar);
    // A drag that touched the edge may be dropped over the bar by way of the strip.
    m_place.placedAt(Twips::point(kLeft, 0));
    m_dropHeldByEdge = m_services.topEdge->holdDropsOver(QRect(m_place.place(), size()));
    showAtTop();
    // What the tick does while the pointer is about: the browser's address for a coming drop.
    m_services.discovery.refresh();
}

void CaptureWindow::onEdgeDrop(const QMimeData &dropped)
{
    m_dropHeldByEdge = false;
    if (m_mode == Mode::Web)
        takeDrop(dropped);
}

void CaptureWindow::onEdgeDropLeft()
{
    m_dropHeldByEdge = false;
    hideUnheldBar();
}

void CaptureWindow::followTopEdge()
{
    TopEdgeTrigger *trigger = m_services.topEdge;
    if (!trigger)
        return;
    // The strip lies over the bar's top pixels: armed only while the bar is hidden.
    const bool web = m_mode == Mode::Web;
    const bool armed = web && !isVisible();
    if (armed && !trigger->isArmed())
        m_armedSince.start();
    trigger->setArmed(armed);
    if (web && isVisible() && !m_keepShown && !m_dropHeldByEdge)
        m_pointerGrace.start();
    else
        m_pointerGrace.stop();
}

void CaptureWindow::keepWaitingForPointer()
{
    // Some compositors (mutter) tell Xwayland nothing when the pointer goes from the bar onto a
    // Wayland window, so no leave comes: an unheld bar hides a while after the pointer last
    // moved on it.
    if (m_pointerGrace.isActive())
        m_pointerGrace.start();
}

void CaptureWindow::hideUnheldBar()
{
    // Without the tick, the bar's own leave event tells that the pointer went away.
    if (!m_services.topEdge || m_mode != Mode::Web || m_keepShown || !isVisible())
        return;
    // A menu opened from the toolbar takes the pointer without leaving the bar.
    if (QApplication::activePopupWidget())
        return;
    if (!m_keepExpanded)
        applyLayout(CaptureLayout::Bar);
    hide();
}

void CaptureWindow::useQtClipboard()
{
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &CaptureWindow::onQtClipboardChanged,
            Qt::UniqueConnection);
}

void CaptureWindow::onQtClipboardChanged()
{
    // Web mode leaves the clipboard alone; pen mode takes a change when it begins.
    m_clipboardChanged = true;
    if (m_mode == Mode::Pen)
        takeLatestClipboard();
}

void CaptureWindow::onWatchedClipboardChanged(const ClipboardSnapshot &snapshot)
{
    m_watchedClipboard = snapshot.toMimeData();
    m_clipboardChanged = true;
    if (m_mode == Mode::Pen)
        takeLatestClipboard();
}

void CaptureWindow::onWatchedClipboardLost()
{
    // The compositor's clipboard went away: Qt's clipboard (over Xwayland) takes over.
    m_watchedClipboard.reset();
    useQtClipboard();
    if (m_showMessage) {
        m_showMessage(QStringLiteral("与 Wayland 剪贴板的连接已断开：普通记录方式从现在起只能看到 X11 程序中的复制，"
                                     "看不到 Wayland 程序中的复制。把文字拖到收集窗口上照常可用。"));
    }
}

void CaptureWindow::takeLatestClipboard()
{
    m_clipboardChanged = false;
    const QMimeData *clipboard =
        m_watchedClipboard ? m_watchedClipboard.get() : QGuiApplication::clipboard()->mimeData();
    if (clipboard)
        takeClipboard(*clipboard);
}

void CaptureWindow::takeClipboard(const QMimeData &clipboard)
{
    if (ClipboardSecrecy::isSecret(clipboard))
        return;
    QString text = captureText();
    if (!m_pen.take(GbkTextFile::fromCrLf(clipboard.text()), text))
        return;
    m_storedSource.reset();
    m_source.addCarried(PageSource::carriedAddressOf(clipboard));
    // Without a full page address in the data, the browser's address bar tells the page.
    if (!m_source.hasFullPage())
        awaitBrowserAddress();
    m_text->setPlainText(text);
    m_text->moveCursor(QTextCursor::End);
    // The box grows to show the text, but a hidden window stays hidden.
    applyLayout(CaptureLayout::Full);
    PenTrace::textShown();
}

void CaptureWindow::awaitBrowserAddress()
{
    // The text shows at once; the address follows from the discovery thread.
    m_source.awaitLook(m_services.discovery.requestLook());
}

void CaptureWindow::onLookFinished(quint64 look, const QString &address)
{
    if (m_source.lookFinished(look, address))
        PenTrace::sourceFound(address);
    amendStoredSource(look, address);
}

void CaptureWindow::settleSource()
{
    // A click that comes before the browser's address waits a short while for it, then
    // stores with the best address known: the capture is stored either way, and the address
    // follows into its row when the look ends.
    const quint64 look = m_source.awaitedLook();
    if (look == 0)
        return;
    if (const std::optional<QString> address = m_services.discovery.addressOfLook(look))
        m_source.lookFinished(look, *address);
    else
        m_source.lookOverdue(m_services.discovery.latestAddress());
}

void CaptureWindow::amendStoredSource(quint64 look, const QString &address)
{
    if (!m_storedSource)
        return;
    SourceChoice &source = m_storedSource->source;
    const QString stored = source.address();
    if (source.lookFinished(look, address) && source.address() != stored
        && !m_services.writer.amendSource(m_storedSource->rowId, source.address()))
        qWarning("Notavo: the source found after a capture was stored could not be written to its row");
    if (!source.mayStillChange())
        m_storedSource.reset();
}

void CaptureWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawLine(bottomLine());
    painter.drawLine(rightLine());
}

void CaptureWindow::mousePressEvent(QMouseEvent *event)
{
    m_dragging = event->button() == Qt::LeftButton;
    if (m_dragging)
        m_dragOrigin = QPointF(event->position().x(), qRound(event->position().y()));
}

void CaptureWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (event->spontaneous())
        keepWaitingForPointer();
    if (!m_dragging || !(event->buttons() & Qt::LeftButton))
        return;
    m_place.placedAt(m_place.place() + (event->position() - m_dragOrigin).toPoint());
    move(m_place.place());
}

void CaptureWindow::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    // A move the program asked for is where the window belongs; one the window system reports
    // on its own that contradicts it is answered by putting the window back.
    if (!event->spontaneous())
        m_place.placedAt(pos());
    else if (m_place.restores(pos()))
        move(m_place.place());
}

void CaptureWindow::contextMenuEvent(QContextMenuEvent *event)
{
    // Reaches here from the background and from every control that has no menu of its own
    // (the text box keeps its editing menu). The key opens the menu below the menu button's place.
    const QPoint at = event->reason() == QContextMenuEvent::Mouse
        ? event->globalPos()
        : mapToGlobal(m_menuButton->geometry().bottomLeft());
    Q_EMIT menuRequested(at);
    event->accept();
}

void CaptureWindow::dragEnterEvent(QDragEnterEvent *event)
{
    m_pointerGrace.stop();
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void CaptureWindow::dragMoveEvent(QDragMoveEvent *event)
{
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void CaptureWindow::dropEvent(QDropEvent *event)
{
    event->setDropAction(Qt::CopyAction);
    event->accept();
    if (const QMimeData *mime = event->mimeData())
        takeDrop(*mime);
}

void CaptureWindow::dragLeaveEvent(QDragLeaveEvent *event)
{
    QWidget::dragLeaveEvent(event);
    hideUnheldBar();
}

void CaptureWindow::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    // Qt also sends an enter of its own when the bar shows where X last saw the pointer, which
    // over a Wayland window is stale: only the X server's counts.
    if (event->spontaneous())
        keepWaitingForPointer();
}

void CaptureWindow::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    hideUnheldBar();
}

void CaptureWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_place.shown();
    followTopEdge();
}

void CaptureWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    followTopEdge();
}

void CaptureWindow::takeDrop(const QMimeData &mime)
{
    // A picture without text is refused and changes nothing.
    const bool text = offersText(mime);
    if (!text && mime.hasImage()) {
        if (m_showMessage)
            m_showMessage(QStringLiteral("你记录的内容不是文本内容"));
        return;
    }
    m_storedSource.reset();
    awaitBrowserAddress();
    m_source.forgetCarried();
    m_source.addCarried(PageSource::carriedAddressOf(mime));
    if (text)
        setCaptureText(mime.text());
    m_keepExpanded = true;
    m_keepShown = true;
    m_pointerGrace.stop();
    applyLayout(CaptureLayout::Full);
    m_categories->focusCancel();
}
