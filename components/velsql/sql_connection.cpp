#include "sql_connection.h"

#include "result_text.h"

#include "engine_kit/storable_text.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

#include <sqlite3.h>

#include <cmath>
#include <limits>

namespace velscript::velsql {

namespace {

const QString SavepointName = QStringLiteral("velsql_execute");

QString describe(const QSqlError& error)
{
    const QString sqlite = error.databaseText();
    return sqlite.isEmpty() ? error.driverText() : sqlite;
}

QString notOpen()
{
    return QStringLiteral("No database is open: call Open first.");
}

// A script's value as SQLite stores it, or why it cannot be stored.
std::expected<QVariant, QString> bindable(const QVariant& value, qsizetype position)
{
    if (!value.isValid() || value.isNull())
        return QVariant(QMetaType::fromType<QString>()); // SQL NULL
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::QByteArray:
        return value;
    case QMetaType::Double:
    case QMetaType::Float:
        // SQLite stores not-a-number as NULL, and an infinity could not be read back into a
        // script's number.
        if (!std::isfinite(value.toDouble()))
            return std::unexpected(
                QStringLiteral("Value %1 for the placeholders is %2, which the database cannot "
                               "store as a number.")
                    .arg(position + 1)
                    .arg(std::isnan(value.toDouble()) ? QStringLiteral("not a number")
                                                      : QStringLiteral("infinite")));
        return value;
    case QMetaType::QString: {
        // The driver binds a null QString as SQL NULL, yet a script's empty text is a text.
        const QString text = value.toString();
        if (const qsizetype lone = loneSurrogateAt(text); lone >= 0)
            return std::unexpected(loneSurrogateRefused(
                QStringLiteral("Value %1 for the placeholders").arg(position + 1), text, lone));
        return text.isNull() ? QVariant(QString(QLatin1StringView(""))) : value;
    }
    default:
        return std::unexpected(
            QStringLiteral("Value %1 for the placeholders is a %2, which cannot be stored in the "
                           "database.")
                .arg(position + 1)
                .arg(QLatin1StringView(value.metaType().name())));
    }
}

// A stored value as the script receives it: numbers as int or double, texts, Null.
QVariant scriptValue(const QSqlQuery& query, int column)
{
    if (query.isNull(column))
        return QVariant::fromValue(nullptr);
    const QVariant value = query.value(column);
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int: {
        const qlonglong n = value.toLongLong();
        if (n >= std::numeric_limits<int>::min() && n <= std::numeric_limits<int>::max())
            return int(n);
        return double(n);
    }
    case QMetaType::Double:
        return value.toDouble();
    case QMetaType::QByteArray:
        return cellText(value);
    default:
        return value.toString();
    }
}

QVariant countValue(qlonglong n)
{
    if (n <= std::numeric_limits<int>::max())
        return int(n);
    return double(n);
}

bool changesRows(const SqlStatement& statement, const QSqlQuery& query)
{
    // SQLite keeps the count of the last statement that changed rows, so a CREATE after an
    // INSERT would report the INSERT's rows again: count only the statements that change rows.
    for (const char* word : {"INSERT", "UPDATE", "DELETE", "REPLACE"}) {
        if (statement.firstWord == QLatin1StringView(word))
            return true;
    }
    return statement.firstWord == QLatin1StringView("WITH") && !query.isSelect();
}

} // namespace

SqlConnection::SqlConnection(QString connectionName) : m_name(std::move(connectionName)) {}

SqlConnection::~SqlConnection()
{
    closeDatabase();
}

void SqlConnection::closeDatabase()
{
    if (!m_db.isValid())
        return;
    {
        const std::lock_guard lock(m_handleMutex);
        m_handle = nullptr;
    }
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
}

Answer SqlConnection::open(const QString& path)
{
    closeDatabase();
    if (path.isEmpty())
        return std::unexpected(
            QStringLiteral("Open needs the path of a database file, or \":memory:\"."));
    if (const QString refused = unusableFileName(path); !refused.isEmpty())
        return std::unexpected(refused);
    const bool missing = path != QLatin1StringView(":memory:") && !QFileInfo::exists(path);
    m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
    m_db.setDatabaseName(path);
    // A second program or object writing the same file makes this one wait a while, not fail.
    m_db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    if (!m_db.open()) {
        const QString reason = describe(m_db.lastError());
        closeDatabase();
        return std::unexpected(reason);
    }
    // SQLite reads a file only when it first needs it: read it now, so that a file that is no
    // database fails here and not at the script's first statement.
    QString reason;
    {
        QSqlQuery probe(m_db);
        if (!probe.exec(QStringLiteral("SELECT count(*) FROM sqlite_master")))
            reason = describe(probe.lastError());
        // SQLite makes a missing file, and its journal beside it, at its first write: write now,
        // so that a database that cannot be written (a folder not writable, a name too long for
        // the journal's) fails here and not at the script's first statement.
        else if (missing && (!probe.exec(QStringLiteral("BEGIN IMMEDIATE")) ||
                             !probe.exec(QStringLiteral("COMMIT"))))
            reason = describe(probe.lastError());
    }
    if (!reason.isEmpty()) {
        closeDatabase();
        // A file made here for a database that cannot be used is not left behind.
        if (missing)
            QFile::remove(path);
        return std::unexpected(reason);
    }
    const QVariant handle = m_db.driver()->handle();
    if (handle.isValid() && qstrcmp(handle.typeName(), "sqlite3*") == 0) {
        const std::lock_guard lock(m_handleMutex);
        m_handle = *static_cast<sqlite3* const*>(handle.constData());
    }
    return QVariant();
}

