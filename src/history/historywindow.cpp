#include "history/historywindow.h"

#include "common/twips.h"
#include "history/historyicons.h"
#include "history/historylisting.h"
#include "history/historytree.h"
#include "history/rebuildtask.h"
#include "history/recordgridmodel.h"
#include "platform/dialogs.h"
#include "platform/windowcentring.h"
#include "settings/savefolder.h"
#include "settings/settings.h"
#include "store/recordstore.h"

#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QShortcut>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>

namespace {

constexpr int kClientWidth = 10425;
constexpr int kClientHeight = 6945;
constexpr int kRowHeight = 320;
constexpr int kColumnWidths[RecordGridModel::kColumns] = {500, 3000, 1000, 1000, 1100, 3000, 4000};
constexpr int kKeyRole = Qt::UserRole;
constexpr int kSearchFieldHeight = 330;
// Typing pauses this long before the search runs.
constexpr int kSearchDelayMs = 250;

QFont fontOf(const QStringList &families, int points)
{
    QFont font;
    font.setFamilies(families);
    font.setPointSize(points);
    return font;
}

// Puts the label's text with its ink (not the font's line box, which the CJK fonts that stand
// in for 隶书 make far taller than the letters) centred in `area`; the font shrinks only when the
// ink would not fit. `offset` moves the label from there, for a shadow.
void placeInk(QLabel *label, const QRect &area, QPoint offset = {})
{
    QFont font = label->font();
    QRect ink = QFontMetrics(font).tightBoundingRect(label->text());
    while ((ink.height() > area.height() || ink.width() > area.width()) && font.pointSize() > 6) {
        font.setPointSize(font.pointSize() - 1);
        ink = QFontMetrics(font).tightBoundingRect(label->text());
    }
    label->setFont(font);
    const QFontMetrics metrics(font);
    // A top-aligned label draws the baseline one ascent below its top.
    const int inkTop = area.top() + (area.height() - ink.height()) / 2;
    label->setGeometry(area.left() + offset.x(), inkTop - metrics.ascent() - ink.top() + offset.y(), area.width(),
                       metrics.height());
}

} // namespace

HistoryWindow::HistoryWindow(RecordStore &store, const Settings &settings, const ProgramFolder &programFolder,
                             QString &findFileName, const Clock &clock, ShellOpener &shell, Dialogs &dialogs,
                             OpenInEditor openInEditor, std::function<void()> showFinder, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_store(store)
    , m_settings(settings)
    , m_programFolder(programFolder)
    , m_clock(clock)
    , m_dialogs(dialogs)
    , m_actions({store, settings, findFileName, clock, shell, dialogs, std::move(openInEditor), std::move(showFinder)})
{
    setObjectName(QStringLiteral("historyWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("历史记录"));
    resize(Twips::size(kClientWidth, kClientHeight));

    buildGrid();
    buildSearchField();
    buildTree();
    buildStatusFrame();
    buildBanner();

    m_recordMenu = new QMenu(QStringLiteral("删除数据记录"), this);
    m_recordMenu->setObjectName(QStringLiteral("recordMenu"));
    QAction *deleteRecordAction = m_recordMenu->addAction(QStringLiteral("删除单条记录"));
    deleteRecordAction->setObjectName(QStringLiteral("deleteRecordAction"));
    connect(deleteRecordAction, &QAction::triggered, this, &HistoryWindow::deleteMarked);
    m_recordMenu->addSeparator();
    QAction *rebuildAction = m_recordMenu->addAction(QStringLiteral("重建记录"));
    rebuildAction->setObjectName(QStringLiteral("rebuildRecordsAction"));
    connect(rebuildAction, &QAction::triggered, this, &HistoryWindow::rebuildRecords);
    m_stopRebuildAction = m_recordMenu->addAction(QStringLiteral("停止重建记录"));
    m_stopRebuildAction->setObjectName(QStringLiteral("stopRebuildAction"));
    connect(m_stopRebuildAction, &QAction::triggered, this, &HistoryWindow::stopRebuilding);
    connect(m_recordMenu, &QMenu::aboutToShow, this, [this, rebuildAction] {
        rebuildAction->setEnabled(!isRebuilding());
        m_stopRebuildAction->setEnabled(isRebuilding());
    });

    centreOnScreen(this);
}

HistoryWindow::~HistoryWindow()
{
    // Closing the window stops its rebuild; what was done is still told.
    if (m_rebuild && m_rebuild->isRunning()) {
        const QString report = m_rebuild->stopNow();
        if (m_showMessage)
            m_showMessage(report);
    }
}

void HistoryWindow::buildTree()
{
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("historyTree"));
    m_tree->setGeometry(Twips::rect(15, 0, 2040, 6855));
    m_tree->setHeaderHidden(true);
    m_tree->setIconSize(QSize(20, 20));
    // Narrow indentation so the node texts fit the tree's fixed width.
    m_tree->setIndentation(14);
    m_tree->setTextElideMode(Qt::ElideNone);

    QHash<QString, QTreeWidgetItem *> byKey;
    for (const HistoryNode &node : HistoryTree::nodes()) {
        QTreeWidgetItem *parent = byKey.value(node.parentKey);
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
        item->setText(0, node.text);
        item->setData(0, kKeyRole, node.key);
        item->setIcon(0, HistoryIcons::forNode(node.image, node.selectedImage));
        byKey.insert(node.key, item);
    }
    m_tree->topLevelItem(0)->setExpanded(true);

    // A click lists the node, also when it is already the current one; moving with the
    // keyboard lists the node reached.
    m_tree->viewport()->installEventFilter(this);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *current) { listItem(current); });
    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *item) {
        if (item == m_currentBeforePress)
            listItem(item);
    });
}

