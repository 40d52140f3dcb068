#include "capture/capturewindow.h"
#include "capture/pointerprobe.h"
#include "capture/recordwriter.h"
#include "common/gbktextfile.h"
#include "common/programfolder.h"
#include "common/twips.h"
#include "platform/clipboardwatcher.h"
#include "platform/testing/fakeclock.h"
#include "platform/testing/fakesourcediscovery.h"
#include "platform/testing/recordingshellopener.h"
#include "platform/testing/scripteddialogs.h"
#include "platform/topedgetrigger.h"
#include "settings/settings.h"
#include "store/recordstore.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QTimer>
#include <QToolButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QUrl>
#include <QWindow>

namespace {

class FakePointer final : public PointerProbe
{
public:
    QPoint position() const override { return at; }
    QWidget *widgetAt(const QPoint &) const override { return under; }
    QPoint at{640, 400};
    QWidget *under = nullptr;
};

class FakeTopEdge final : public TopEdgeTrigger
{
public:
    void setArmed(bool on) override { armed = on; }
    bool isArmed() const override { return armed; }
    bool holdDropsOver(const QRect &area) override
    {
        heldOver = area;
        return holdsDrag;
    }
    bool armed = false;
    bool holdsDrag = false;
    QRect heldOver;
};

ClipboardSnapshot snapshotOf(const QString &text, const QList<QPair<QString, QByteArray>> &more = {})
{
    ClipboardSnapshot snapshot;
    if (!text.isNull())
        snapshot.set(QStringLiteral("text/plain"), text.toUtf8());
    for (const auto &format : more)
        snapshot.set(format.first, format.second);
    return snapshot;
}

struct Rig
{
    explicit Rig(ClipboardWatcher *watcher = nullptr, TopEdgeTrigger *topEdge = nullptr)
        : folder(dir.path())
        , store(folder.filePath(QStringLiteral("filelist.db")))
        , writer(RecordWriter::Context{settings, store, folder, clock, shell})
        , window(CaptureWindow::Services{writer, discovery, dialogs, pointer, watcher, topEdge})
    {
        settings.saveFolder = QStringLiteral("myText");
        settings.autoOpen = false;
        window.setShowMessage([this](const QString &text) { messages.append(text); });
    }

    void pointAt(int x, int y, QWidget *under = nullptr)
    {
        pointer.at = QPoint(x, y);
        pointer.under = under;
        window.tickForTest();
    }

    // The window's parts, by their object names.
    template <typename Part>
    Part *part(const QString &name) const
    {
        Part *found = window.findChild<Part *>(name);
        if (!found)
            qFatal("the capture window has no part named %s", qPrintable(name));
        return found;
    }
    QPushButton *categoryButton(int index) const
    {
        return part<QPushButton>(QStringLiteral("categoryButton%1").arg(index));
    }
    QPushButton *cancelButton() const { return part<QPushButton>(QStringLiteral("cancelButton")); }
    QGroupBox *categoryFrame() const { return part<QGroupBox>(QStringLiteral("categoryFrame")); }
    QPlainTextEdit *textBox() const { return part<QPlainTextEdit>(QStringLiteral("captureText")); }
    QToolBar *penToolbar() const { return part<QToolBar>(QStringLiteral("penToolbar")); }
    QToolButton *menuButton() const { return part<QToolButton>(QStringLiteral("menuButton")); }
    QAction *penModeButton() const { return part<QAction>(QStringLiteral("penModeButton")); }
    QAction *webModeButton() const { return part<QAction>(QStringLiteral("webModeButton")); }
    CaptureWindow::State state() const { return window.stateForTest(); }

    void drop(QMimeData &data)
    {
        // Qt delivers a drop to the widget that accepted the drag's entry.
        QDragEnterEvent enter(QPoint(20, 10), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &enter);
        QDropEvent event(QPointF(20, 10), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &event);
        lastDropAction = event.dropAction();
    }

    QTemporaryDir dir;
    ProgramFolder folder;
    Settings settings;
    RecordStore store;
    FakeClock clock;
    RecordingShellOpener shell;
    RecordWriter writer;
    FakeSourceDiscovery discovery;
    ScriptedDialogs dialogs;
    FakePointer pointer;
    CaptureWindow window;
    QStringList messages;
    Qt::DropAction lastDropAction = Qt::IgnoreAction;
};

} // namespace

class TestCaptureWindow final : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void designAtStart();
    void layoutsAndBorderLines();
    void webTickShowsAndHidesAtZoneEdges();
    void webTickKeepsWindowOverToolbarOrBackground();
    void webTickTakesDiscoveredAddress();
    void dropOfTextHoldsWindowOpen();
    void dropOfPictureOrOtherData();
    void dropCarryingPageAddressPinsSource();
    void categoryClickStoresFileAndRow();
    void failedStoreKeepsCaptureAndTellsUser();
    void cancelDiscards();
    void modeSwitches();
    void menuFromEveryPartOfTheWindow();
    void penModeTakesEachNewClipboardText();
    void penSourceFollowsTheText();
    void browserKnownOnlyAfterTheCopyStillGivesTheSource();
    void penModeReadsTheWatchedClipboardOnly();
    void topEdgeStripDropsTheBarWithoutTick();
    void dropTakenByTheStripIsCaptured();
    void clickBeforeTheSourceStillStores();
    void draggingBackgroundMovesWindow();
};

