#pragma once

#include <QSqlDatabase>
#include <QSqlQuery>

// A second connection to a database, as another program holding it would have.
class ForeignConnection final
{
public:
    explicit ForeignConnection(const QString &path)
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name());
        db.setDatabaseName(path);
        db.open();
    }
    ~ForeignConnection()
    {
        QSqlDatabase::database(name(), false).close();
        QSqlDatabase::removeDatabase(name());
    }
    Q_DISABLE_COPY_MOVE(ForeignConnection)
    QSqlQuery query() const { return QSqlQuery(QSqlDatabase::database(name(), false)); }
    bool exec(const QString &statement) const { return query().exec(statement); }
    static QString name() { return QStringLiteral("foreign"); }
};