void HistoryWindow::buildGrid()
{
    m_model = new RecordGridModel(this);
    m_gridView = new QTableView(this);
    m_gridView->setObjectName(QStringLiteral("recordGrid"));
    m_gridView->setGeometry(Twips::rect(2160, kSearchFieldHeight, 8175, 5415 - kSearchFieldHeight));
    m_gridView->setModel(m_model);
    m_gridView->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_gridView->setWordWrap(false);
    m_gridView->verticalHeader()->hide();
    m_gridView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_gridView->verticalHeader()->setDefaultSectionSize(Twips::toPixels(kRowHeight));
    m_gridView->horizontalHeader()->setHighlightSections(false);
    for (int column = 0; column < RecordGridModel::kColumns; ++column)
        m_gridView->setColumnWidth(column, Twips::toPixels(kColumnWidths[column]));
    m_gridView->setMouseTracking(true);
    m_gridView->viewport()->installEventFilter(this);
    m_gridView->horizontalHeader()->setMouseTracking(true);
    m_gridView->horizontalHeader()->installEventFilter(this);
}

void HistoryWindow::buildSearchField()
{
    m_searchEdit = new QLineEdit(this);
    m_searchEdit->setObjectName(QStringLiteral("searchEdit"));
    m_searchEdit->setGeometry(Twips::rect(2160, 0, 8175, kSearchFieldHeight - 30));
    m_searchEdit->setPlaceholderText(QStringLiteral("搜索全文（Ctrl+F）"));
    m_searchEdit->setClearButtonEnabled(true);
    m_searchDelay = new QTimer(this);
    m_searchDelay->setSingleShot(true);
    m_searchDelay->setInterval(kSearchDelayMs);
    connect(m_searchEdit, &QLineEdit::textChanged, m_searchDelay, qOverload<>(&QTimer::start));
    connect(m_searchDelay, &QTimer::timeout, this, [this] { searchFor(m_searchEdit->text()); });
    auto *focusSearch = new QShortcut(QKeySequence::Find, this);
    connect(focusSearch, &QShortcut::activated, this, [this] {
        m_searchEdit->setFocus(Qt::ShortcutFocusReason);
        m_searchEdit->selectAll();
    });
}

