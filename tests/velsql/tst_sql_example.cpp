// sql.vbs and other scripts using the VelSQL object through the script language. The engine's own
// add-in bridge is not at hand here, so a small adapter stands in for it and keeps to the same
// contract: methods by name, values as QVariants, failures as run-time errors.

#include "add_in_call.h"
#include "lang/interpreter.h"
#include "velsql/velsql.h"

#include <QFile>
#include <QtTest>

#include <thread>

using namespace Qt::StringLiterals;
using velscript::VelSql;
namespace lang = velscript::lang;

namespace {

QVariant toVariant(const lang::Value& value)
{
    switch (value.type()) {
    case lang::Type::Empty:
        return QVariant();
    case lang::Type::Null:
        return QVariant::fromValue(nullptr);
    case lang::Type::Boolean:
        return value.boolean();
    case lang::Type::Integer:
        return value.integer();
    case lang::Type::Double:
        return value.number();
    case lang::Type::String:
        return value.string();
    default:
        throw lang::RuntimeError(lang::ErrorNumber::TypeMismatch);
    }
}

lang::Value toValue(const QVariant& value)
{
    if (!value.isValid())
        return lang::Value();
    if (value.isNull())
        return lang::Value::null();
    switch (value.typeId()) {
    case QMetaType::Bool:
        return lang::Value(value.toBool());
    case QMetaType::Int:
        return lang::Value(std::int32_t(value.toInt()));
    case QMetaType::Double:
        return lang::Value(value.toDouble());
    default:
        return lang::Value(value.toString());
    }
}

class AddInAdapter : public lang::HostObject {
public:
    explicit AddInAdapter(QObject& object) : m_object(object) {}

    lang::Value call(const QString& name, std::span<const lang::Value> args) override
    {
        QVariantList arguments;
        for (const lang::Value& arg : args)
            arguments.append(toVariant(arg));
        const QVariant answer = velscript::test::callAddIn(m_object, qPrintable(name), arguments);
        if (velscript::test::isAddInError(answer))
            throw lang::RuntimeError(1, velscript::test::failureOf(answer));
        return toValue(answer);
    }
    lang::Value getProperty(const QString& name) override
    {
        const QMetaObject* meta = m_object.metaObject();
        for (int i = 0; i < meta->propertyCount(); ++i) {
            if (name.compare(QLatin1StringView(meta->property(i).name()), Qt::CaseInsensitive) == 0)
                return toValue(meta->property(i).read(&m_object));
        }
        return HostObject::getProperty(name);
    }

private:
    QObject& m_object;
};

class LogHost : public lang::Host {
public:
    void log(const QString& text) override { entries << text; }
    QStringList entries;
};

// Runs a script's module statements and then Main, with the object bound as db.
struct Script {
    LogHost host;
    lang::Interpreter interpreter{host};

    Script(VelSql& db, const QString& source)
    {
        interpreter.bindObject(u"db"_s, std::make_shared<AddInAdapter>(db));
        if (const auto error = interpreter.load(source))
            qFatal("%s", qPrintable(error->text()));
    }
    QString run()
    {
        lang::Outcome outcome = interpreter.runModule();
        if (outcome.finished() && interpreter.hasRoutine(u"Main"_s))
            outcome = interpreter.callRoutine(u"Main"_s);
        return outcome.failed() ? outcome.error.text() : QString();
    }
};

} // namespace

class TestSqlExample : public QObject {
    Q_OBJECT

private slots:
    void sqlExampleKeepsAndShowsItsRows()
    {
        QFile file(QStringLiteral(EXAMPLES_DIR "/sql.vbs"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        VelSql db;
        Script example(db, QString::fromUtf8(file.readAll()));
        QCOMPARE(example.run(), QString());
        QCOMPARE(example.host.entries,
                 QStringList({u"4 rows added"_s, u"In stock: 158"_s,
                              u"name\tprice\tstock\r\nO'Neill's pear\t0.75\t\r\napple\t0.5\t120\r\n"
                              "date\t2.25\t8"_s,
                              u"Trapped: no such table: vegetables"_s,
                              u"LastError: no such table: vegetables"_s}));

        // Another script given the same object reads what the example left.
        Script reader(db, u"Sub Main\nLog db.Scalar(\"SELECT count(*) FROM fruit\")\nEnd Sub\n"_s);
        QCOMPARE(reader.run(), QString());
        QCOMPARE(reader.host.entries, QStringList{u"4"_s});
    }

    void anUntrappedSqlErrorStopsTheScript()
    {
        VelSql db;
        Script script(db, u"Log \"before\"\ndb.Execute \"CREATE TABLE t (x)\"\nLog \"after\"\n"_s);
        QCOMPARE(script.run(), u"Run-time error 1: No database is open: call Open first."_s);
        QCOMPARE(script.host.entries, QStringList{u"before"_s});
    }

    // Two engines' scripts, each on its own thread, write through the same object at once.
    void twoScriptsWriteAtOnce()
    {
        VelSql db;
        QVERIFY(!velscript::test::isAddInError(
            velscript::test::callAddIn(db, "Open", {u":memory:"_s})));
        QVERIFY(!velscript::test::isAddInError(
            velscript::test::callAddIn(db, "Execute", {u"CREATE TABLE t (who, n)"_s})));
        const QString writer = u"Sub Main\n"
                               "  Dim i\n"
                               "  For i = 1 To 200\n"
                               "    db.Execute \"INSERT INTO t VALUES (?, ?)\", Who, i\n"
                               "  Next\n"
                               "End Sub\n"_s;
        Script first(db, u"Const Who = \"first\"\n"_s + writer);
        Script second(db, u"Const Who = \"second\"\n"_s + writer);
        QString firstOutcome, secondOutcome;
        std::thread one([&] { firstOutcome = first.run(); });
        std::thread two([&] { secondOutcome = second.run(); });
        one.join();
        two.join();
        QCOMPARE(firstOutcome, QString());
        QCOMPARE(secondOutcome, QString());
        QCOMPARE(velscript::test::callAddIn(
                     db, "Scalar", {u"SELECT count(DISTINCT who || n) FROM t WHERE n <= 200"_s}),
                 QVariant(400));
    }
};

QTEST_GUILESS_MAIN(TestSqlExample)
#include "tst_sql_example.moc"
