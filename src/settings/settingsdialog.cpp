#include "settings/settingsdialog.h"

#include "common/twips.h"
#include "platform/volumelist.h"
#include "platform/windowcentring.h"
#include "settings/settingsstore.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

enum Page { FolderPage = 0, EditorPage = 1, AutoRunPage = 2 };

QFont songTi(qreal pointSize)
{
    QFont font(QStringLiteral("宋体"));
    font.setPointSizeF(pointSize);
    return font;
}

// 确定 stays left of 取消 on every desktop, whatever order the desktop gives dialog buttons.
class ConfirmFirstStyle final : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == SH_DialogButtonLayout)
            return QDialogButtonBox::WinLayout;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

SettingsDialog::SettingsDialog(SettingsStore &store, Settings &settings, ProgramFolder programFolder,
                           QString programPath, MessageHook showMessage, QWidget *parent)
    : QDialog(parent)
    , m_logic(store, settings, programFolder, std::move(programPath))
    , m_showMessage(std::move(showMessage))
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("系统设置"));
    setFont(songTi(10.5));

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("pageTabs"));
    m_tabs->addTab(buildFolderPage(), QStringLiteral("存盘路径"));
    m_tabs->addTab(buildEditorPage(), QStringLiteral("后台编辑"));
    m_tabs->addTab(buildAutoRunPage(), QStringLiteral("自动启动"));

    m_buttonBox = new QDialogButtonBox(this);
    auto *buttonOrder = new ConfirmFirstStyle;
    buttonOrder->setParent(m_buttonBox);
    m_buttonBox->setStyle(buttonOrder);
    m_buttonBox->setCenterButtons(true);
    const auto addButton = [this](const QString &text, QDialogButtonBox::ButtonRole role, const QString &name) {
        QPushButton *button = m_buttonBox->addButton(text, role);
        button->setObjectName(name);
        // Enter confirms nothing: in the folder text it shows the typed folder in the list.
        button->setAutoDefault(false);
        button->setFixedSize(Twips::size(975, 375));
        return button;
    };
    m_confirmButton = addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole, QStringLiteral("confirmButton"));
    m_cancelButton = addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole, QStringLiteral("cancelButton"));
    connect(m_buttonBox, &QDialogButtonBox::accepted, this, &SettingsDialog::accept);
    connect(m_buttonBox, &QDialogButtonBox::rejected, this, &SettingsDialog::reject);

    // At 100 % the pages take 4215 twips square and the buttons sit centred below them, 345
    // twips apart; the dialog may grow from there.
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, Twips::toPixels(4230 - 4215), Twips::toPixels(4755 - 4320 - 375));
    layout->setSpacing(Twips::toPixels(4320 - 4215));
    layout->addWidget(m_tabs, 1);
    layout->addWidget(m_buttonBox);
    m_buttonBox->layout()->setSpacing(Twips::toPixels(2280 - 960 - 975));
    setMinimumSize(Twips::size(4230, 4755));
    resize(minimumSize());
    centreOnScreen(this);

    connect(m_tabs, &QTabWidget::currentChanged, this, &SettingsDialog::onPageChanged);
    openingCheck();
}

SettingsDialog::~SettingsDialog() = default;

QWidget *SettingsDialog::buildFolderPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("folderPage"));
    auto *layout = new QVBoxLayout(page);

    auto *label = new QLabel(QStringLiteral("文本存盘路径:"), page);
    m_folderEdit = new QLineEdit(page);
    m_folderEdit->setObjectName(QStringLiteral("folderEdit"));
    label->setBuddy(m_folderEdit);
    connect(m_folderEdit, &QLineEdit::editingFinished, this, &SettingsDialog::onFolderEditingFinished);

    m_drives = new QComboBox(page);
    m_drives->setObjectName(QStringLiteral("volumeCombo"));
    m_drives->setAccessibleName(QStringLiteral("驱动器"));
    fillDrives();
    connect(m_drives, &QComboBox::currentIndexChanged, this, &SettingsDialog::onVolumeChanged);

    m_folderModel = new QFileSystemModel(this);
    m_folderModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_folderModel->setRootPath(QDir::rootPath());
    m_folders = new QTreeView(page);
    m_folders->setObjectName(QStringLiteral("folderTree"));
    m_folders->setAccessibleName(QStringLiteral("文件夹"));
    m_folders->setModel(m_folderModel);
    m_folders->setHeaderHidden(true);
    m_folders->setIndentation(12);
    for (int column = 1; column < m_folderModel->columnCount(); ++column)
        m_folders->hideColumn(column);
    connect(m_folders->selectionModel(), &QItemSelectionModel::currentChanged, this, &SettingsDialog::onFolderTreeChanged);
    // The model reads and sorts folders in the background, moving rows as it goes; the current
    // folder is kept in view until the user takes the list in hand.
    const auto follow = [this] {
        if (m_followCurrent)
            m_folders->scrollTo(m_folders->currentIndex(), QAbstractItemView::PositionAtCenter);
    };
    connect(m_folderModel, &QFileSystemModel::directoryLoaded, this, follow);
    connect(m_folderModel, &QAbstractItemModel::layoutChanged, this, follow);
    connect(m_folderModel, &QAbstractItemModel::rowsInserted, this, follow);
    connect(m_folders, &QTreeView::pressed, this, [this] { m_followCurrent = false; });
    connect(m_folders->verticalScrollBar(), &QScrollBar::actionTriggered, this, [this] { m_followCurrent = false; });

    auto *image = new QLabel(page);
    image->setObjectName(QStringLiteral("folderPicture"));
    image->setPixmap(style()->standardIcon(QStyle::SP_DirOpenIcon).pixmap(32, 32));
    auto *hint = new QLabel(QStringLiteral("选择或建立!"), page);
    hint->setFont(songTi(12));
    auto *hintRow = new QHBoxLayout;
    hintRow->addWidget(image);
    hintRow->addWidget(hint, 1);

    layout->addWidget(label);
    layout->addWidget(m_folderEdit);
    layout->addWidget(m_drives);
    layout->addWidget(m_folders, 1);
    layout->addLayout(hintRow);
    return page;
}

