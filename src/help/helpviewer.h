#pragma once

#include <QPointer>
#include <QWidget>

class ProgramFolder;
class QTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

// The help viewer "帮助主题": the help document beside a tree of its topics. Clicking a topic
// selects the topic's first occurrence in the document. Deletes itself when closed.
class HelpViewer final : public QWidget
{
    Q_OBJECT

public:
    explicit HelpViewer(QString documentPath, QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(HelpViewer)
    ~HelpViewer() override;

    // The help document readme.txt: the program folder's, or, for a program whose data folder
    // lies elsewhere, the installed share folder's or the one beside the executable.
    static QString documentPath(const ProgramFolder &programFolder);

    // Shows the viewer held in `viewer`, creating it first when it is not open, and brings it forward.
    static HelpViewer *showViewer(QPointer<HelpViewer> &viewer, const ProgramFolder &programFolder);

    // Item data roles of the tree's nodes.
    static constexpr int KeyRole = Qt::UserRole;
    static constexpr int ImageRole = Qt::UserRole + 1;
    static constexpr int SelectedImageRole = Qt::UserRole + 2;
    static constexpr int TagRole = Qt::UserRole + 3;

private:
    void loadDocument(const QString &path);
    void loadHelpTree();
    void onTopicClicked(QTreeWidgetItem *node);

    QTreeWidget *m_tree = nullptr;
    QTextEdit *m_text = nullptr;
};
