// Calling an add-in's member by name through the engine kit: a plain object through its
// meta-object, an object that answers by-name calls itself through AddInDispatch, and both from a
// script in the reference engine.

#include "engine_kit/add_in_dispatch.h"
#include "engine_test_support.h"
#include "lang/errors.h"
#include "support/test_program.h"

#include <QThread>

#include <atomic>

using namespace velscript;
using namespace velscript::engine;
using namespace velscript::engine::test;

namespace {

// An add-in that meets scripts through its meta-object.
class PlainAddIn : public QObject {
    Q_OBJECT
    Q_PROPERTY(int Level READ level WRITE setLevel)
    Q_PROPERTY(QString Name READ name)
public:
    Q_INVOKABLE int Add(int a, int b)
    {
        ++calls;
        return a + b;
    }
    Q_INVOKABLE QString Join(const QString& separator, const QVariantList& rest)
    {
        ++calls;
        QStringList parts;
        for (const QVariant& item : rest)
            parts << (item.isValid() ? item.toString() : QStringLiteral("<empty>"));
        return parts.join(separator);
    }
    Q_INVOKABLE int Count()
    {
        ++calls;
        return 3;
    }
    Q_INVOKABLE void Reset() { ++calls; }
    Q_INVOKABLE QVariant Fail() { return QVariant::fromValue(AddInError{1234, "dry"}); }
    Q_INVOKABLE void VelScriptCancel(QThread*) { ++cancels; }

    int level() const { return m_level; }
    void setLevel(int level) { m_level = level; }
    QString name() const { return QStringLiteral("plain"); }

    int calls = 0;
    int cancels = 0;

signals:
    void changed();

protected:
    Q_INVOKABLE int Secret() { return ++calls; }

private:
    int m_level = 0;
};

// An object with a Name, handed out by the dispatcher below.
class LeafAddIn : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString Name READ name)
public:
    using QObject::QObject;
    QString name() const { return QStringLiteral("leaf 1"); }
};

// Answers by-name calls itself: Sum(any number of numbers), the property Total, Explode(text)
// failing with its own error, and Child, an object of its own.
class AdderDispatch : public QObject, public AddInDispatch {
    Q_OBJECT
    Q_INTERFACES(velscript::AddInDispatch)
public:
    QVariant invokeMember(const QString& name, const QVariantList& arguments) override
    {
        note(name);
        if (is(name, "Sum")) {
            double sum = 0;
            for (const QVariant& argument : arguments) {
                bool number = false;
                sum += argument.toDouble(&number);
                if (!number)
                    return memberError(MemberError::TypeMismatch);
            }
            return sum;
        }
        if (is(name, "Explode"))
            return QVariant::fromValue(AddInError{
                1234, QStringLiteral("exploded: %1").arg(arguments.value(0).toString())});
        if (is(name, "Child") || is(name, "Total")) {
            if (!arguments.isEmpty())
                return memberError(MemberError::WrongArgumentCount);
            return is(name, "Child") ? QVariant::fromValue<QObject*>(child) : QVariant(m_total);
        }
        return memberError(MemberError::UnsupportedMember);
    }
    QVariant readMember(const QString& name) override
    {
        return is(name, "Total") ? (note(name), QVariant(m_total)) : invokeMember(name, {});
    }
    QVariant writeMember(const QString& name, const QVariant& value) override
    {
        note(name);
        if (!is(name, "Total"))
            return memberError(MemberError::UnsupportedMember);
        m_total = value.toDouble();
        return {};
    }
    QString memberClassName() const override { return QStringLiteral("Adder"); }

    LeafAddIn* child = new LeafAddIn(this);
    QStringList names; // as they arrived
    std::atomic<bool> foreignThread{false};

private:
    static bool is(const QString& name, const char* member)
    {
        return name.compare(QLatin1StringView(member), Qt::CaseInsensitive) == 0;
    }
    void note(const QString& name)
    {
        names << name;
        if (QThread::currentThread() != thread())
            foreignThread = true;
    }
    double m_total = 0;
};

class MarkedThreadSafe : public QObject {
    Q_OBJECT
    Q_CLASSINFO("VelScriptThreadSafe", "TRUE")
};

class MarkedOtherwise : public QObject {
    Q_OBJECT
    Q_CLASSINFO("VelScriptThreadSafe", "yes")
};

qint32 failureNumber(const QVariant& answer)
{
    return answer.metaType() == QMetaType::fromType<AddInError>()
               ? answer.value<AddInError>().number
               : 0;
}

QString failureText(const QVariant& answer)
{
    return answer.value<AddInError>().description;
}

} // namespace

class TestAddInDispatch : public QObject {
    Q_OBJECT

private slots:
    void plainObjectRefusals_data();
    void plainObjectRefusals();
    void plainObjectCalls();
    void callMadeReadyBeforeTheObjectIsReached();
    void dispatcherAnswersItself();
    void classNamesAndThreadSafety();
    void scriptCallsDispatcher();
};