QWidget *SettingsDialog::buildEditorPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("editorPage"));
    auto *layout = new QVBoxLayout(page);
    m_editGroup = new QButtonGroup(this);
    const std::array<QString, 4> captions{QStringLiteral("“Notavo”后台编辑"), QStringLiteral("使用“记事本”"),
                                          QStringLiteral("使用“WPS2000”"), QStringLiteral("使用“Microsoft Word”")};
    for (int index = 0; index < 4; ++index) {
        auto *option = new QRadioButton(captions[static_cast<std::size_t>(index)], page);
        option->setObjectName(QStringLiteral("editorOption%1").arg(index));
        m_editGroup->addButton(option, index);
        m_editOptions[static_cast<std::size_t>(index)] = option;
        layout->addWidget(option);
    }
    layout->addStretch(1);
    auto *note = new QLabel(QStringLiteral("* 选择后台编辑可以为你快速处理文档 *"), page);
    note->setWordWrap(true);
    layout->addWidget(note);
    return page;
}

QWidget *SettingsDialog::buildAutoRunPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("startPage"));
    auto *layout = new QVBoxLayout(page);
    m_autoRun = new QCheckBox(QStringLiteral("开机后自动启动“Notavo”"), page);
    m_autoRun->setObjectName(QStringLiteral("startWithSystemCheck"));
    m_autoEdit = new QCheckBox(QStringLiteral("存盘后自动打开后台编辑"), page);
    m_autoEdit->setObjectName(QStringLiteral("openAfterSavingCheck"));
    layout->addWidget(m_autoRun);
    layout->addWidget(m_autoEdit);

    // Browsers show their address bar to the accessibility bus only while the desktop's
    // accessibility is on; Windows needs no switch for that.
    m_accessibility = new QCheckBox(QStringLiteral("允许打开桌面的辅助功能"), page);
    m_accessibility->setObjectName(QStringLiteral("accessibilityCheck"));
    auto *cost = new QLabel(QStringLiteral("浏览器经辅助功能提供地址栏，拖入的文字才能带上网址；"
                                           "打开后浏览器会多占一些内存和处理器。"),
                            page);
    cost->setObjectName(QStringLiteral("accessibilityCost"));
    cost->setWordWrap(true);
    cost->setFont(songTi(9));
    cost->setForegroundRole(QPalette::PlaceholderText);
    // Under the check box's text, not under its box.
    const int indent = m_accessibility->style()->pixelMetric(QStyle::PM_IndicatorWidth)
        + m_accessibility->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing);
    cost->setContentsMargins(indent, 0, 0, 0);
    layout->addSpacing(layout->spacing() * 2);
    layout->addWidget(m_accessibility);
    layout->addWidget(cost);
    layout->addStretch(1);
#ifdef Q_OS_WIN
    m_accessibility->hide();
    cost->hide();
#endif
    return page;
}

void SettingsDialog::fillDrives()
{
    // The list holds each root as the folder model names it: without a final separator.
    for (const Volume &volume : VolumeList::available(QDir::homePath())) {
        const QString root = QDir::cleanPath(volume.root);
        m_drives->addItem(QDir::toNativeSeparators(root), root);
    }
}

