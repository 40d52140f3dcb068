#include "finder/finderwindow.h"

#include "common/folderpath.h"
#include "common/twips.h"
#include "finder/filewalk.h"
#include "finder/findertext.h"
#include "finder/matchlistmodel.h"
#include "platform/shellopenprompt.h"
#include "settings/choseneditor.h"
#include "settings/settings.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QResizeEvent>
#include <QTimer>

namespace {

// Design client area, and the smallest one: the outer window may not shrink below 5600 by
// 4500 twips, which leaves this client area inside the frame and title bar.
constexpr int kClientWidth = 5475;
constexpr int kClientHeight = 4905;
constexpr int kMinClientWidth = 5475;
constexpr int kMinClientHeight = 4095;
constexpr int kRowHeight = 315;
// Time one slice of the search may take before the window handles its events again.
constexpr qint64 kSliceMilliseconds = 15;
constexpr int kEntriesPerStep = 256;

const QStringList &patterns()
{
    static const QStringList list = {
        QStringLiteral("*.txt"), QStringLiteral("*.doc"), QStringLiteral("*.wps"), QStringLiteral("*.exe"),
        QStringLiteral("*.avi"), QStringLiteral("*.mpeg"), QStringLiteral("*.mid"), QStringLiteral("*.mov"),
    };
    return list;
}

} // namespace

