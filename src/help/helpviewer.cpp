#include "help/helpviewer.h"

#include "common/gbktextfile.h"
#include "common/programfolder.h"
#include "common/twips.h"
#include "help/helptopics.h"
#include "platform/windowcentring.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHash>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const QString kDocumentName = QStringLiteral("readme.txt");

// The image list: chapters as folders, topics as pages, the root as the help sign.
QHash<QString, QIcon> helpImages(const QStyle *style)
{
    const QList<QStyle::StandardPixmap> pictures{QStyle::SP_DirClosedIcon, QStyle::SP_DirOpenIcon,
                                                 QStyle::SP_FileIcon, QStyle::SP_FileDialogContentsView,
                                                 QStyle::SP_DialogHelpButton};
    const QStringList keys = HelpTopics::imageKeys();
    QHash<QString, QIcon> images;
    for (qsizetype i = 0; i < keys.size(); ++i)
        images.insert(keys.at(i), style->standardIcon(pictures.at(i)));
    return images;
}

QIcon nodeIcon(const QHash<QString, QIcon> &images, const HelpTopic &topic)
{
    QIcon icon;
    for (const QSize size : {QSize(16, 16), QSize(32, 32)}) {
        icon.addPixmap(images.value(topic.image).pixmap(size), QIcon::Normal);
        icon.addPixmap(images.value(topic.selectedImage).pixmap(size), QIcon::Selected);
    }
    return icon;
}

} // namespace

// The topic tree on the left; the document, with "关闭" below it, takes what the window gains
// when it is enlarged. At 100 % the window has its designed size, and that is its smallest.
HelpViewer::HelpViewer(QString documentPath, QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    const auto px = [](int twips) { return Twips::toPixels(twips); };
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("帮助主题"));

    m_tree = new QTreeWidget(this);
    m_tree->setObjectName(QStringLiteral("topicTree"));
    m_tree->setAccessibleName(QStringLiteral("帮助主题"));
    m_tree->setFixedWidth(px(3000));
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);

    m_text = new QTextEdit(this);
    m_text->setObjectName(QStringLiteral("documentView"));
    m_text->setAccessibleName(QStringLiteral("帮助文档"));
    m_text->setMinimumSize(Twips::size(6375, 5295));
    m_text->setReadOnly(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);

    auto *close = new QPushButton(QStringLiteral("关闭"), this);
    close->setObjectName(QStringLiteral("closeButton"));
    // Its designed width, which shows its text whole, rather than the style's wider default.
    close->setFixedWidth(px(855));
    close->setMinimumHeight(px(375));
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto *documentSide = new QVBoxLayout;
    documentSide->setContentsMargins(0, 0, 0, px(240));
    documentSide->setSpacing(px(225));
    documentSide->addWidget(m_text, 1);
    documentSide->addWidget(close, 0, Qt::AlignHCenter);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, px(30), px(150));
    layout->setSpacing(0);
    layout->addWidget(m_tree);
    layout->addLayout(documentSide, 1);
    const QSize designSize = Twips::size(9405, 6285);
    setMinimumSize(designSize.expandedTo(layout->totalMinimumSize()));
    resize(minimumSize());
    centreOnScreen(this);

    loadDocument(documentPath);
    loadHelpTree();
    connect(m_tree, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem *node) { onTopicClicked(node); });
    connect(m_tree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *node) { onTopicClicked(node); });
}

HelpViewer::~HelpViewer() = default;

QString HelpViewer::documentPath(const ProgramFolder &programFolder)
{
    const QString inProgramFolder = programFolder.filePath(kDocumentName);
    if (QFileInfo::exists(inProgramFolder))
        return inProgramFolder;
    const QString executableFolder = QCoreApplication::applicationDirPath();
    const QString shareFolder = ProgramFolder::installedShareFolder(executableFolder);
    const QString installed = shareFolder.isEmpty() ? QString() : QDir(shareFolder).filePath(kDocumentName);
    const QString besideProgram = QDir(executableFolder).filePath(kDocumentName);
    for (const QString &candidate : {installed, besideProgram}) {
        if (!candidate.isEmpty() && QFileInfo::exists(candidate))
            return candidate;
    }
    return inProgramFolder;
}

HelpViewer *HelpViewer::showViewer(QPointer<HelpViewer> &viewer, const ProgramFolder &programFolder)
{
    if (!viewer)
        viewer = new HelpViewer(documentPath(programFolder));
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    return viewer;
}

void HelpViewer::loadDocument(const QString &path)
{
    QString error;
    if (const auto text = GbkTextFile::read(path, &error)) {
        m_text->setPlainText(*text);
        return;
    }
    m_text->setPlainText(QStringLiteral("找不到帮助文档，或者它无法读取：\n%1\n\n%2")
                             .arg(QDir::toNativeSeparators(path), error));
}

void HelpViewer::loadHelpTree()
{
    const QHash<QString, QIcon> images = helpImages(style());
    QTreeWidgetItem *root = nullptr;
    QTreeWidgetItem *chapter = nullptr;
    for (const HelpTopic &topic : HelpTopics::all()) {
        QTreeWidgetItem *node = nullptr;
        switch (topic.level) {
        case HelpTopic::Level::Root:
            node = root = new QTreeWidgetItem(m_tree);
            node->setData(0, TagRole, QStringLiteral("root"));
            break;
        case HelpTopic::Level::Chapter:
            node = chapter = new QTreeWidgetItem(root);
            break;
        case HelpTopic::Level::Topic:
            node = new QTreeWidgetItem(chapter);
            break;
        }
        node->setText(0, topic.text);
        node->setData(0, KeyRole, topic.key);
        node->setData(0, ImageRole, topic.image);
        node->setData(0, SelectedImageRole, topic.selectedImage);
        node->setIcon(0, nodeIcon(images, topic));
    }
    if (root)
        root->setExpanded(true);
}

void HelpViewer::onTopicClicked(QTreeWidgetItem *node)
{
    if (!node)
        return;
    QTextCursor caret(m_text->document());
    caret.setPosition(std::min(1, m_text->document()->characterCount() - 1));
    m_text->setTextCursor(caret);
    // QTextDocument::find ignores letter case unless asked otherwise.
    const QTextCursor found = m_text->document()->find(node->text(0), 0);
    if (!found.isNull()) {
        m_text->setTextCursor(found);
        // Bring the heading to the top of the view, so its section reads below it.
        QScrollBar *scroll = m_text->verticalScrollBar();
        scroll->setValue(scroll->value() + m_text->cursorRect(found).top());
    }
}