void SqlConnection::interrupt()
{
    const std::lock_guard lock(m_handleMutex);
    if (m_handle)
        sqlite3_interrupt(m_handle);
}

Answer SqlConnection::close()
{
    closeDatabase();
    return QVariant();
}

std::expected<std::vector<SqlStatement>, QString>
SqlConnection::prepareScript(const QString& sql, const QVariantList& values)
{
    if (!m_db.isOpen())
        return std::unexpected(notOpen());
    auto statements = splitSqlScript(sql);
    if (!statements)
        return statements;
    qsizetype placeholders = 0;
    for (const SqlStatement& statement : *statements)
        placeholders += statement.placeholders;
    if (placeholders != values.size()) {
        return std::unexpected(QStringLiteral("The SQL has %1 placeholder(s) but %2 value(s) "
                                              "were given.")
                                   .arg(placeholders)
                                   .arg(values.size()));
    }
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (auto value = bindable(values[i], i); !value)
            return std::unexpected(value.error());
    }
    return statements;
}

std::expected<void, QString> SqlConnection::run(QSqlQuery& query, const SqlStatement& statement,
                                                const QVariantList& values, qsizetype& nextValue)
{
    query.setForwardOnly(true);
    if (!query.prepare(statement.text))
        return std::unexpected(describe(query.lastError()));
    for (int i = 0; i < statement.placeholders; ++i, ++nextValue)
        query.addBindValue(*bindable(values[nextValue], nextValue));
    if (!query.exec())
        return std::unexpected(describe(query.lastError()));
    return {};
}

void SqlConnection::rollBack()
{
    // Fails harmlessly when SQLite has already rolled the whole transaction back itself.
    QSqlQuery undo(m_db);
    if (undo.exec(QStringLiteral("ROLLBACK TO ") + SavepointName))
        undo.exec(QStringLiteral("RELEASE ") + SavepointName);
}

Answer SqlConnection::execute(const QString& sql, const QVariantList& values)
{
    const auto statements = prepareScript(sql, values);
    if (!statements)
        return std::unexpected(statements.error());
    // One statement is atomic by itself and may begin or end the script's own transaction;
    // several are wrapped in a savepoint, which also nests inside such a transaction.
    const bool wrapped = statements->size() > 1;
    if (wrapped) {
        for (const SqlStatement& statement : *statements) {
            if (statement.isTransactionControl()) {
                return std::unexpected(
                    QStringLiteral("%1 begins or ends a transaction: run it in an Execute of its "
                                   "own, not among other statements.")
                        .arg(statement.firstWord));
            }
        }
        QSqlQuery begin(m_db);
        if (!begin.exec(QStringLiteral("SAVEPOINT ") + SavepointName))
            return std::unexpected(describe(begin.lastError()));
    }

    qlonglong changed = 0;
    qsizetype nextValue = 0;
    for (const SqlStatement& statement : *statements) {
        QString failure;
        {
            QSqlQuery query(m_db);
            if (auto ran = run(query, statement, values, nextValue); !ran)
                failure = ran.error();
            else if (changesRows(statement, query))
                changed += query.numRowsAffected();
        }
        if (!failure.isEmpty()) {
            if (wrapped)
                rollBack();
            return std::unexpected(failure);
        }
    }

    if (wrapped) {
        QSqlQuery commit(m_db);
        if (!commit.exec(QStringLiteral("RELEASE ") + SavepointName)) {
            const QString failure = describe(commit.lastError());
            rollBack();
            return std::unexpected(failure);
        }
    }
    return countValue(changed);
}

std::expected<void, QString> SqlConnection::runSingle(QSqlQuery& query, const QString& operation,
                                                      const QString& sql,
                                                      const QVariantList& values)
{
    const auto statements = prepareScript(sql, values);
    if (!statements)
        return std::unexpected(statements.error());
    if (statements->size() != 1) {
        return std::unexpected(
            QStringLiteral("%1 runs one SQL statement; %2 were given. Run several with Execute.")
                .arg(operation)
                .arg(statements->size()));
    }
    qsizetype nextValue = 0;
    return run(query, statements->front(), values, nextValue);
}

Answer SqlConnection::scalar(const QString& sql, const QVariantList& values)
{
    QSqlQuery query(m_db);
    if (auto ran = runSingle(query, QStringLiteral("Scalar"), sql, values); !ran)
        return std::unexpected(ran.error());
    if (!query.isSelect() || !query.next())
        return QVariant();
    return scriptValue(query, 0);
}

Answer SqlConnection::query(const QString& sql, const QVariantList& values)
{
    QSqlQuery query(m_db);
    if (auto ran = runSingle(query, QStringLiteral("Query"), sql, values); !ran)
        return std::unexpected(ran.error());
    const QSqlRecord columns = query.record();
    if (columns.isEmpty())
        return QString();

    const QString lineBreak = QStringLiteral("\r\n");
    const QChar tab = u'\t';
    QString text;
    for (int i = 0; i < columns.count(); ++i) {
        if (i > 0)
            text += tab;
        text += escapedText(columns.fieldName(i));
    }
    while (query.next()) {
        text += lineBreak;
        for (int i = 0; i < columns.count(); ++i) {
            if (i > 0)
                text += tab;
            if (!query.isNull(i))
                text += cellText(query.value(i));
        }
    }
    if (query.lastError().isValid())
        return std::unexpected(describe(query.lastError()));
    return text;
}

} // namespace velscript::velsql