FinderWindow::FinderWindow(const Settings &settings, const QString &findFileName, ShellOpener &shell,
                           Dialogs &dialogs, OpenInEditor openInEditor, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_settings(settings)
    , m_shell(shell)
    , m_dialogs(dialogs)
    , m_openInEditor(std::move(openInEditor))
{
    setObjectName(QStringLiteral("finderWindow"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("文件查找"));
    buildControls();
    resize(Twips::size(kClientWidth, kClientHeight));
    setMinimumSize(Twips::size(kMinClientWidth, kMinClientHeight));

    m_patternCombo->addItems(patterns());
    setPattern(findFileName);

    m_volumes = VolumeList::available(QDir::homePath());
    for (const Volume &volume : m_volumes)
        m_volumeCombo->addItem(volume.label);
    const int initial = VolumeList::initialIndex(m_volumes, QDir::homePath());
    {
        const QSignalBlocker block(m_volumeCombo);
        m_volumeCombo->setCurrentIndex(initial);
    }
    if (initial >= 0 && initial < m_volumes.size())
        m_findDrive = m_volumes.at(initial).root;
    connect(m_volumeCombo, &QComboBox::currentIndexChanged, this, &FinderWindow::driveChanged);

    m_slice = new QTimer(this);
    m_slice->setInterval(0);
    connect(m_slice, &QTimer::timeout, this, &FinderWindow::runSlice);
}

FinderWindow::~FinderWindow() = default;

void FinderWindow::buildControls()
{
    m_patternGroup = new QGroupBox(QStringLiteral("名称和位置"), this);
    m_patternGroup->setObjectName(QStringLiteral("patternGroup"));
    m_patternGroup->setGeometry(Twips::rect(120, 120, 3735, 2055));

    auto *nameLabel = new QLabel(QStringLiteral("名称："), m_patternGroup);
    nameLabel->setObjectName(QStringLiteral("nameLabel"));
    nameLabel->setGeometry(Twips::rect(120, 600, 700, kRowHeight));
    m_patternCombo = new QComboBox(m_patternGroup);
    m_patternCombo->setObjectName(QStringLiteral("patternCombo"));
    m_patternCombo->setEditable(true);
    m_patternCombo->setInsertPolicy(QComboBox::NoInsert);
    m_patternCombo->setGeometry(Twips::rect(840, 600, 2655, kRowHeight));
    nameLabel->setBuddy(m_patternCombo);
    connect(m_patternCombo, &QComboBox::currentTextChanged, this, [this](const QString &text) { m_findPattern = text; });

    auto *volumeLabel = new QLabel(QStringLiteral("搜索："), m_patternGroup);
    volumeLabel->setObjectName(QStringLiteral("volumeLabel"));
    volumeLabel->setGeometry(Twips::rect(120, 1320, 700, kRowHeight));
    m_volumeCombo = new QComboBox(m_patternGroup);
    m_volumeCombo->setObjectName(QStringLiteral("volumeCombo"));
    m_volumeCombo->setGeometry(Twips::rect(840, 1320, 2655, kRowHeight));
    volumeLabel->setBuddy(m_volumeCombo);

    m_buttonGroup = new QGroupBox(this);
    m_buttonGroup->setObjectName(QStringLiteral("buttonGroup"));
    m_buttonGroup->setGeometry(Twips::rect(3960, 120, 1455, 2055));
    const auto button = [this](const QString &name, const QString &text, int top) {
        auto *b = new QPushButton(text, m_buttonGroup);
        b->setObjectName(name);
        b->setGeometry(Twips::rect(120, top, 1215, 405));
        return b;
    };
    m_findButton = button(QStringLiteral("findButton"), QStringLiteral("开始查找"), 360);
    m_stopButton = button(QStringLiteral("stopButton"), QStringLiteral("停止"), 960);
    m_closeButton = button(QStringLiteral("closeButton"), QStringLiteral("关闭查找"), 1560);
    m_stopButton->setEnabled(false);
    m_findButton->setDefault(true);
    connect(m_findButton, &QPushButton::clicked, this, &FinderWindow::startSearch);
    connect(m_stopButton, &QPushButton::clicked, this, &FinderWindow::stopSearch);
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::close);

    m_progressLabel = new QLabel(QStringLiteral("查找"), this);
    m_progressLabel->setObjectName(QStringLiteral("progressLabel"));
    m_progressLabel->setGeometry(Twips::rect(120, 2400, 5295, 240));

    m_matches = new MatchListModel(this);
    m_matchList = new QListView(this);
    m_matchList->setObjectName(QStringLiteral("matchList"));
    m_matchList->setModel(m_matches);
    m_matchList->setUniformItemSizes(true);
    m_matchList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_matchList->setGeometry(Twips::rect(120, 2640, 5295, 2160));
    connect(m_matchList, &QListView::doubleClicked, this, &FinderWindow::openMatch);
}

void FinderWindow::setPattern(const QString &pattern)
{
    m_patternCombo->setEditText(pattern);
    m_findPattern = pattern;
}

bool FinderWindow::isSearching() const
{
    return m_walk != nullptr;
}

void FinderWindow::startSearch()
{
    searchFrom(m_findDrive);
}

void FinderWindow::searchFrom(const QString &folder)
{
    m_stopButton->setEnabled(true);
    m_findPattern = m_patternCombo->currentText();
    if (m_findPattern.isEmpty())
        return;
    // A second start while a search runs begins the new search in its place.
    if (m_walk)
        m_walk->stop();
    m_findDrive = FolderPath::withTrailingSlash(folder);
    m_matches->clear();
    m_walk = std::make_unique<FileWalk>(m_findDrive, m_findPattern);
    m_progressLabel->setText(FinderText::progress(m_findDrive));
    m_slice->start();
}

void FinderWindow::stopSearch()
{
    m_stopButton->setEnabled(false);
    if (m_walk)
        m_walk->stop();
}

void FinderWindow::runSlice()
{
    if (!m_walk) {
        m_slice->stop();
        return;
    }
    QElapsedTimer elapsed;
    elapsed.start();
    while (m_walk->step(kEntriesPerStep) && elapsed.elapsed() < kSliceMilliseconds) {
    }
    const QStringList found = m_walk->takeNewMatches();
    if (!found.isEmpty()) {
        m_matches->append(found);
        m_matchList->scrollToBottom();
    }
    if (m_walk->isFinished())
        finishSearch();
    else
        m_progressLabel->setText(FinderText::progress(m_walk->currentFolder()));
}

void FinderWindow::finishSearch()
{
    m_slice->stop();
    m_walk.reset();
    const QString result = FinderText::result(m_findDrive, m_matches->rowCount(), m_findPattern);
    m_progressLabel->setText(result);
    // A narrow window cuts the line; the tool tip shows it whole.
    m_progressLabel->setToolTip(result);
    m_stopButton->setEnabled(false);
    Q_EMIT searchFinished();
}

void FinderWindow::driveChanged(int index)
{
    if (index < 0 || index >= m_volumes.size())
        return;
    m_findDrive = m_volumes.at(index).root;
    m_progressLabel->setText(m_findDrive);
}

void FinderWindow::openMatch(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    // A found file may be anything: the shell opens it only when it is no program.
    const ChosenEditor editor(m_settings.editor, m_openInEditor, [this](const QString &path) {
        return openThroughShell(path, m_shell, m_dialogs, this);
    });
    editor.openAsIs(m_matches->paths().at(index.row()));
}

// The list and the frames follow the window's size; everything else keeps its place.
void FinderWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const int w = Twips::fromPixels(width());
    const int h = Twips::fromPixels(height());
    const auto px = [](int twips) { return Twips::toPixels(twips); };
    m_matchList->resize(px(w - (kClientWidth - 5295)), px(h - (kClientHeight - 2160)));
    m_buttonGroup->move(px(w - (kClientWidth - 3960)), m_buttonGroup->y());
    m_patternGroup->resize(px(w - (kClientWidth - 3735)), m_patternGroup->height());
    m_patternCombo->resize(px(w - (kClientWidth - 2655)), m_patternCombo->height());
    m_volumeCombo->resize(px(w - (kClientWidth - 2655)), m_volumeCombo->height());
    m_progressLabel->resize(px(w - 240), m_progressLabel->height());
}