void TestCaptureWindow::designAtStart()
{
    Rig rig;
    CaptureWindow &window = rig.window;
    QVERIFY(window.windowFlags().testFlag(Qt::FramelessWindowHint));
    QVERIFY(window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(window.windowType(), Qt::Tool);
    QCOMPARE(window.pos(), Twips::point(5000, 0));
    QCOMPARE(window.currentLayout(), CaptureLayout::Bar);
    QCOMPARE(window.mode(), CaptureWindow::Mode::Web);
    QVERIFY(rig.state().webTimerActive);
    QVERIFY(window.acceptDrops());

    QCOMPARE(rig.penModeButton()->toolTip(), QStringLiteral("开始启动普通记录"));
    QCOMPARE(rig.webModeButton()->toolTip(), QStringLiteral("关闭普通记录"));
    QVERIFY(rig.penModeButton()->isEnabled());
    QVERIFY(!rig.webModeButton()->isEnabled());
    QCOMPARE(rig.categoryFrame()->title(), QStringLiteral("点击以下按钮，以不同类别记录"));
    QCOMPARE(rig.categoryFrame()->geometry(), Twips::rect(120, 3840, 5535, 975));
    QCOMPARE(rig.cancelButton()->text(), QStringLiteral("取消"));
    QCOMPARE(rig.textBox()->geometry(), Twips::rect(120, 600, 5535, 3135));

    const QStringList captions{QStringLiteral("默认文本"), QStringLiteral("论文"), QStringLiteral("小说"),
                               QStringLiteral("故事"), QStringLiteral("新闻"), QStringLiteral("学习资料"),
                               QStringLiteral("寓言"), QStringLiteral("数据"), QStringLiteral("短句"),
                               QStringLiteral("其它")};
    // Push buttons: screen readers and the desktop tests find them by their captions.
    for (int index = 0; index < 10; ++index) {
        QPushButton *button = rig.categoryButton(index);
        QCOMPARE(button->text(), captions.at(index));
        QVERIFY(!button->isCheckable());
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(button);
        QVERIFY(accessible);
        QCOMPARE(accessible->role(), QAccessible::Button);
        QCOMPARE(accessible->text(QAccessible::Name), captions.at(index));
    }
    // The rows stand where the design puts them, moved down together only as far as the frame's
    // caption needs in the font at hand, and stay inside the frame.
    const int shift = rig.categoryButton(0)->y() - Twips::toPixels(240);
    QVERIFY(shift >= 0);
    QVERIFY(rig.categoryButton(0)->y() > rig.categoryFrame()->contentsRect().top() || shift == 0);
    QCOMPARE(rig.categoryButton(5)->pos(), Twips::point(120, 600) + QPoint(0, shift));
    QCOMPARE(rig.categoryButton(9)->pos(), Twips::point(3720, 600) + QPoint(0, shift));
    QCOMPARE(rig.categoryButton(9)->size(), Twips::size(735, 255));
    QCOMPARE(rig.categoryButton(5)->size(), Twips::size(975, 255));
    // Neighbours and the cancel button keep apart; a caption of four characters fits its button.
    QVERIFY(rig.categoryButton(0)->geometry().right() < rig.categoryButton(1)->x());
    QVERIFY(rig.categoryButton(4)->geometry().right() < rig.cancelButton()->x());
    QVERIFY(rig.categoryButton(5)->fontMetrics().horizontalAdvance(captions.at(5)) < rig.categoryButton(5)->width());
    QVERIFY(rig.categoryButton(9)->geometry().bottom() < rig.categoryFrame()->height() - 1);
}

void TestCaptureWindow::layoutsAndBorderLines()
{
    Rig rig;
    CaptureWindow &window = rig.window;
    QGuiApplication::clipboard()->clear();
    // Each layout's size, and its two border lines 30 twips inside the bottom and right edges.
    const auto check = [&window](CaptureLayout layout, QSize size, int bottomLineY, int rightLineX) {
        QCOMPARE(window.currentLayout(), layout);
        QCOMPARE(window.size(), size);
        const QImage image = window.grab().toImage();
        const QRgb line = window.palette().color(QPalette::Dark).rgb();
        QCOMPARE(image.pixel(2, bottomLineY), line);
        QCOMPARE(image.pixel(rightLineX, 2), line);
        QVERIFY(image.pixel(2, bottomLineY - 1) != line);
        QVERIFY(image.pixel(rightLineX - 1, 2) != line);
    };
    check(CaptureLayout::Bar, Twips::size(5820, 550), Twips::toPixels(520), Twips::toPixels(5790));
    window.switchToPenMode();
    check(CaptureLayout::Pen, Twips::size(1050, 550), Twips::toPixels(520), Twips::toPixels(1020));
    window.switchToWebMode();
    check(CaptureLayout::Full, Twips::size(5820, 5000), Twips::toPixels(4970), Twips::toPixels(5790));
    rig.pointAt(500, 0);
    rig.pointAt(500, 10);
    check(CaptureLayout::Bar, Twips::size(5820, 550), Twips::toPixels(520), Twips::toPixels(5790));
}

void TestCaptureWindow::webTickShowsAndHidesAtZoneEdges()
{
    Rig rig;
    CaptureWindow &window = rig.window;
    // Hidden: the zone is 5 pixels high; at y == 5 nothing happens, below it the bar shows.
    rig.pointAt(500, 5);
    QVERIFY(!window.isVisible());
    rig.pointAt(1200, 4);
    QVERIFY(window.isVisible());
    QCOMPARE(window.pos(), Twips::point(5000, 0));
    // Shown: 30 pixels between x 300 and 700, both excluded.
    rig.pointAt(301, 29);
    QCOMPARE(rig.state().showZone, 30);
    QVERIFY(window.isVisible());
    rig.pointAt(699, 30); // equal to the zone: neither shown nor hidden
    QVERIFY(window.isVisible());
    rig.pointAt(300, 20); // outside the wide zone: 5 pixels, and 20 > 5 hides
    QCOMPARE(rig.state().showZone, 5);
    QVERIFY(!window.isVisible());
    rig.pointAt(699, 2);
    rig.pointAt(700, 6);
    QVERIFY(!window.isVisible());

    // A full window shrinks to the bar at the next tick unless held expanded.
    rig.pointAt(500, 0);
    window.switchToWebMode();
    QCOMPARE(window.currentLayout(), CaptureLayout::Full);
    rig.pointAt(500, 10);
    QCOMPARE(window.currentLayout(), CaptureLayout::Bar);
    // Pointing at the capture text counts as leaving the window.
    rig.pointAt(500, 300, rig.textBox());
    QVERIFY(!window.isVisible());
}

void TestCaptureWindow::webTickKeepsWindowOverToolbarOrBackground()
{
    Rig rig;
    CaptureWindow &window = rig.window;
    rig.pointAt(400, 0);
    const auto buttons = rig.penToolbar()->findChildren<QWidget *>();
    QVERIFY(!buttons.isEmpty());
    rig.pointAt(1000, 300, buttons.constFirst());
    QVERIFY(window.isVisible());
    rig.pointAt(1000, 300, rig.penToolbar());
    QVERIFY(window.isVisible());
    rig.pointAt(1000, 300, &window);
    QVERIFY(window.isVisible());
    rig.pointAt(1000, 300, rig.categoryButton(2));
    QVERIFY(!window.isVisible());
}

void TestCaptureWindow::webTickTakesDiscoveredAddress()
{
    Rig rig;
    rig.discovery.address = QStringLiteral("http://example.org/a");
    rig.pointAt(640, 400);
    QCOMPARE(rig.discovery.refreshes, 1);
    QCOMPARE(rig.state().sourceAddress, QStringLiteral("http://example.org/a"));
    rig.discovery.address.clear();
    rig.pointAt(640, 400);
    QCOMPARE(rig.state().sourceAddress, QString());
}

void TestCaptureWindow::dropOfTextHoldsWindowOpen()
{
    Rig rig;
    CaptureWindow &window = rig.window;
    rig.pointAt(500, 0);
    rig.discovery.address = QStringLiteral("http://news.example/1");
    rig.textBox()->setPlainText(QStringLiteral("old"));
    QMimeData data;
    data.setText(QStringLiteral("第一段文字。\r\n"));
    rig.drop(data);
    QCOMPARE(rig.lastDropAction, Qt::CopyAction);
    QCOMPARE(rig.discovery.requestedLooks, 1);
    rig.discovery.finishLooks();
    // Replaced, not appended; the browser's trailing line break stays.
    QCOMPARE(window.captureText(), QStringLiteral("第一段文字。\n"));
    QCOMPARE(rig.state().sourceAddress, QStringLiteral("http://news.example/1"));
    QVERIFY(rig.state().keepShown);
    QVERIFY(rig.state().keepExpanded);
    QCOMPARE(window.currentLayout(), CaptureLayout::Full);
    QCOMPARE(window.focusWidget(), static_cast<QWidget *>(rig.cancelButton()));

    // Held open and full wherever the pointer goes.
    rig.pointAt(900, 600, rig.textBox());
    rig.pointAt(10, 700);
    QVERIFY(window.isVisible());
    QCOMPARE(window.currentLayout(), CaptureLayout::Full);

    QMimeData second;
    second.setText(QStringLiteral("second"));
    rig.drop(second);
    QCOMPARE(window.captureText(), QStringLiteral("second"));
}

void TestCaptureWindow::dropOfPictureOrOtherData()
{
    Rig rig;
    CaptureWindow &window = rig.window;
    rig.pointAt(500, 0);
    rig.textBox()->setPlainText(QStringLiteral("kept"));

    QMimeData picture;
    picture.setImageData(QImage(4, 4, QImage::Format_RGB32));
    rig.drop(picture);
    QCOMPARE(rig.messages, QStringList{QStringLiteral("你记录的内容不是文本内容")});
    QCOMPARE(window.captureText(), QStringLiteral("kept"));
    QVERIFY(!rig.state().keepShown);
    QCOMPARE(window.currentLayout(), CaptureLayout::Bar);

    QMimeData file;
    file.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/a.bin"))});
    file.removeFormat(QStringLiteral("text/plain"));
    rig.drop(file);
    QCOMPARE(rig.messages.size(), 1);
    QCOMPARE(window.captureText(), QStringLiteral("kept"));
    QVERIFY(rig.state().keepShown);
    QVERIFY(rig.state().keepExpanded);
    QCOMPARE(window.currentLayout(), CaptureLayout::Full);
}

void TestCaptureWindow::dropCarryingPageAddressPinsSource()
{
    Rig rig;
    rig.discovery.address = QStringLiteral("http://browser.example/");
    rig.pointAt(500, 0);
    QMimeData data;
    data.setText(QStringLiteral("text"));
    data.setData(QStringLiteral("text/x-moz-url-priv"), QStringLiteral("http://page.example/x").toUtf8());
    rig.drop(data);
    // When the data names its page, ticks must not replace that address until the capture ends.
    QCOMPARE(rig.state().sourceAddress, QStringLiteral("http://page.example/x"));
    rig.pointAt(500, 10);
    QCOMPARE(rig.state().sourceAddress, QStringLiteral("http://page.example/x"));
    rig.cancelButton()->click();
    rig.pointAt(500, 10);
    QCOMPARE(rig.state().sourceAddress, QStringLiteral("http://browser.example/"));

    // Firefox's drop carries only the origin: the address bar tells the page, and the origin
    // stands in only while no browser address is known.
    rig.discovery.address = QStringLiteral("http://page.example/article?id=2");
    QMimeData fromFirefox;
    fromFirefox.setText(QStringLiteral("text"));
    fromFirefox.setData(QStringLiteral("text/x-moz-url-priv"), QByteArray("h\0t\0t\0p\0:\0/\0/\0p\0a\0g\0e\0.\0e\0x\0\0\0", 30));
    rig.drop(fromFirefox);
    rig.discovery.finishLooks();
    QCOMPARE(rig.state().sourceAddress, QStringLiteral("http://page.example/article?id=2"));
    rig.discovery.address.clear();
    rig.pointAt(500, 10);
    QCOMPARE(rig.state().sourceAddress, QStringLiteral("http://page.ex"));
}

void TestCaptureWindow::categoryClickStoresFileAndRow()
{
    Rig rig;
    CaptureWindow &window = rig.window;
    rig.discovery.address = QStringLiteral("http://example.org/story");
    rig.pointAt(500, 0);
    QMimeData data;
    data.setText(QStringLiteral("今天天气很好，我们去公园。"));
    rig.drop(data);

    QSignalSpy stored(&window, &CaptureWindow::captureStored);
    QTest::mouseClick(rig.categoryButton(2), Qt::LeftButton);

    // One click stores, under the button's category, with the capture's text and source.
    QCOMPARE(stored.size(), 1);
    QCOMPARE(stored.constFirst().constFirst().toString(), QStringLiteral("今天天气很好"));
    const QString path = QDir(rig.folder.filePath(QStringLiteral("myText"))).filePath(QStringLiteral("今天天气很好.txt"));
    QCOMPARE(GbkTextFile::read(path), std::optional<QString>(QStringLiteral("今天天气很好，我们去公园。")));
    const auto records = rig.store.records();
    QVERIFY(records.has_value());
    QCOMPARE(records->size(), 1);
    QCOMPARE(records->constFirst().fileName, QStringLiteral("今天天气很好"));
    QCOMPARE(records->constFirst().category, QStringLiteral("小说"));
    QCOMPARE(records->constFirst().source, QStringLiteral("http://example.org/story"));

    QVERIFY(!window.isVisible());
    QVERIFY(window.captureText().isEmpty());
    QVERIFY(!rig.state().keepShown);
    QVERIFY(!rig.state().keepExpanded);
    QVERIFY(!rig.categoryButton(2)->isChecked());
    QVERIFY(rig.dialogs.messages.isEmpty());

    // An empty capture stores an empty record.
    QTest::mouseClick(rig.categoryButton(0), Qt::LeftButton);
    QCOMPARE(rig.store.records()->size(), 2);
    QCOMPARE(rig.store.records()->at(1).size, QStringLiteral("0"));
    QVERIFY(!rig.categoryButton(0)->isChecked());

    // From the keyboard: Space on a category button stores as a click does.
    rig.pointAt(500, 0);
    QMimeData typed;
    typed.setText(QStringLiteral("键盘，记录"));
    rig.drop(typed);
    QTest::keyClick(rig.categoryButton(6), Qt::Key_Space);
    QCOMPARE(rig.store.records()->size(), 3);
    QCOMPARE(rig.store.records()->at(2).fileName, QStringLiteral("键盘"));
    QCOMPARE(rig.store.records()->at(2).category, QStringLiteral("寓言"));
    QCOMPARE(stored.size(), 3);
}

void TestCaptureWindow::failedStoreKeepsCaptureAndTellsUser()
{
    Rig rig;
    CaptureWindow &window = rig.window;
    // A file where the save folder should be: nothing can be stored.
    QFile blocker(rig.folder.filePath(QStringLiteral("myText")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    rig.pointAt(500, 0);
    QMimeData data;
    data.setText(QStringLiteral("keep me"));
    rig.drop(data);

    QTest::mouseClick(rig.categoryButton(4), Qt::LeftButton);
    QCOMPARE(window.captureText(), QStringLiteral("keep me"));
    QVERIFY(window.isVisible());
    QVERIFY(rig.state().keepShown);
    QCOMPARE(rig.dialogs.messages.size(), 1);
    QCOMPARE(rig.dialogs.messages.constFirst().title, QStringLiteral("系统提示："));
    QCOMPARE(rig.dialogs.messages.constFirst().icon, Dialogs::Icon::Critical);
    QVERIFY(!rig.dialogs.messages.constFirst().text.isEmpty());
    QVERIFY(!rig.categoryButton(4)->isChecked());

    // A database that is not one: the file goes again with the failed row, on every try.
    QVERIFY(blocker.remove());
    QFile db(rig.store.databasePath());
    QVERIFY(db.open(QIODevice::WriteOnly));
    db.write(QByteArray(2048, 'x'));
    db.close();
    QTest::mouseClick(rig.categoryButton(4), Qt::LeftButton);
    QTest::mouseClick(rig.categoryButton(4), Qt::LeftButton);
    QCOMPARE(window.captureText(), QStringLiteral("keep me"));
    QCOMPARE(rig.dialogs.messages.size(), 3);
    QVERIFY(rig.dialogs.messages.constLast().text.contains(QStringLiteral("不是数据库")));
    QVERIFY(QDir(rig.folder.filePath(QStringLiteral("myText"))).isEmpty());
}

void TestCaptureWindow::cancelDiscards()
{
    Rig rig;
    CaptureWindow &window = rig.window;
    rig.pointAt(500, 0);
    QMimeData data;
    data.setText(QStringLiteral("throw away"));
    rig.drop(data);
    QTest::mouseClick(rig.cancelButton(), Qt::LeftButton);
    QVERIFY(!window.isVisible());
    QVERIFY(window.captureText().isEmpty());
    QVERIFY(!rig.state().keepShown);
    QVERIFY(!rig.state().keepExpanded);
    QCOMPARE(rig.store.records()->size(), 0);
}

void TestCaptureWindow::modeSwitches()
{
    Rig rig;
    CaptureWindow &window = rig.window;
    QList<CaptureWindow::Mode> modes;
    connect(&window, &CaptureWindow::modeChanged, this, [&modes](CaptureWindow::Mode mode) { modes.append(mode); });

    rig.penModeButton()->trigger();
    QCOMPARE(window.mode(), CaptureWindow::Mode::Pen);
    // Pen mode waits for the clipboard's own news: no timer runs.
    QVERIFY(!rig.state().webTimerActive);
    QCOMPARE(window.currentLayout(), CaptureLayout::Pen);
    QVERIFY(!rig.penModeButton()->isEnabled());
    QVERIFY(rig.webModeButton()->isEnabled());

    rig.webModeButton()->trigger();
    QCOMPARE(window.mode(), CaptureWindow::Mode::Web);
    QVERIFY(rig.state().webTimerActive);
    QCOMPARE(window.currentLayout(), CaptureLayout::Full);
    QCOMPARE(modes, (QList<CaptureWindow::Mode>{CaptureWindow::Mode::Pen, CaptureWindow::Mode::Web}));
}

void TestCaptureWindow::menuFromEveryPartOfTheWindow()
{
    Rig rig;
    CaptureWindow &window = rig.window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QList<QPoint> asked;
    connect(&window, &CaptureWindow::menuRequested, this, [&asked](const QPoint &at) { asked.append(at); });
    const auto rightClick = [](QWidget *widget, QPoint at) {
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, widget->mapToGlobal(at));
        QApplication::sendEvent(widget, &event);
    };

    // The bar: the menu button sits in its empty middle, inside the bar and clear of the title.
    QToolButton *button = rig.menuButton();
    QVERIFY(button->isVisible());
    QVERIFY(QRect(QPoint(0, 0), window.size()).contains(button->geometry()));
    QVERIFY(button->geometry().left() >= rig.penToolbar()->geometry().right());
    QVERIFY(button->geometry().right() < window.findChild<QLabel *>(QStringLiteral("titleLabel1"))->x());
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(asked.size(), 1);
    QCOMPARE(asked.constLast(), button->mapToGlobal(QPoint(0, button->height())));
    // The pointer on the menu button counts as on the toolbar: the bar stays.
    rig.pointAt(1000, 300, button);
    QVERIFY(window.isVisible());

    // A right click on the background, a toolbar button (enabled or not) and a category button.
    rightClick(&window, QPoint(200, 10));
    QCOMPARE(asked.constLast(), window.mapToGlobal(QPoint(200, 10)));
    for (QAction *modeButton : {rig.penModeButton(), rig.webModeButton()}) {
        QWidget *toolButton = rig.penToolbar()->widgetForAction(modeButton);
        QWidget *target = toolButton->testAttribute(Qt::WA_TransparentForMouseEvents) ? rig.penToolbar() : toolButton;
        rightClick(target, QPoint(3, 4));
        QCOMPARE(asked.constLast(), target->mapToGlobal(QPoint(3, 4)));
    }
    window.switchToWebMode();
    rightClick(rig.categoryButton(3), QPoint(2, 2));
    QCOMPARE(asked.constLast(), rig.categoryButton(3)->mapToGlobal(QPoint(2, 2)));
    // The text box keeps its own editing menu.
    const qsizetype before = asked.size();
    QContextMenuEvent onText(QContextMenuEvent::Mouse, QPoint(5, 5), rig.textBox()->mapToGlobal(QPoint(5, 5)));
    QTimer::singleShot(0, [] {
        if (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
    });
    QApplication::sendEvent(rig.textBox()->viewport(), &onText);
    QCOMPARE(asked.size(), before);

    // The pen box has no room for the button: the right click and the context-menu key remain.
    window.switchToPenMode();
    QVERIFY(!button->isVisible());
    rightClick(&window, QPoint(66, 30));
    QCOMPARE(asked.constLast(), window.mapToGlobal(QPoint(66, 30)));
    QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(0, 0), window.mapToGlobal(QPoint(0, 0)));
    QApplication::sendEvent(&window, &key);
    QCOMPARE(asked.size(), before + 2);
}

void TestCaptureWindow::penModeTakesEachNewClipboardText()
{
    Rig rig;
    CaptureWindow &window = rig.window;
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    // Web mode leaves the clipboard alone; pen mode takes what was copied meanwhile as it begins.
    clipboard->setText(QStringLiteral("before"));
    QVERIFY(window.captureText().isEmpty());
    window.switchToPenMode();
    QCOMPARE(window.captureText(), QStringLiteral("before"));
    rig.cancelButton()->click();
    window.switchToWebMode();
    window.switchToPenMode();
    QVERIFY(window.captureText().isEmpty());

    // Each change is taken as the clipboard reports it, without waiting for a tick.
    clipboard->setText(QStringLiteral("abc"));
    QCOMPARE(window.captureText(), QStringLiteral("abc"));
    QCOMPARE(rig.state().lastClipboardText, QStringLiteral("abc"));
    // The box grows, but a hidden window is not shown.
    QCOMPARE(window.currentLayout(), CaptureLayout::Full);
    QVERIFY(!window.isVisible());

    clipboard->setText(QStringLiteral("def"));
    clipboard->setText(QStringLiteral("def"));
    QCOMPARE(window.captureText(), QStringLiteral("abc\ndef"));
    clipboard->setText(QStringLiteral("abc"));
    QCOMPARE(window.captureText(), QStringLiteral("abc\ndef\nabc"));

    // What a password manager marks as secret is never collected.
    auto *secret = new QMimeData;
    secret->setText(QStringLiteral("hunter2"));
    secret->setData(QStringLiteral("x-kde-passwordManagerHint"), "secret");
    clipboard->setMimeData(secret);
    QCOMPARE(window.captureText(), QStringLiteral("abc\ndef\nabc"));
    QCOMPARE(rig.state().lastClipboardText, QStringLiteral("abc"));

    // A copy that names its page makes that page the source, with no look for the browser.
    const int looks = rig.discovery.requestedLooks;
    auto *fromPage = new QMimeData;
    fromPage->setText(QStringLiteral("quoted"));
    fromPage->setData(QStringLiteral("text/x-moz-url-priv"), QByteArray("http://page.example/q"));
    clipboard->setMimeData(fromPage);
    QCOMPARE(window.captureText(), QStringLiteral("abc\ndef\nabc\nquoted"));
    QCOMPARE(rig.state().sourceAddress, QStringLiteral("http://page.example/q"));
    QCOMPARE(rig.discovery.requestedLooks, looks);
    // A later copy that carries only an origin, with a browser address found, leaves it.
    rig.discovery.address = QStringLiteral("http://bar.example/other");
    auto *originOnly = new QMimeData;
    originOnly->setText(QStringLiteral("more"));
    originOnly->setData(QStringLiteral("chromium/x-renderer-taint"), QByteArray("http://bar.example"));
    clipboard->setMimeData(originOnly);
    rig.discovery.finishLooks();
    QCOMPARE(rig.state().sourceAddress, QStringLiteral("http://page.example/q"));

    // Line breaks count two characters in the stored size.
    window.show();
    QTest::mouseClick(rig.categoryButton(8), Qt::LeftButton);
    QCOMPARE(rig.store.records()->size(), 1);
    QCOMPARE(rig.store.records()->constFirst().size, QStringLiteral("27"));
    QCOMPARE(rig.store.records()->constFirst().source, QStringLiteral("http://page.example/q"));
    // Discarded, the capture starts again; the text last taken is not taken twice.
    rig.cancelButton()->click();
    clipboard->setText(QStringLiteral("more"));
    QVERIFY(window.captureText().isEmpty());
    QVERIFY(!window.isVisible());
    // Back in web mode a copy is not taken.
    window.switchToWebMode();
    clipboard->setText(QStringLiteral("web"));
    QVERIFY(window.captureText().isEmpty());
}

void TestCaptureWindow::penModeReadsTheWatchedClipboardOnly()
{
    ClipboardWatcher watcher;
    Rig rig(&watcher);
    CaptureWindow &window = rig.window;
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();

    // Copied in web mode through data control: taken as pen mode begins, Qt's clipboard unread.
    clipboard->setText(QStringLiteral("seen by Xwayland"));
    Q_EMIT watcher.changed(snapshotOf(QStringLiteral("before")));
    QVERIFY(window.captureText().isEmpty());
    window.switchToPenMode();
    QCOMPARE(window.captureText(), QStringLiteral("before"));

    // An Xwayland program's copy reaches data control as well: Qt's report of it is not taken
    // a second time.
    Q_EMIT watcher.changed(snapshotOf(QStringLiteral("abc")));
    clipboard->setText(QStringLiteral("abc"));
    clipboard->setText(QStringLiteral("only Qt saw this"));
    QCOMPARE(window.captureText(), QStringLiteral("before\nabc"));

    // The same rules as for Qt's clipboard: secret markers, the page's address, new text only.
    Q_EMIT watcher.changed(snapshotOf(QString(), {{QStringLiteral("x-kde-passwordManagerHint"), "secret"}}));
    QCOMPARE(window.captureText(), QStringLiteral("before\nabc"));
    Q_EMIT watcher.changed(snapshotOf(QStringLiteral("quoted\r\nline"),
                                      {{QStringLiteral("text/x-moz-url-priv"), "http://page.example/q"}}));
    QCOMPARE(window.captureText(), QStringLiteral("before\nabc\nquoted\nline"));
    QCOMPARE(rig.state().sourceAddress, QStringLiteral("http://page.example/q"));
    Q_EMIT watcher.changed(snapshotOf(QStringLiteral("quoted\r\nline")));
    QCOMPARE(window.captureText(), QStringLiteral("before\nabc\nquoted\nline"));

    // The compositor's clipboard gone, Qt's clipboard takes over, and the user is told.
    QVERIFY(rig.messages.isEmpty());
    Q_EMIT watcher.lost();
    QCOMPARE(rig.messages.size(), 1);
    QVERIFY(rig.messages.constFirst().contains(QStringLiteral("看不到 Wayland 程序中的复制")));
    clipboard->setText(QStringLiteral("after"));
    QCOMPARE(window.captureText(), QStringLiteral("before\nabc\nquoted\nline\nafter"));
}

// Where the strip takes a drag's drop over the bar itself (wlroots), the bar waits for it instead
// of for the pointer, and the drop is a capture like one the bar takes.
void TestCaptureWindow::dropTakenByTheStripIsCaptured()
{
    FakeTopEdge strip;
    Rig rig(nullptr, &strip);
    CaptureWindow &window = rig.window;
    QTest::qWait(300);
    strip.holdsDrag = true;
    rig.discovery.address = QStringLiteral("http://site.example/page");
    Q_EMIT strip.touched();
    QVERIFY(window.isVisible());
    QCOMPARE(strip.heldOver, QRect(Twips::point(5000, 0), window.size()));
    QCOMPARE(rig.state().pointerWaitLeft, -1);

    QMimeData dropped;
    dropped.setText(QStringLiteral("dropped over the bar"));
    Q_EMIT strip.dropped(dropped);
    QCOMPARE(window.captureText(), QStringLiteral("dropped over the bar"));
    QCOMPARE(window.currentLayout(), CaptureLayout::Full);
    QTest::mouseClick(rig.categoryButton(0), Qt::LeftButton);
    QCOMPARE(rig.store.records()->constLast().source, QStringLiteral("http://site.example/page"));

    // A drag that left the bar again: the bar goes.
    QTest::qWait(300);
    Q_EMIT strip.touched();
    QVERIFY(window.isVisible());
    Q_EMIT strip.dropLeft();
    QVERIFY(!window.isVisible());
}

void TestCaptureWindow::topEdgeStripDropsTheBarWithoutTick()
{
    FakeTopEdge strip;
    Rig rig(nullptr, &strip);
    CaptureWindow &window = rig.window;
    // Nothing wakes to look at the pointer: the strip, armed while the bar is hidden, tells.
    QVERIFY(!rig.state().webTimerActive);
    QVERIFY(!window.isVisible());
    QVERIFY(strip.armed);
    // A touch at the moment of arming is X's stale pointer position, not the user's.
    Q_EMIT strip.touched();
    QVERIFY(!window.isVisible());
    QTest::qWait(300);

    Q_EMIT strip.touched();
    QVERIFY(window.isVisible());
    QCOMPARE(window.pos(), Twips::point(5000, 0));
    QCOMPARE(window.currentLayout(), CaptureLayout::Bar);
    QVERIFY(!strip.armed);
    QCOMPARE(rig.discovery.refreshes, 1);
    // The strip spans the whole edge, the bar a part: it waits a while for the pointer.
    QVERIFY((rig.state().pointerWaitLeft >= 0));
    // Qt's own enter at the pointer's last known place (stale over a Wayland window) does not
    // start the wait anew.
    QTest::qWait(20);
    const int left = rig.state().pointerWaitLeft;
    QEnterEvent enter(QPointF(20, 10), QPointF(20, 10), QPointF(353, 10));
    QCoreApplication::sendEvent(&window, &enter);
    QVERIFY(rig.state().pointerWaitLeft <= left);
    // The bar's own leave event hides it: X11 cannot follow the pointer onto Wayland windows.
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&window, &leave);
    QVERIFY(!window.isVisible());
    QVERIFY(strip.armed);

    // A drag that leaves the dropped bar without a drop hides it too.
    QTest::qWait(300);
    Q_EMIT strip.touched();
    QVERIFY(window.isVisible());
    QMimeData passing;
    passing.setText(QStringLiteral("passing"));
    QDragEnterEvent dragEnter(QPoint(20, 10), Qt::CopyAction, &passing, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &dragEnter);
    QDragLeaveEvent dragLeave;
    QCoreApplication::sendEvent(&window, &dragLeave);
    QVERIFY(!window.isVisible());

    // A drop holds the bar open past the pointer's leaving until it is stored or discarded.
    QTest::qWait(300);
    Q_EMIT strip.touched();
    QMimeData data;
    data.setText(QStringLiteral("dragged"));
    rig.drop(data);
    QVERIFY(!(rig.state().pointerWaitLeft >= 0));
    QCoreApplication::sendEvent(&window, &leave);
    QVERIFY(window.isVisible());
    QCOMPARE(window.captureText(), QStringLiteral("dragged"));
    QVERIFY(!strip.armed);
    rig.cancelButton()->click();
    QVERIFY(!window.isVisible());
    QVERIFY(strip.armed);

    // Pen mode: no strip, no tick; a touch then changes nothing. Back in web mode the strip again.
    window.switchToPenMode();
    QVERIFY(!strip.armed);
    Q_EMIT strip.touched();
    QVERIFY(!window.isVisible());
    window.show();
    QCoreApplication::sendEvent(&window, &leave);
    QVERIFY(window.isVisible());
    window.hide();
    window.switchToWebMode();
    QVERIFY(!rig.state().webTimerActive);
    QVERIFY(strip.armed);
}

void TestCaptureWindow::penSourceFollowsTheText()
{
    Rig rig;
    CaptureWindow &window = rig.window;
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    window.switchToPenMode();
    rig.discovery.address = QStringLiteral("http://old.example/");
    rig.discovery.finishLooks();

    // The text shows while the browser's address is still being looked for.
    clipboard->setText(QStringLiteral("first"));
    QCOMPARE(window.captureText(), QStringLiteral("first"));
    QVERIFY(rig.state().awaitingSource);
    QCOMPARE(rig.discovery.pendingLooks(), quint64(1));
    QCOMPARE(rig.discovery.waits, 0);
    // Two copies in quick succession: the answer of the first look does not count for the
    // second text, which started a look of its own.
    clipboard->setText(QStringLiteral("second"));
    QCOMPARE(rig.discovery.pendingLooks(), quint64(2));
    rig.discovery.address = QStringLiteral("http://site.example/page");
    Q_EMIT rig.discovery.lookFinished(1, QStringLiteral("http://stale.example/"));
    QVERIFY(rig.state().awaitingSource);
    rig.discovery.finishLooks();
    QVERIFY(!rig.state().awaitingSource);
    QCOMPARE(rig.state().sourceAddress, QStringLiteral("http://site.example/page"));

    // The address came before the click: the click stores it without waiting.
    window.show();
    QTest::mouseClick(rig.categoryButton(1), Qt::LeftButton);
    QCOMPARE(rig.discovery.waits, 0);
    QCOMPARE(rig.store.records()->constFirst().source, QStringLiteral("http://site.example/page"));
    // An answer that comes after the capture was stored changes nothing.
    Q_EMIT rig.discovery.lookFinished(99, QStringLiteral("http://late.example/"));
    QCOMPARE(rig.state().sourceAddress, QStringLiteral("http://site.example/page"));
}

void TestCaptureWindow::browserKnownOnlyAfterTheCopyStillGivesTheSource()
{
    Rig rig;
    CaptureWindow &window = rig.window;
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    window.switchToPenMode();

    // The browser's activation is heard just after its copy: the capture's own look finds no
    // browser, and the look the activation starts finds the page.
    clipboard->setText(QStringLiteral("copied before the browser was known"));
    rig.discovery.finishLooks();
    QVERIFY(!rig.state().awaitingSource);
    QCOMPARE(rig.state().sourceAddress, QString());
    Q_EMIT rig.discovery.lookFinished(2, QStringLiteral("http://site.example/page"));
    QCOMPARE(rig.state().sourceAddress, QStringLiteral("http://site.example/page"));
    // Only that first answer: the browser the text came from is the one that showed up.
    Q_EMIT rig.discovery.lookFinished(3, QStringLiteral("http://other.example/"));
    QCOMPARE(rig.state().sourceAddress, QStringLiteral("http://site.example/page"));
    window.show();
    QTest::mouseClick(rig.categoryButton(0), Qt::LeftButton);
    QCOMPARE(rig.store.records()->constLast().source, QStringLiteral("http://site.example/page"));

    // A look that found the page settles the source: later answers are about other moments.
    rig.discovery.address = QStringLiteral("http://site.example/second");
    clipboard->setText(QStringLiteral("copied in a known browser"));
    rig.discovery.finishLooks();
    Q_EMIT rig.discovery.lookFinished(9, QStringLiteral("http://other.example/"));
    QCOMPARE(rig.state().sourceAddress, QStringLiteral("http://site.example/second"));

    // Stored without an address: nothing found afterwards belongs to it, nor to the next text.
    rig.discovery.address.clear();
    clipboard->setText(QStringLiteral("copied with no browser"));
    rig.discovery.finishLooks();
    QTest::mouseClick(rig.categoryButton(0), Qt::LeftButton);
    QCOMPARE(rig.store.records()->constLast().source, QString());
    Q_EMIT rig.discovery.lookFinished(20, QStringLiteral("http://late.example/"));
    QCOMPARE(rig.state().sourceAddress, QString());
}

void TestCaptureWindow::clickBeforeTheSourceStillStores()
{
    Rig rig;
    CaptureWindow &window = rig.window;
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    window.switchToPenMode();
    window.show();

    // The click waits for the look under way and stores its address.
    rig.discovery.address = QStringLiteral("http://site.example/a");
    clipboard->setText(QStringLiteral("quick click"));
    QVERIFY(rig.state().awaitingSource);
    QTest::mouseClick(rig.categoryButton(0), Qt::LeftButton);
    QCOMPARE(rig.discovery.waits, 1);
    QVERIFY(!rig.state().awaitingSource);
    QCOMPARE(rig.store.records()->size(), 1);
    QCOMPARE(rig.store.records()->constLast().source, QStringLiteral("http://site.example/a"));
    QVERIFY(window.captureText().isEmpty());

    // A browser that does not answer in time: the capture is stored all the same, with the
    // best address known then, the answer of the last look that ended.
    rig.discovery.answering = false;
    rig.discovery.address = QStringLiteral("http://never.example/");
    clipboard->setText(QStringLiteral("slow browser"));
    QTest::mouseClick(rig.categoryButton(0), Qt::LeftButton);
    QCOMPARE(rig.store.records()->size(), 2);
    QCOMPARE(rig.store.records()->constLast().fileName, QStringLiteral("slow"));
    QCOMPARE(rig.store.records()->constLast().source, QStringLiteral("http://site.example/a"));
    QVERIFY(!rig.state().awaitingSource);
    // Its look ends after all: the stored row takes the address it found.
    rig.discovery.answering = true;
    rig.discovery.address = QStringLiteral("http://slow.example/page");
    rig.discovery.finishLooks();
    QCOMPARE(rig.store.records()->constLast().source, QStringLiteral("http://slow.example/page"));
    QCOMPARE(rig.store.records()->constFirst().source, QStringLiteral("http://site.example/a"));
    // Once: a later look is about another moment.
    rig.discovery.address = QStringLiteral("http://other.example/");
    rig.discovery.requestLook();
    rig.discovery.finishLooks();
    QCOMPARE(rig.store.records()->constLast().source, QStringLiteral("http://slow.example/page"));

    // A drop shows its text at once too, and its source follows in the same way.
    window.switchToWebMode();
    rig.discovery.answering = true;
    rig.discovery.address = QStringLiteral("http://dropped.example/");
    QMimeData data;
    data.setText(QStringLiteral("dropped"));
    rig.drop(data);
    QCOMPARE(window.captureText(), QStringLiteral("dropped"));
    QVERIFY(rig.state().awaitingSource);
    QTest::mouseClick(rig.categoryButton(0), Qt::LeftButton);
    QCOMPARE(rig.store.records()->constLast().source, QStringLiteral("http://dropped.example/"));
}

void TestCaptureWindow::draggingBackgroundMovesWindow()
{
    Rig rig;
    CaptureWindow &window = rig.window;
    window.show();
    const QPoint start = window.pos();
    QTest::mousePress(&window, Qt::LeftButton, {}, QPoint(200, 20));
    QMouseEvent move(QEvent::MouseMove, QPointF(230, 35), window.mapToGlobal(QPointF(230, 35)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &move);
    QCOMPARE(window.pos(), start + QPoint(30, 15));
    QTest::mouseRelease(&window, Qt::LeftButton, {}, QPoint(230, 35));

    QTest::mousePress(&window, Qt::RightButton, {}, QPoint(200, 20));
    QMouseEvent rightMove(QEvent::MouseMove, QPointF(260, 40), window.mapToGlobal(QPointF(260, 40)), Qt::NoButton,
                          Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &rightMove);
    QCOMPARE(window.pos(), start + QPoint(30, 15));
    QTest::mouseRelease(&window, Qt::RightButton, {}, QPoint(260, 40));

    // The dragged place holds through the layouts, and a position the window system reports on
    // its own is put right.
    QGuiApplication::clipboard()->clear();
    window.switchToWebMode();
    window.switchToPenMode();
    QCOMPARE(window.currentLayout(), CaptureLayout::Pen);
    QCOMPARE(window.pos(), start + QPoint(30, 15));
    window.windowHandle()->setPosition(0, 0);
    QTRY_COMPARE(window.pos(), start + QPoint(30, 15));
    QTRY_COMPARE(window.windowHandle()->position(), start + QPoint(30, 15));
}

QTEST_MAIN(TestCaptureWindow)
#include "tst_capturewindow.moc"
