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
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

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

FinderWindow::FinderWindow(const Settings &settings, const QString &pattern, ShellOpener &shell,
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
    setMinimumSize(Twips::size(kMinClientWidth, kMinClientHeight));
    resize(Twips::size(kClientWidth, kClientHeight));

    m_patternCombo->addItems(patterns());
    setPattern(pattern);

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

// The frames side by side on top, the progress line, and the list, which takes what the window
// gains when it is enlarged. At 100 % everything has its designed place and size.
void FinderWindow::buildControls()
{
    const auto px = [](int twips) { return Twips::toPixels(twips); };

    m_patternGroup = new QGroupBox(QStringLiteral("名称和位置"), this);
    m_patternGroup->setObjectName(QStringLiteral("patternGroup"));
    m_patternGroup->setMinimumSize(Twips::size(3735, 2055));

    auto *nameLabel = new QLabel(QStringLiteral("名称："), m_patternGroup);
    nameLabel->setObjectName(QStringLiteral("nameLabel"));
    m_patternCombo = new QComboBox(m_patternGroup);
    m_patternCombo->setObjectName(QStringLiteral("patternCombo"));
    m_patternCombo->setEditable(true);
    m_patternCombo->setInsertPolicy(QComboBox::NoInsert);
    nameLabel->setBuddy(m_patternCombo);
    connect(m_patternCombo, &QComboBox::currentTextChanged, this, [this](const QString &text) { m_findPattern = text; });

    auto *volumeLabel = new QLabel(QStringLiteral("搜索："), m_patternGroup);
    volumeLabel->setObjectName(QStringLiteral("volumeLabel"));
    m_volumeCombo = new QComboBox(m_patternGroup);
    m_volumeCombo->setObjectName(QStringLiteral("volumeCombo"));
    volumeLabel->setBuddy(m_volumeCombo);

    auto *fields = new QGridLayout(m_patternGroup);
    fields->setContentsMargins(px(120), 0, px(240), 0);
    fields->setHorizontalSpacing(px(20));
    fields->setVerticalSpacing(0);
    fields->setColumnMinimumWidth(0, px(700));
    fields->setColumnStretch(1, 1);
    fields->setRowStretch(0, 1);
    fields->setRowMinimumHeight(2, px(405));
    fields->setRowStretch(4, 1);
    for (QWidget *row : {static_cast<QWidget *>(nameLabel), static_cast<QWidget *>(m_patternCombo),
                         static_cast<QWidget *>(volumeLabel), static_cast<QWidget *>(m_volumeCombo)})
        row->setMinimumHeight(px(kRowHeight));
    fields->addWidget(nameLabel, 1, 0);
    fields->addWidget(m_patternCombo, 1, 1);
    fields->addWidget(volumeLabel, 3, 0);
    fields->addWidget(m_volumeCombo, 3, 1);

    m_buttonGroup = new QGroupBox(this);
    m_buttonGroup->setObjectName(QStringLiteral("buttonGroup"));
    m_buttonGroup->setMinimumHeight(px(2055));
    auto *buttons = new QVBoxLayout(m_buttonGroup);
    // The gaps between the buttons give way first when the buttons need more room. The frame's
    // own border lies inside the designed 120-twip margins.
    buttons->setContentsMargins(px(75), px(360), px(75), px(90));
    buttons->setSpacing(0);
    const auto button = [this, buttons](const QString &name, const QString &text) {
        auto *b = new QPushButton(text, m_buttonGroup);
        b->setObjectName(name);
        b->setMinimumHeight(Twips::toPixels(405));
        // As wide as the frame lets it be: its designed width shows its text whole.
        b->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        buttons->addWidget(b);
        return b;
    };
    m_findButton = button(QStringLiteral("findButton"), QStringLiteral("开始查找"));
    buttons->addStretch(1);
    m_stopButton = button(QStringLiteral("stopButton"), QStringLiteral("停止"));
    buttons->addStretch(1);
    m_closeButton = button(QStringLiteral("closeButton"), QStringLiteral("关闭查找"));
    // The pattern frame, not this one, takes what the window gains.
    m_buttonGroup->setFixedWidth(px(1455));
    m_stopButton->setEnabled(false);
    m_findButton->setDefault(true);
    connect(m_findButton, &QPushButton::clicked, this, &FinderWindow::startSearch);
    connect(m_stopButton, &QPushButton::clicked, this, &FinderWindow::stopSearch);
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::close);

    m_progressLabel = new QLabel(QStringLiteral("查找"), this);
    m_progressLabel->setObjectName(QStringLiteral("progressLabel"));
    m_progressLabel->setMinimumHeight(px(240));
    // A long line does not widen the window: it is cut, and its tool tip shows it whole.
    m_progressLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);

    m_matches = new MatchListModel(this);
    m_matchList = new QListView(this);
    m_matchList->setObjectName(QStringLiteral("matchList"));
    m_matchList->setModel(m_matches);
    m_matchList->setUniformItemSizes(true);
    m_matchList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_matchList->setMinimumSize(px(5295), px(kMinClientHeight - (kClientHeight - 2160)));
    connect(m_matchList, &QListView::doubleClicked, this, &FinderWindow::openMatch);

    auto *frames = new QHBoxLayout;
    frames->setSpacing(px(105));
    frames->addWidget(m_patternGroup, 1);
    frames->addWidget(m_buttonGroup);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(px(120), px(120), px(60), px(105));
    layout->setSpacing(0);
    layout->addLayout(frames);
    layout->addSpacing(px(225));
    layout->addWidget(m_progressLabel);
    layout->addWidget(m_matchList, 1);
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
