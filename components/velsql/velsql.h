#pragma once

#include "engine_kit/velsql_object.h"

#include <QObject>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <condition_variable>
#include <memory>
#include <mutex>

class QThread;

namespace velscript {

namespace velsql {
class ConnectionThread;
}

// The VelSQL object: an SQLite database that scripts reach as an add-in, `db.Execute(sql, ...)`.
//
// Values after the SQL text are bound to its `?` placeholders in order, so a script never pastes
// values into SQL. A failed call answers an AddInError carrying SQLite's message (or why the
// call could not be made), which the script sees as a run-time error; LastError keeps that
// description until a later call succeeds. LastError belongs to the object, so scripts that
// share it share LastError too; each script's Err is its own.
//
// Every call runs on the object's own thread, which owns its one connection, in the order the
// calls came; any thread may call, at any time, and waits for its answer. Engines given the same
// object share that connection and its transaction: a ROLLBACK in one script also undoes what
// another wrote since the BEGIN, so a transaction belongs inside one script.
class VelSql : public QObject, public VelSqlObject {
    Q_OBJECT
    Q_INTERFACES(velscript::VelSqlObject)
    Q_CLASSINFO("VelScriptThreadSafe", "true")
    Q_PROPERTY(QString LastError READ lastError)

public:
    explicit VelSql(QObject* parent = nullptr);
    // Calls still waiting are answered that the object has been released; the one under way
    // finishes first, and the object ends once every caller has its answer.
    ~VelSql() override;

    // Opens a database file, made when missing, or ":memory:" for a database that ends with
    // Close. Whatever was open before is closed first.
    Q_INVOKABLE QVariant Open(const QVariant& path);
    Q_INVOKABLE QVariant Close();
    // Runs one or more statements, separated by semicolons, in one transaction; answers the
    // number of rows inserted, updated or deleted.
    Q_INVOKABLE QVariant Execute(const QVariant& sql, const QVariantList& values);
    // The first value of the first row, or Empty when the statement gives no row.
    Q_INVOKABLE QVariant Scalar(const QVariant& sql, const QVariantList& values);
    // The rows as text: a header line, then one line a row (see result_text.h).
    Q_INVOKABLE QVariant Query(const QVariant& sql, const QVariantList& values);

    // An engine whose script stops: the call its script's thread CALLER waits in is interrupted
    // and answers an error; SQLite rolls back a write it interrupts inside a transaction.
    Q_INVOKABLE void VelScriptCancel(QThread* caller);

    QString lastError() const;
    // How many calls have been made and not yet answered, for whoever must wait for them.
    int callsUnderWay() const;

private:
    template <class Job> QVariant call(const QString& operation, Job job);

    mutable std::mutex m_mutex;
    std::condition_variable m_allAnswered;
    QString m_lastError; // guarded by m_mutex
    int m_underWay = 0;  // guarded by m_mutex
    bool m_ending = false;
    std::unique_ptr<velsql::ConnectionThread> m_connection;
};

} // namespace velscript