void TestAddInDispatch::plainObjectRefusals_data()
{
    QTest::addColumn<QString>("kind"); // invoke, read or write
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariantList>("arguments"); // a write's value is the first
    QTest::addColumn<int>("number");

    const QVariantList none;
    const QVariant noThread = QVariant::fromValue<QThread*>(nullptr);
    QTest::newRow("unknown method") << "invoke"
                                    << "Nope" << none << 438;
    QTest::newRow("unknown method with arguments") << "invoke"
                                                   << "Nope" << QVariantList{1} << 438;
    QTest::newRow("unknown member read") << "read"
                                         << "Nope" << none << 438;
    QTest::newRow("unknown property written") << "write"
                                              << "Nope" << QVariantList{1} << 438;
    QTest::newRow("read-only property written") << "write"
                                                << "name" << QVariantList{"x"} << 438;
    QTest::newRow("property called with an argument") << "invoke"
                                                      << "Name" << QVariantList{1} << 438;
    QTest::newRow("method written") << "write"
                                    << "Count" << QVariantList{1} << 438;
    QTest::newRow("signal") << "invoke"
                            << "changed" << none << 438;
    QTest::newRow("protected method") << "invoke"
                                      << "Secret" << none << 438;
    QTest::newRow("cancel call") << "invoke"
                                 << "VelScriptCancel" << QVariantList{noThread} << 438;
    QTest::newRow("cancel call in another case")
        << "invoke"
        << "velscriptCANCEL" << QVariantList{noThread} << 438;
    QTest::newRow("cancel call read") << "read"
                                      << "VelScriptCancel" << none << 438;
    QTest::newRow("too few arguments") << "invoke"
                                       << "add" << QVariantList{1} << 450;
    QTest::newRow("too many arguments") << "invoke"
                                        << "Add" << QVariantList{1, 2, 3} << 450;
    QTest::newRow("none before the rest") << "invoke"
                                          << "Join" << none << 450;
    QTest::newRow("arguments for none") << "invoke"
                                        << "Reset" << QVariantList{1} << 450;
    QTest::newRow("text for an int") << "invoke"
                                     << "Add" << QVariantList{"one", 2} << 13;
    QTest::newRow("list for an int") << "invoke"
                                     << "Add" << QVariantList{1, QVariantList{2}} << 13;
    QTest::newRow("text for an int property") << "write"
                                              << "LEVEL" << QVariantList{"high"} << 13;
}

// Every refusal is known before the object is reached, carries the number and description a
// script knows it by, and leaves the object uncalled.
void TestAddInDispatch::plainObjectRefusals()
{
    QFETCH(QString, kind);
    QFETCH(QString, name);
    QFETCH(QVariantList, arguments);
    QFETCH(int, number);

    PlainAddIn plain;
    MemberCall call = kind == "invoke" ? MemberCall::invoke(plain, name, arguments)
                      : kind == "read" ? MemberCall::read(plain, name)
                                       : MemberCall::write(plain, name, arguments.value(0));
    QVERIFY(!call.callsObject());
    const QVariant answer = call.run();
    QCOMPARE(failureNumber(answer), number);
    QCOMPARE(failureText(answer), lang::errorDescription(number));
    QCOMPARE(plain.calls, 0);
    QCOMPARE(plain.cancels, 0);

    // The one-step functions answer the same.
    const QVariant again = kind == "invoke" ? invokeMember(plain, name, arguments)
                           : kind == "read" ? readMember(plain, name)
                                            : writeMember(plain, name, arguments.value(0));
    QCOMPARE(failureNumber(again), number);
}

// Names in any case, arguments converted to the parameters' types, the rest-of-arguments list,
// and properties and methods without arguments standing in for each other.
void TestAddInDispatch::plainObjectCalls()
{
    PlainAddIn plain;
    QCOMPARE(invokeMember(plain, "aDD", {2, 3}), QVariant(5));
    QCOMPARE(invokeMember(plain, "Add", {"2", 3.0}), QVariant(5));
    QCOMPARE(invokeMember(plain, "Add", {QVariant(), 3}), QVariant(3)); // Empty is 0

    QCOMPARE(invokeMember(plain, "Join", {"-"}), QVariant(QString()));
    QCOMPARE(invokeMember(plain, "join", {"-", 1, "a", QVariant(), true}),
             QVariant("1-a-<empty>-true"));
    QCOMPARE(invokeMember(plain, "Join", {1, 2, 3}), QVariant("213")); // the separator converted

    QCOMPARE(readMember(plain, "count"), QVariant(3));
    QCOMPARE(invokeMember(plain, "NAME", {}), QVariant("plain"));
    QCOMPARE(readMember(plain, "Name"), QVariant("plain"));

    QVERIFY(!writeMember(plain, "level", "7").isValid());
    QCOMPARE(plain.level(), 7);
    QCOMPARE(readMember(plain, "LEVEL"), QVariant(7));

    QVERIFY(!invokeMember(plain, "Reset", {}).isValid());
    QCOMPARE(failureNumber(invokeMember(plain, "Fail", {})), 1234);
    QCOMPARE(plain.calls, 8);
}

