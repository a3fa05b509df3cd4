#pragma once

#include "sql_script.h"

#include <QSqlDatabase>

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <mutex>

#include <expected>

class QSqlQuery;

struct sqlite3;

namespace velscript::velsql {

// A value for the script, or the description of what went wrong (SQLite's own message where
// SQLite refused).
using Answer = std::expected<QVariant, QString>;

// One Qt SQL connection to SQLite and the VelSQL object's operations on it. Qt SQL connections
// belong to the thread that made them, so every member, the constructor and the destructor
// included, must run on one thread.
class SqlConnection {
public:
    explicit SqlConnection(QString connectionName);
    ~SqlConnection();
    SqlConnection(const SqlConnection&) = delete;
    SqlConnection& operator=(const SqlConnection&) = delete;

    // A file (made when missing) or ":memory:"; whatever was open before is closed first.
    Answer open(const QString& path);
    Answer close();
    // Rows inserted, updated or deleted. Several statements run in one transaction: all of
    // them take effect or, when one fails, none.
    Answer execute(const QString& sql, const QVariantList& values);
    // The first value of the first row, or Empty when there is no row.
    Answer scalar(const QString& sql, const QVariantList& values);
    // The rows as text (see result_text.h).
    Answer query(const QString& sql, const QVariantList& values);

    // From any thread: the statement running now, if any, ends with SQLite's "interrupted";
    // a write inside a transaction rolls the transaction back.
    void interrupt();

private:
    // The statements of a script, checked against the values before anything runs.
    std::expected<std::vector<SqlStatement>, QString> prepareScript(const QString& sql,
                                                                    const QVariantList& values);
    // Runs one statement of a script that needs exactly one (Scalar, Query).
    std::expected<void, QString> runSingle(QSqlQuery& query, const QString& operation,
                                           const QString& sql, const QVariantList& values);
    std::expected<void, QString> run(QSqlQuery& query, const SqlStatement& statement,
                                     const QVariantList& values, qsizetype& nextValue);
    void rollBack();
    void closeDatabase();

    const QString m_name;
    QSqlDatabase m_db;
    // SQLite's own handle of the open database, for interrupt(); the lock keeps it from closing
    // under an interrupt.
    std::mutex m_handleMutex;
    sqlite3* m_handle = nullptr; // guarded by m_handleMutex
};

} // namespace velscript::velsql
