// Every operation of the engine interface, called with every kind of value in every argument
// that takes any value, answers a result: a wrong kind is a failure with a description, never an
// exception out of the engine. The operations come from the replay's table of the interface, so
// a new one is covered without a line here.

#include "engine_kit/engine_operations.h"
#include "engine_test_support.h"
#include "support/test_program.h"

#include <QtTest>

using namespace velscript;
using namespace velscript::engine;
using namespace velscript::engine::test;

Q_DECLARE_METATYPE(velscript::Variant)

namespace {

// One value of every kind a Variant has, and the name a failure shows for it.
QList<std::pair<QString, Variant>> everyKind()
{
    return {{QStringLiteral("Empty"), Variant()},
            {QStringLiteral("Null"), Variant::null()},
            {QStringLiteral("Missing"), Variant::missing()},
            {QStringLiteral("True"), Variant::fromBoolean(True)},
            {QStringLiteral("False"), Variant::fromBoolean(False)},
            {QStringLiteral("Integer -7"), Variant(qint32(-7))},
            {QStringLiteral("Double 2.5"), Variant(2.5)},
            {QStringLiteral("Text"), Variant(QStringLiteral("yes"))},
            {QStringLiteral("empty Text"), Variant(QString())},
            {QStringLiteral("Object"), Variant(ObjectRef(std::make_shared<QObject>()))}};
}

// A value of the kind a typed argument asks for.
Variant typedValue(QChar letter, const QString& folder)
{
    switch (letter.unicode()) {
    case 'T':
        return Variant(folder + QStringLiteral("/arguments.vbs"));
    case 'B':
        return Variant::fromBoolean(True);
    case 'I':
        return Variant(qint32(1));
    case 'O':
        return Variant(ObjectRef(std::make_shared<QObject>()));
    default:
        return Variant();
    }
}

} // namespace

class TestEngineArguments : public QObject {
    Q_OBJECT

private slots:
    void everyKindInEveryArgumentIsAnAnswer_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("argument");
        QTest::addColumn<Variant>("value");
        int rows = 0;
        for (const OperationInfo& about : operationInfos()) {
            const QString name = QLatin1StringView(about.journalName);
            const QLatin1StringView kinds(about.argumentKinds);
            for (qsizetype i = 0; i < kinds.size(); ++i) {
                if (kinds[i] != u'V')
                    continue;
                for (const auto& [kind, value] : everyKind()) {
                    QTest::addRow("%s argument %d %s", qPrintable(name), int(i) + 1,
                                  qPrintable(kind))
                        << name << int(i) << value;
                    ++rows;
                }
            }
        }
        // The interface has a dozen operations that take any value; a table that lost them would
        // leave this test with nothing to check.
        QVERIFY(rows >= 12 * int(everyKind().size()));
    }
    void everyKindInEveryArgumentIsAnAnswer()
    {
        QFETCH(QString, operation);
        QFETCH(int, argument);
        QFETCH(Variant, value);
        QTemporaryDir dir;
        auto engine = createdEngine(stepped);
        QVERIFY(engine);
        const OperationInfo* call = findOperation(operation);
        const QLatin1StringView kinds(call->argumentKinds);
        QList<Variant> arguments;
        for (qsizetype i = 0; i < kinds.size(); ++i)
            arguments.append(i == argument ? value : typedValue(kinds[i], dir.path()));
        try {
            // A failure is a fine answer here; only an escaping exception is wrong.
            static_cast<void>(apply(*engine, call->id, arguments));
        } catch (const std::exception& escaped) {
            QFAIL(qPrintable(QStringLiteral("An exception left the engine: ") +
                             QString::fromUtf8(escaped.what())));
        } catch (...) {
            QFAIL("An exception left the engine.");
        }
        // Whatever the call did, an engine not released still answers and comes to rest.
        if (operation != QLatin1StringView("Release")) {
            ENGINE_OK(engine->Stop(int(StopMode::Immediate), Variant::missing()));
            ENGINE_REST(*engine);
        }
    }
};

VELSCRIPT_TEST_MAIN(TestEngineArguments)
#include "tst_engine_arguments.moc"
