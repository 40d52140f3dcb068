#include "history/historywindow.h"

#include "common/twips.h"
#include "history/historyicons.h"
#include "history/historylisting.h"
#include "history/rebuildtask.h"
#include "history/recordgridmodel.h"
#include "history/recordgridview.h"
#include "platform/dialogs.h"
#include "platform/windowcentring.h"
#include "store/recordstore.h"

#include <QBoxLayout>
#include <QEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QShortcut>
#include <QTimer>
#include <QTreeWidget>

namespace {

// Sizes in twips; at 100 % the window opens at this size and is not made smaller.
constexpr int kClientWidth = 10425;
constexpr int kClientHeight = 6945;
constexpr int kTreeWidth = 2040;
constexpr int kRowHeight = 320;
constexpr int kColumnWidths[RecordGridModel::kColumns] = {500, 3000, 1000, 1000, 1100, 3000, 4000};
constexpr int kSearchFieldHeight = 300;
constexpr int kFrameHeight = 1335;
constexpr int kStatusFrameWidth = 4095;
constexpr int kStatusFieldHeight = 270;
// The gaps between the tree, the grid and the frames below it.
constexpr int kGap = 105;
constexpr int kNodeRole = Qt::UserRole;
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

HistoryWindow::HistoryWindow(RecordStore &store, const Clock &clock, Dialogs &dialogs,
                             std::function<QString()> saveFolder, RecordActions actions, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint)
    , m_store(store)
    , m_clock(clock)
    , m_dialogs(dialogs)
    , m_saveFolder(std::move(saveFolder))
    , m_actions(std::move(actions))
{
    setObjectName(QStringLiteral("historyWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("历史记录"));

    buildTree();
    buildSearchField();
    buildGrid();
    buildRecordMenu();
    buildLayout(buildStatusFrame(), buildBanner());
    setTabOrder(m_tree, m_searchEdit);
    setTabOrder(m_searchEdit, m_gridView);
    // The grid has the focus first, so that no node is chosen before the user chooses one
    // (the tree, given the focus, makes its first node current); Tab goes on to the tree.
    m_gridView->setFocus();

    resize(Twips::size(kClientWidth, kClientHeight));
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

void HistoryWindow::buildLayout(QWidget *statusFrame, QWidget *banner)
{
    const int gap = Twips::toPixels(kGap);
    auto *bottom = new QHBoxLayout;
    bottom->setSpacing(gap);
    bottom->addWidget(statusFrame, 1);
    bottom->addWidget(banner);

    auto *right = new QVBoxLayout;
    right->setSpacing(0);
    right->addWidget(m_searchEdit);
    right->addSpacing(Twips::toPixels(30));
    right->addWidget(m_gridView, 1);
    right->addSpacing(gap);
    right->addLayout(bottom);

    auto *window = new QHBoxLayout(this);
    window->setContentsMargins(Twips::toPixels(15), 0, Twips::toPixels(90), Twips::toPixels(90));
    window->setSpacing(gap);
    window->addWidget(m_tree);
    window->addLayout(right, 1);
    setMinimumSize(Twips::size(kClientWidth, kClientHeight));
}

void HistoryWindow::buildTree()
{
    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("historyTree"));
    m_tree->setFixedWidth(Twips::toPixels(kTreeWidth));
    m_tree->setHeaderHidden(true);
    m_tree->setIconSize(QSize(20, 20));
    // Narrow indentation so the node texts fit the tree's fixed width.
    m_tree->setIndentation(14);
    m_tree->setTextElideMode(Qt::ElideNone);

    QList<QTreeWidgetItem *> items;
    const QList<HistoryNode> &nodes = HistoryTree::nodes();
    for (int i = 0; i < nodes.size(); ++i) {
        const HistoryNode &node = nodes.at(i);
        auto *item = node.parent < 0 ? new QTreeWidgetItem(m_tree) : new QTreeWidgetItem(items.at(node.parent));
        item->setText(0, node.text);
        item->setData(0, kNodeRole, i);
        item->setIcon(0, HistoryIcons::forNode(node.image, node.selectedImage));
        items.append(item);
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

bool HistoryWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_tree->viewport() && event->type() == QEvent::MouseButtonPress)
        m_currentBeforePress = m_tree->currentItem();
    return QWidget::eventFilter(watched, event);
}

void HistoryWindow::buildGrid()
{
    m_model = new RecordGridModel(this);
    m_gridView = new RecordGridView(this);
    m_gridView->setObjectName(QStringLiteral("recordGrid"));
    m_gridView->setModel(m_model);
    m_gridView->setWordWrap(false);
    m_gridView->verticalHeader()->hide();
    m_gridView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_gridView->verticalHeader()->setDefaultSectionSize(Twips::toPixels(kRowHeight));
    m_gridView->horizontalHeader()->setHighlightSections(false);
    for (int column = 0; column < RecordGridModel::kColumns; ++column)
        m_gridView->setColumnWidth(column, Twips::toPixels(kColumnWidths[column]));

    connect(m_gridView, &RecordGridView::rowHovered, this, &HistoryWindow::showStatus);
    connect(m_gridView, &QAbstractItemView::doubleClicked, this, &HistoryWindow::onDoubleClicked);
    connect(m_gridView, &QWidget::customContextMenuRequested, this, &HistoryWindow::showRecordMenu);
    connect(m_gridView, &RecordGridView::openRequested, this, &HistoryWindow::openAt);
    connect(m_gridView, &RecordGridView::deleteRequested, this,
            [this] { deleteMarkedOr(m_gridView->currentIndex().row()); });
}

void HistoryWindow::buildRecordMenu()
{
    m_recordMenu = new QMenu(QStringLiteral("删除数据记录"), this);
    m_recordMenu->setObjectName(QStringLiteral("recordMenu"));
    const auto add = [this](const QString &text, const QString &name, auto slot) {
        QAction *action = m_recordMenu->addAction(text);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    add(QStringLiteral("删除单条记录"), QStringLiteral("deleteRecordAction"), [this] { deleteMarkedOr(m_popupRow); });
    m_recordMenu->addSeparator();
    m_rebuildAction = add(QStringLiteral("重建记录"), QStringLiteral("rebuildRecordsAction"), [this] { rebuildRecords(); });
    m_stopRebuildAction = add(QStringLiteral("停止重建记录"), QStringLiteral("stopRebuildAction"),
                              [this] { stopRebuilding(); });
    connect(m_recordMenu, &QMenu::aboutToShow, this, [this] {
        m_rebuildAction->setEnabled(!isRebuilding());
        m_stopRebuildAction->setEnabled(isRebuilding());
    });
}

void HistoryWindow::buildSearchField()
{
    m_searchEdit = new QLineEdit(this);
    m_searchEdit->setObjectName(QStringLiteral("searchEdit"));
    m_searchEdit->setFixedHeight(Twips::toPixels(kSearchFieldHeight));
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

QWidget *HistoryWindow::buildStatusFrame()
{
    auto *frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("statusFrame"));
    frame->setMinimumWidth(Twips::toPixels(kStatusFrameWidth));
    frame->setFixedHeight(Twips::toPixels(kFrameHeight));
    auto *fields = new QVBoxLayout(frame);
    // The fields stand 120 twips from the frame's left, from 240 down, 90 apart; the margins
    // count from the frame's own border.
    const QMargins border = frame->contentsMargins();
    fields->setContentsMargins(qMax(0, Twips::toPixels(120) - border.left()), qMax(0, Twips::toPixels(240) - border.top()),
                               qMax(0, Twips::toPixels(120) - border.right()), 0);
    fields->setSpacing(Twips::toPixels(90));
    const auto field = [frame, fields](const QString &name) {
        auto *edit = new QLineEdit(frame);
        edit->setObjectName(name);
        edit->setReadOnly(true);
        edit->setFocusPolicy(Qt::NoFocus);
        edit->setFixedHeight(Twips::toPixels(kStatusFieldHeight));
        fields->addWidget(edit);
        return edit;
    };
    m_fileField = field(QStringLiteral("fileField"));
    m_fileNameField = field(QStringLiteral("fileNameField"));
    m_fileCountField = field(QStringLiteral("fileCountField"));
    fields->addStretch(1);
    return frame;
}

QWidget *HistoryWindow::buildBanner()
{
    // A decoration of fixed size: what it holds is placed by the ink of its texts.
    auto *frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("bannerFrame"));
    frame->setFixedSize(Twips::size(3975, kFrameHeight));

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
    return frame;
}

void HistoryWindow::listNode(const HistoryNodeKey &key)
{
    const int index = HistoryTree::indexOf(key);
    for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
        if ((*it)->data(0, kNodeRole).toInt() == index) {
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
    const HistoryNode &node = HistoryTree::nodes().at(item->data(0, kNodeRole).toInt());
    HistoryListing::Result result = HistoryListing(m_store, m_clock).list(node);
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
    m_rebuild->start(m_saveFolder());
}

void HistoryWindow::stopRebuilding()
{
    if (m_rebuild)
        m_rebuild->requestStop();
}

void HistoryWindow::showStatus(int row)
{
    const RecordGridModel::Status status = m_model->statusAt(row);
    m_fileField->setText(status.file);
    m_fileNameField->setText(status.fileName);
    m_fileCountField->setText(status.files);
}

void HistoryWindow::onDoubleClicked(const QModelIndex &index)
{
    if (index.column() == RecordGridModel::FileName)
        m_actions.openFile(m_model->recordAt(index.row()), this);
    else if (index.column() == RecordGridModel::Source)
        m_actions.openSource(m_model->recordAt(index.row()), this);
}

void HistoryWindow::openAt(const QModelIndex &index)
{
    // Enter on the 资料来源 cell opens the source, as a double-click there does; anywhere else
    // on the row it opens the record.
    if (index.column() == RecordGridModel::Source)
        m_actions.openSource(m_model->recordAt(index.row()), this);
    else
        m_actions.openFile(m_model->recordAt(index.row()), this);
}

void HistoryWindow::showRecordMenu(const QPoint &viewportPos)
{
    m_popupRow = m_gridView->indexAt(viewportPos).row();
    m_recordMenu->popup(m_gridView->viewport()->mapToGlobal(viewportPos));
}

void HistoryWindow::deleteMarkedOr(int row)
{
    // The records first: rows move up as others go.
    QList<Record> records;
    QList<int> rows = m_gridView->markedRange();
    if (rows.isEmpty() && row >= 0 && row < m_model->rowCount())
        rows.append(row);
    for (const int marked : std::as_const(rows))
        records.append(m_model->recordAt(marked));

    for (const Record &record : std::as_const(records)) {
        switch (m_actions.deleteRecord(record, this)) {
        case RecordActions::DeleteOutcome::Deleted:
            m_model->removeRecord(record.rowId);
            break;
        case RecordActions::DeleteOutcome::Declined:
            m_gridView->setCurrentIndex(m_model->index(0, RecordGridModel::FileName));
            break;
        case RecordActions::DeleteOutcome::Failed:
            return;
        }
    }
}