void HistoryWindow::buildStatusFrame()
{
    auto *frame = new QGroupBox(this);
    frame->setGeometry(Twips::rect(2160, 5520, 4095, 1335));
    const auto field = [frame](const QString &name, int top) {
        auto *edit = new QLineEdit(frame);
        edit->setObjectName(name);
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::NoFocus);
        edit->setGeometry(Twips::rect(120, top, 3855, 270));
        return edit;
    };
    m_fileField = field(QStringLiteral("fileField"), 240);
    m_fileNameField = field(QStringLiteral("fileNameField"), 600);
    m_fileCountField = field(QStringLiteral("fileCountField"), 960);
}

void HistoryWindow::buildBanner()
{
    auto *frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("bannerFrame"));
    frame->setGeometry(Twips::rect(6360, 5520, 3975, 1335));

    auto *advice = new QLabel(QStringLiteral("请赐宝贵的建议!"), frame);
    advice->setObjectName(QStringLiteral("adviceLabel"));
    advice->setFont(fontOf({QStringLiteral("宋体"), QStringLiteral("SimSun")}, 12));
    QPalette palette = advice->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    advice->setPalette(palette);
    advice->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    // As tall as its font needs, centred where the line stands, inside the frame's border.
    const QRect line = Twips::rect(120, 930, 3735, 330);
    const int adviceHeight = qMin(qMax(line.height(), advice->fontMetrics().height()),
                                  2 * (frame->height() - 2 - line.center().y()));
    advice->setGeometry(line.left(), line.center().y() - adviceHeight / 2, line.width(), adviceHeight);

    // The word between the frame's top border and the advice line, whatever font stands in.
    const int adviceTextTop = advice->y() + (advice->height() - advice->fontMetrics().height()) / 2;
    const QRect titleArea(Twips::toPixels(180), 3, Twips::toPixels(3600), adviceTextTop - 3);
    const QFont title = fontOf({QStringLiteral("隶书"), QStringLiteral("LiSu"), QStringLiteral("STLiti")}, 42);
    const auto word = [&](const QColor &color, QPoint offset) {
        auto *label = new QLabel(QStringLiteral("Notavo"), frame);
        label->setObjectName(QStringLiteral("bannerWord"));
        label->setFont(title);
        QPalette wordPalette = label->palette();
        wordPalette.setColor(QPalette::WindowText, color);
        label->setPalette(wordPalette);
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        placeInk(label, titleArea, offset);
    };
    word(QColor(0x40, 0x00, 0x40), {Twips::toPixels(60), Twips::toPixels(15)});
    word(Qt::magenta, {});
    advice->raise();
}

void HistoryWindow::listNode(const QString &key)
{
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        if ((*it)->data(0, kKeyRole).toString() == key) {
            const QSignalBlocker block(m_tree);
            m_tree->setCurrentItem(*it);
            listItem(*it);
            return;
        }
    }
}

void HistoryWindow::listItem(QTreeWidgetItem *item)
{
    if (!item)
        return;
    const HistoryListing listing(m_store, m_clock);
    HistoryListing::Result result = listing.list(item->data(0, kKeyRole).toString(), item->text(0));
    showListing(std::move(result.records), result.ok, result.error);
}

