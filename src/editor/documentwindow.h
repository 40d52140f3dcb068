#pragma once

#include <QString>
#include <QWidget>

class Dialogs;
class DocumentTextEdit;

// One document of the editor: a text area holding one plain-text file (or a new document),
// its modified state and the question about unsaved changes when it closes.
class DocumentWindow final : public QWidget
{
    Q_OBJECT

public:
    // Loads `filePath` as plain text; with no path the window holds a new document.
    // A file that cannot be read is reported, and the window stays open without a file.
    explicit DocumentWindow(Dialogs &dialogs, const QString &filePath = QString(), QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(DocumentWindow)

    // Names a new document "新记录<number>"; it counts as changed until saved.
    void newFile(int number);

    // "保存(&S)": to the window's file, or under a new name when it has none.
    // False when nothing was saved (cancelled or failed).
    bool save();
    // "文件另存(&A)": asks for a name, writes there and takes the name as the window's file.
    bool saveAs();

    DocumentTextEdit *textEdit() const { return m_textEdit; }
    QString filePath() const { return m_filePath; }
    QString caption() const { return m_caption; }
    bool isModified() const;
    bool hasSelection() const;
    int selectionLength() const;
    QString plainText() const;

    static QString fileFilter();

Q_SIGNALS:
    // The document was written under a name the user chose.
    void savedAs(const QString &filePath);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void loadFile();
    bool writeFile(const QString &path);
    void setCaption(const QString &caption);
    void applyStandardIndents();
    bool maybeSave();

    Dialogs &m_dialogs;
    DocumentTextEdit *m_textEdit = nullptr;
    QString m_filePath;
    QString m_caption;
};