void SettingsDialog::openingCheck()
{
    // Until a folder is shown the folder list stands at the program folder.
    showFolder(m_logic.resolvedFolder(QString()));
    if (m_logic.openingCheck()) {
        showFolder(m_logic.resolvedFolder(m_logic.settings().saveFolder));
    } else if (m_showMessage) {
        m_showMessage(SettingsDialogLogic::missingFolderMessage());
    }
    m_folderEdit->setText(m_logic.settings().saveFolder);
    // The switches show the stored state from the start, so confirming without visiting
    // their page keeps them as they are.
    m_autoRun->setChecked(m_logic.storedAutoRun());
    m_autoEdit->setChecked(m_logic.storedAutoOpen());
    m_accessibility->setChecked(m_logic.storedTurnOnAccessibility());
    m_tabs->setCurrentIndex(FolderPage);
}

bool SettingsDialog::runStartupCheck(SettingsStore &store, Settings &settings, const ProgramFolder &programFolder,
                                   const MessageHook &showMessage)
{
    SettingsDialogLogic logic(store, settings, programFolder, QString());
    const auto firstStart = logic.prepareFirstStart();
    if (firstStart != SettingsDialogLogic::ConfirmOutcome::Saved && showMessage)
        showMessage(logic.messageFor(firstStart));
    const bool found = logic.openingCheck();
    if (!found && showMessage)
        showMessage(SettingsDialogLogic::missingFolderMessage());
    logic.cancel();
    return found;
}

void SettingsDialog::onPageChanged(int index)
{
    if (index == EditorPage) {
        if (const auto option = m_logic.storedEditorOption()) {
            QRadioButton *button = editorOption(*option);
            button->setChecked(true);
            button->setFocus();
        }
    } else if (index == AutoRunPage) {
        m_autoRun->setChecked(m_logic.storedAutoRun());
        m_autoEdit->setChecked(m_logic.storedAutoOpen());
        m_accessibility->setChecked(m_logic.storedTurnOnAccessibility());
    }
}

void SettingsDialog::onVolumeChanged(int index)
{
    if (m_syncing || index < 0)
        return;
    const QModelIndex root = m_folderModel->index(m_drives->itemData(index).toString());
    m_folders->setCurrentIndex(root);
    m_folders->scrollTo(root);
    m_folders->expand(root);
    onFolderTreeChanged();
}

void SettingsDialog::onFolderTreeChanged()
{
    if (m_syncing)
        return;
    const QModelIndex current = m_folders->currentIndex();
    if (current.isValid())
        m_folderEdit->setText(QDir::toNativeSeparators(m_folderModel->filePath(current)));
}

void SettingsDialog::onFolderEditingFinished()
{
    const QString folder = m_logic.resolvedFolder(m_folderEdit->text().trimmed());
    if (!m_folderEdit->text().trimmed().isEmpty() && QFileInfo(folder).isDir())
        showFolder(folder);
}

QString SettingsDialog::volumeOf(const QString &path) const
{
    return QDir::cleanPath(VolumeList::rootOf(path));
}

void SettingsDialog::showFolder(const QString &path)
{
    if (!QFileInfo(path).isDir())
        return;
    const QString folder = QFileInfo(path).canonicalFilePath();
    m_syncing = true;
    const int drive = m_drives->findData(volumeOf(folder));
    if (drive >= 0)
        m_drives->setCurrentIndex(drive);
    const QModelIndex index = m_folderModel->index(folder);
    for (QModelIndex parent = index.parent(); parent.isValid(); parent = parent.parent())
        m_folders->expand(parent);
    m_folders->setCurrentIndex(index);
    m_folders->scrollTo(index, QAbstractItemView::PositionAtCenter);
    m_followCurrent = true;
    m_syncing = false;
}

std::optional<int> SettingsDialog::chosenEditorOption() const
{
    const int checked = m_editGroup->checkedId();
    return checked >= 0 ? std::optional<int>(checked) : std::nullopt;
}

void SettingsDialog::accept()
{
    const SettingsDialogLogic::Choices choices{m_folderEdit->text(), chosenEditorOption(), m_autoRun->isChecked(),
                                               m_autoEdit->isChecked(), m_accessibility->isChecked()};
    const bool mayBefore = m_logic.storedTurnOnAccessibility();
    const SettingsDialogLogic::ConfirmOutcome outcome = m_logic.confirm(choices);
    if (outcome == SettingsDialogLogic::ConfirmOutcome::Saved) {
        if (m_logic.storedTurnOnAccessibility() != mayBefore)
            Q_EMIT accessibilityChoiceChanged(!mayBefore);
        QDialog::accept();
        return;
    }
    // The dialog stays open with the user's choices, to be corrected or tried again.
    if (m_showMessage)
        m_showMessage(m_logic.messageFor(outcome));
    m_tabs->setCurrentIndex(FolderPage);
    m_folderEdit->setFocus();
}

void SettingsDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The button box makes 确定 the default button as it shows; Enter confirms nothing here.
    m_confirmButton->setDefault(false);
    m_cancelButton->setDefault(false);
}

void SettingsDialog::reject()
{
    m_logic.cancel();
    QDialog::reject();
}
