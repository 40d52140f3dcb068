#pragma once

#include "platform/testing/scripteddialogs.h"
#include "store/recordstore.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// Queues the answers the next message boxes get.
inline void answer(ScriptedDialogs &dialogs, std::initializer_list<Dialogs::Answer> answers)
{
    for (const Dialogs::Answer a : answers)
        dialogs.answers.enqueue(a);
}

// A record database in a temporary folder, filled by the tests.
class HistoryFixture
{
public:
    HistoryFixture()
        : m_store(std::make_unique<RecordStore>(m_dir.filePath(QStringLiteral("filelist.db"))))
    {
    }

    RecordStore &store() { return *m_store; }
    QString folder() const { return m_dir.path() + u'/'; }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

    void add(const QString &name, const QString &category, const QDate &date, const QString &folder = {})
    {
        QVERIFY(m_store->addFileData({name, QStringLiteral("12"), category, folder.isNull() ? this->folder() : folder,
                                      QStringLiteral("https://example.com/") + name},
                                     date));
    }

    // A row whose columns are NULL except 类别.
    void addNullRow(const QString &category)
    {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("raw"));
            db.setDatabaseName(m_store->databasePath());
            QVERIFY(db.open());
            QSqlQuery query(db);
            query.prepare(QStringLiteral("INSERT INTO filedata VALUES (NULL, NULL, ?, NULL, NULL, NULL)"));
            query.addBindValue(category);
            QVERIFY(query.exec());
            db.close();
        }
        QSqlDatabase::removeDatabase(QStringLiteral("raw"));
    }

private:
    QTemporaryDir m_dir;
    std::unique_ptr<RecordStore> m_store;
};