void HistoryWindow::showListing(QList<Record> records, bool ok, const QString &error)
{
    m_model->setListing(std::move(records));
    const RecordGridModel::Status status = m_model->listingStatus();
    m_fileField->setText(status.file);
    m_fileNameField->setText(status.fileName);
    m_fileCountField->setText(status.files);
    if (!ok)
        m_dialogs.message(this, Dialogs::systemTitle(), error, Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
}

void HistoryWindow::searchFor(const QString &text)
{
    m_searchDelay->stop();
    if (text.trimmed().isEmpty()) {
        if (QTreeWidgetItem *item = m_tree->currentItem())
            listItem(item);
        else
            showListing({}, true, {});
        return;
    }
    QList<Record> records;
    const bool ok = m_store.forEachRecordContaining(text, [&records](const Record &record) {
        records.append(record);
        return true;
    });
    showListing(ok ? std::move(records) : QList<Record>(), ok, m_store.lastError());
    // What became of the index (damaged and set aside, not writable) is said once.
    const QString notice = m_store.takeSearchNotice();
    if (ok && !notice.isEmpty())
        m_dialogs.message(this, Dialogs::systemTitle(), notice, Dialogs::Icon::Information, Dialogs::Buttons::Ok);
}

bool HistoryWindow::isRebuilding() const
{
    return m_rebuild && m_rebuild->isRunning();
}

void HistoryWindow::rebuildRecords()
{
    if (isRebuilding())
        return;
    if (!m_rebuild) {
        m_rebuild = new RebuildTask(m_store.databasePath(), this);
        connect(m_rebuild, &RebuildTask::finished, this, [this](const QString &report, bool ok) {
            m_dialogs.message(this, Dialogs::systemTitle(), report,
                              ok ? Dialogs::Icon::Information : Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
            searchFor(m_searchEdit->text());
        });
    }
    // The folder captures go to, resolved as the record writer resolves it.
    m_rebuild->start(SaveFolder::effective(m_settings.saveFolder, m_programFolder));
}

void HistoryWindow::stopRebuilding()
{
    if (m_rebuild)
        m_rebuild->requestStop();
}

int HistoryWindow::gridRowAt(const QPoint &viewportPos) const
{
    const int row = m_gridView->rowAt(viewportPos.y());
    return row < 0 ? 0 : row + 1;
}

int HistoryWindow::gridColumnAt(const QPoint &viewportPos) const
{
    return m_gridView->columnAt(viewportPos.x());
}

void HistoryWindow::showStatus(int gridRow)
{
    const RecordGridModel::Status status = m_model->statusAt(gridRow);
    m_fileField->setText(status.file);
    m_fileNameField->setText(status.fileName);
    m_fileCountField->setText(status.files);
}

bool HistoryWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_tree->viewport()) {
        if (event->type() == QEvent::MouseButtonPress)
            m_currentBeforePress = m_tree->currentItem();
        return QWidget::eventFilter(watched, event);
    }
    if (watched == m_gridView->horizontalHeader()) {
        if (event->type() == QEvent::MouseMove)
            showStatus(0);
        return QWidget::eventFilter(watched, event);
    }
    if (watched != m_gridView->viewport())
        return QWidget::eventFilter(watched, event);

    const auto *mouse = dynamic_cast<QMouseEvent *>(event);
    if (!mouse)
        return QWidget::eventFilter(watched, event);
    const QPoint pos = mouse->position().toPoint();
    const int row = gridRowAt(pos);
    switch (event->type()) {
    case QEvent::MouseMove:
        showStatus(row);
        break;
    case QEvent::MouseButtonPress:
        if (mouse->button() == Qt::LeftButton && mouse->buttons() == Qt::LeftButton)
            m_marking.startRow = row;
        break;
    case QEvent::MouseButtonRelease:
        if (mouse->buttons() != Qt::NoButton)
            break;
        if (mouse->button() == Qt::LeftButton) {
            m_marking.endRow = row;
        } else if (mouse->button() == Qt::RightButton) {
            m_popupRow = row;
            m_recordMenu->popup(mouse->globalPosition().toPoint());
        }
        break;
    case QEvent::MouseButtonDblClick:
        if (mouse->button() != Qt::LeftButton)
            break;
        if (gridColumnAt(pos) == RecordGridModel::FileName)
            m_actions.openFile(*m_model, row, this);
        else if (gridColumnAt(pos) == RecordGridModel::Source)
            m_actions.openSource(*m_model, row, this);
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void HistoryWindow::deleteMarked()
{
    m_actions.deleteRows(*m_model, m_marking.rowsToDelete(m_popupRow), this,
                         [this] { m_gridView->setCurrentIndex(m_model->index(0, RecordGridModel::FileName)); });
}

