#include "history/historywindow.h"

#include "common/twips.h"
#include "finder/finderwindow.h"
#include "history/historyicons.h"
#include "history/historylisting.h"
#include "history/historytree.h"
#include "history/recordgridmodel.h"
#include "platform/dialogs.h"
#include "platform/windowcentring.h"
#include "settings/settings.h"
#include "store/recordrebuilder.h"
#include "store/recordstore.h"
#include "store/storeworker.h"

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

} // namespace

HistoryWindow::HistoryWindow(RecordStore &store, const Settings &settings, QString &findFileName,
                             const Clock &clock, ShellOpener &shell, Dialogs &dialogs, OpenInEditor openInEditor,
                             QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_store(store)
    , m_settings(settings)
    , m_findFileName(findFileName)
    , m_clock(clock)
    , m_shell(shell)
    , m_dialogs(dialogs)
    , m_openInEditor(openInEditor)
    , m_actions({store, settings, findFileName, clock, shell, dialogs, std::move(openInEditor),
                 [this] { showFinder(); }})
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

    centreOnScreen(this);
}

HistoryWindow::~HistoryWindow() = default;

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
    frame->setGeometry(Twips::rect(6360, 5520, 3975, 1335));
    const QFont title = fontOf({QStringLiteral("隶书"), QStringLiteral("LiSu"), QStringLiteral("STLiti")}, 42);
    const auto word = [&](const QColor &color, int left, int top) {
        auto *label = new QLabel(QStringLiteral("Notavo"), frame);
        label->setFont(title);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, color);
        label->setPalette(palette);
        label->setGeometry(Twips::rect(left, top, 3600, 900));
        label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
        return label;
    };
    word(QColor(0x40, 0x00, 0x40), 240, 15);
    word(Qt::magenta, 180, 0);

    auto *advice = new QLabel(QStringLiteral("请赐宝贵的建议!"), frame);
    advice->setFont(fontOf({QStringLiteral("宋体"), QStringLiteral("SimSun")}, 12));
    QPalette palette = advice->palette();
    palette.setColor(QPalette::WindowText, Qt::blue);
    advice->setPalette(palette);
    advice->setGeometry(Twips::rect(120, 930, 3735, 330));
    advice->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
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
    return m_rebuildWorker && m_rebuildWorker->isRunning();
}

void HistoryWindow::rebuildRecords()
{
    if (isRebuilding())
        return;
    if (!m_rebuildWorker)
        m_rebuildWorker = new StoreWorker(m_store.databasePath(), this);
    auto result = std::make_shared<RecordRebuilder::Result>();
    const QString saveFolder = m_settings.saveFolder;
    m_rebuildWorker->disconnect(this);
    connect(m_rebuildWorker, &StoreWorker::finished, this, [this, result] {
        const QString text = result->ok
            ? QStringLiteral("重建记录完成：新增 %1 条记录，%2 个文件无法读取。").arg(result->added).arg(result->unreadable)
            : QStringLiteral("重建记录中断：新增 %1 条记录。\n").arg(result->added) + result->error;
        m_dialogs.message(this, Dialogs::systemTitle(), text,
                          result->ok ? Dialogs::Icon::Information : Dialogs::Icon::Critical, Dialogs::Buttons::Ok);
        searchFor(m_searchEdit->text());
    });
    m_rebuildWorker->start([result, saveFolder](RecordStore &store, const std::atomic_bool &stopRequested) {
        *result = RecordRebuilder::rebuild(store, saveFolder, [&stopRequested] { return !stopRequested; });
    });
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

void HistoryWindow::showFinder()
{
    if (!m_finder) {
        m_finder = new FinderWindow(m_settings, m_findFileName, m_shell, m_dialogs, m_openInEditor, this);
    } else if (!m_finder->isSearching()) {
        m_finder->setPattern(m_findFileName);
    }
    m_finder->show();
    m_finder->raise();
    m_finder->activateWindow();
}
