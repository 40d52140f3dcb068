#pragma once

#include <QString>
#include <QWidget>

class FrmMdi;
class RichEdit;
struct EditorState;

// One document window of the editor: a text area holding one plain-text file (or a new
// document), its change marker, and the close question for unsaved changes.
class FrmMdiChild final : public QWidget
{
    Q_OBJECT

public:
    // Starts as the editor state says: a new document (openMode 0) or the file openFilePath.
    FrmMdiChild(FrmMdi &frame, EditorState &state);
    ~FrmMdiChild() override;
    Q_DISABLE_COPY_MOVE(FrmMdiChild)

    RichEdit *ricEdit() const { return m_ricEdit; }

    // The change marker: "0" means unchanged, anything else changed.
    QString txtChange() const { return m_txtChange; }
    void setTxtChange(const QString &marker);
    bool docChanged() const { return m_docChanged; }

    QString docPath() const { return m_docPath; }
    void setDocPath(const QString &path);
    QString caption() const { return windowTitle(); }

    int selectionLength() const;
    QString plainText() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void formLoad();
    void ricEditSelChange();
    void ricEditGotFocus();
    void refreshChanged();
    void applyStandardIndents();

    FrmMdi &m_frame;
    EditorState &m_state;
    RichEdit *m_ricEdit = nullptr;
    QString m_txtChange = QStringLiteral("txtChange");
    QString m_docPath;
    bool m_docChanged = true;
    bool m_formatting = false;
};