// Making a call ready reaches the object not at all; the call made after the object is gone
// fails instead of reaching it.
void TestAddInDispatch::callMadeReadyBeforeTheObjectIsReached()
{
    auto plain = std::make_unique<PlainAddIn>();
    MemberCall add = MemberCall::invoke(*plain, "Add", {"40", 2});
    MemberCall write = MemberCall::write(*plain, "Level", "5");
    QVERIFY(add.callsObject() && write.callsObject());
    QCOMPARE(plain->calls, 0);
    QCOMPARE(plain->level(), 0);
    QCOMPARE(add.run(), QVariant(42));
    QVERIFY(!write.run().isValid());
    QCOMPARE(plain->level(), 5);

    MemberCall late = MemberCall::invoke(*plain, "Add", {1, 2});
    plain.reset();
    const QVariant answer = late.run();
    QCOMPARE(failureNumber(answer), 440);
    QVERIFY(failureText(answer).contains("Add"));

    auto adder = std::make_unique<AdderDispatch>();
    MemberCall sum = MemberCall::invoke(*adder, "Sum", {1});
    QVERIFY(sum.callsObject());
    QVERIFY(adder->names.isEmpty());
    adder.reset();
    QCOMPARE(failureNumber(sum.run()), 440);
}

// An object that answers by-name calls gets them as they are, names as written, and its own
// answers back; only the cancel call is refused before it reaches the object.
void TestAddInDispatch::dispatcherAnswersItself()
{
    AdderDispatch adder;
    QCOMPARE(invokeMember(adder, "SUM", {1, "2", 3.5}), QVariant(6.5));
    QCOMPARE(failureNumber(invokeMember(adder, "Sum", {"x"})), 13);
    QVERIFY(!writeMember(adder, "total", 4).isValid());
    QCOMPARE(readMember(adder, "Total"), QVariant(4.0));
    QCOMPARE(failureNumber(readMember(adder, "Nope")), 438);
    QCOMPARE(failureText(invokeMember(adder, "Explode", {"now"})), "exploded: now");
    QCOMPARE(adder.names, (QStringList{"SUM", "Sum", "total", "Total", "Nope", "Explode"}));

    adder.names.clear();
    QCOMPARE(failureNumber(invokeMember(adder, "VelScriptCancel", {})), 438);
    QCOMPARE(failureNumber(readMember(adder, "velscriptcancel")), 438);
    QCOMPARE(failureNumber(writeMember(adder, "VelScriptCancel", 1)), 438);
    QVERIFY(adder.names.isEmpty());
}

void TestAddInDispatch::classNamesAndThreadSafety()
{
    PlainAddIn plain;
    AdderDispatch adder;
    QCOMPARE(memberClassName(adder), "Adder");
    QCOMPARE(memberClassName(plain), QString::fromLatin1(plain.metaObject()->className()));

    MarkedThreadSafe marked;
    MarkedOtherwise unmarked;
    QVERIFY(isThreadSafe(marked));
    QVERIFY(!isThreadSafe(unmarked));
    QVERIFY(!isThreadSafe(plain));
}

// A script calls an object that answers by-name calls as it calls any other, on the object's own
// thread: its methods, properties and failures, and an object it hands out.
void TestAddInDispatch::scriptCallsDispatcher()
{
    auto adder = std::make_shared<AdderDispatch>();
    ObjectRef object = adder;
    auto engine =
        createdEngine(QStringLiteral("Sub Main\n"
                                     "  Log TypeName(adder) & \" \" & adder.Sum(1, 2, 3)\n"
                                     "  ADDER.total = 5\n"
                                     "  Log adder.TOTAL\n"
                                     "  Set leaf = adder.Child\n"
                                     "  Log TypeName(leaf) & \": \" & leaf.Name\n"
                                     "  On Error Resume Next\n"
                                     "  adder.Explode \"dry\"\n"
                                     "  Log Err.Number & \": \" & Err.Description\n"
                                     "  Err.Clear\n"
                                     "  adder.Missing 1\n"
                                     "  Log Err.Number & \": \" & Err.Description\n"
                                     "  Err.Clear\n"
                                     "  Log adder.Sum(\"many\")\n"
                                     "  Log Err.Number & \": \" & Err.Description\n"
                                     "  On Error GoTo 0\n"
                                     "  adder.Total 1\n"
                                     "End Sub\n"));
    QVERIFY(engine);
    ENGINE_OK(engine->AddObject(QStringLiteral("adder"), object));
    ENGINE_OK(engine->Start(1, Variant::missing()));
    ENGINE_REST(*engine);
    QCOMPARE(
        entries(*engine).mid(1),
        (QStringList{"Adder 6", "5", "LeafAddIn: leaf 1", "1234: exploded: dry",
                     "438: Object doesn't support this property or method", "13: Type mismatch",
                     "Run-time error 450 at line 17: Wrong number of arguments or invalid "
                     "property assignment"}));
    QCOMPARE(value(engine->ExitCode()), Variant(qint32(450)));
    QCOMPARE(adder->names.first(), "Sum");
    QVERIFY(adder->names.contains("total") && adder->names.contains("TOTAL"));
    QVERIFY(!adder->foreignThread);
}

VELSCRIPT_TEST_MAIN(TestAddInDispatch)
#include "tst_engine_add_in_dispatch.moc"
