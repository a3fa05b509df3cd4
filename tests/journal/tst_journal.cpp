// The journal of engine calls as the window writes it: every call, creation, end and read by
// name of a session, to a JSON Lines file and to the velscript.calls category, and values that
// survive the trip exactly.
#include "engine_kit/class_ids.h"
#include "engine_kit/hosting.h"
#include "journal/journal_files.h"
#include "journal/variant_json.h"
#include "support/fake_engine.h"
#include "support/fake_velsql.h"
#include "support/recorders.h"
#include "support/test_program.h"

#include "engine_kit/hosting.h"
#include <QDateTime>
#include <QJsonArray>

#include <QtTest>

#include <cmath>
#include <cstring>

using namespace velscript;
using namespace velscript::test;

namespace {

// What the velscript.calls category printed while a capture was installed.
struct CategoryCapture {
    CategoryCapture()
    {
        lines().clear();
        warnings().clear();
        m_previous = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
                if (std::strcmp(context.category, "velscript.calls") != 0)
                    return;
                (type == QtInfoMsg ? lines() : warnings()).append(text);
            });
    }
    ~CategoryCapture() { qInstallMessageHandler(m_previous); }
    static QStringList& lines()
    {
        static QStringList captured;
        return captured;
    }
    static QStringList& warnings()
    {
        static QStringList captured;
        return captured;
    }

private:
    QtMessageHandler m_previous;
};

const QString EngineClass = QStringLiteral("velscript::test::FakeEngine");

QString created(int number)
{
    return QStringLiteral("engine %1 instance.create(\"%2\") -> Object(%3)")
        .arg(number)
        .arg(VelScriptEngineClassId, EngineClass);
}

bool sameDouble(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0 || (std::isnan(a) && std::isnan(b));
}

} // namespace

class tst_Journal : public QObject {
    Q_OBJECT

private slots:
    void init() { RecordingEngine::resetAll(); }

    void aWindowSessionIsJournaledCallByCall()
    {
        MessageRecorder messages;
        int made = 0;
        FakeEngineRegistration fakes([&made] {
            auto* fake = new FakeEngine;
            fake->set("Text", QString("Sub Main\n"));
            if (made++ == 1)
                fake->failOn("Create", "no licence");
            return fake;
        });
        JournalFile file;
        {
            frmVelScrTester form;
            form.Form_Load();
            QTest::mouseClick(form.cmdCreate, Qt::LeftButton);
            form.tabVelScript->setCurrentPage(1);
            RecordingEngine* first = RecordingEngine::made().value(0);
            first->failOn("Text", "text is locked");
            QTest::mouseClick(form.cmdGetText, Qt::LeftButton);
            first->succeedOn("Text");
            form.txtProgram->setPlainText("a\n\"b\"");
            QTest::mouseClick(form.cmdPutText, Qt::LeftButton);
            QTest::mouseClick(form.cmdCreate, Qt::LeftButton);

            // The close check reads each registered engine by name, refused while one runs.
            static_cast<FakeEngine*>(first)->scriptState = 1;
            form.show();
            QVERIFY(!form.close());
            static_cast<FakeEngine*>(first)->scriptState = 0;
            QVERIFY(form.close());
        }
        QCOMPARE(messages.messages.size(), 3);

        const QStringList expected = {
            created(0),
            "engine 0 Create(Missing) -> ok",
            // The selection's reads, then the script text loaded once more.
            "engine 0 Text.get() -> \"Sub Main\\n\"",
            "engine 0 ReadOnly.get() -> False",
            "engine 0 Visible.get() -> False",
            "engine 0 FileName.get() -> \"\"",
            "engine 0 State.get() -> 0",
            "engine 0 LineNumber.get() -> 0",
            "engine 0 Text.get() -> \"Sub Main\\n\"",
            "engine 0 Text.get() -> failed \"text is locked\"",
            "engine 0 Text.put(\"a\\n\\\"b\\\"\") -> ok",
            // A failed Create leaves the number to the next engine.
            created(1),
            "engine 1 Create(Missing) -> failed \"no licence\"",
            "engine 0 ScriptState.get() -> 1",
            "engine 0 ScriptState.get() -> 0",
            // Unload lets go of the selected engine, then of the registry.
            "engine 1 instance.end()",
            "engine 0 instance.end()",
        };
        QCOMPARE(file.readable(), expected);

        const QList<QJsonObject> entries = file.entries();
        QCOMPARE(entries.first().value("op").toString(), QString("session"));
        QCOMPARE(entries.first().value("pid").toInteger(), QCoreApplication::applicationPid());
        QList<QJsonObject> ends;
        for (qsizetype i = 1; i < entries.size(); ++i) {
            const QJsonObject& entry = entries[i];
            QVERIFY(
                QDateTime::fromString(entry.value("time").toString(), Qt::ISODateWithMs).isValid());
            QVERIFY(entry.value("args").isArray());
            if (entry.value("begun").toBool()) {
                // Written before the call is made: what and with what, no outcome yet; the
                // window makes one call at a time, so its end comes next.
                QVERIFY(!entry.contains("result") && !entry.contains("failure") &&
                        !entry.contains("us"));
                QVERIFY(i + 1 < entries.size());
                QJsonObject end = entries[i + 1];
                QCOMPARE(end.value("op"), entry.value("op"));
                QCOMPARE(end.value("args"), entry.value("args"));
                QCOMPARE(end.value("time"), entry.value("time"));
                continue;
            }
            if (entry.value("op") != "instance.end")
                QVERIFY2(entry.value("us").toInteger(-1) >= 0,
                         qPrintable(entry.value("op").toString()));
            ends.append(entry);
        }
        // Instances tell apart the two engines that carried the number 1 in turn.
        QCOMPARE(ends.at(11).value("instance").toInt(), 1);
        QCOMPARE(ends.at(13).value("byName").toBool(), true);
    }

    // The journal says what was called and answered, not where: the plugin fake's session
    // journals alike in a host process and in process.
    void aPluginSessionJournalsAlikeHostedAndInProcess()
    {
        const auto session = [](bool inProcess) {
            if (inProcess)
                qputenv("VELSCRIPT_IN_PROCESS", "1");
            qputenv("VELSCRIPT_COMPONENT_PATH", FAKE_COMPONENTS_DIR);
            const auto restore = qScopeGuard([] {
                qunsetenv("VELSCRIPT_IN_PROCESS");
                qunsetenv("VELSCRIPT_COMPONENT_PATH");
            });
            FakeVelSqlRegistration databases;
            MessageRecorder messages;
            JournalFile file;
            {
                frmVelScrTester form;
                form.Form_Load();
                QTest::mouseClick(form.cmdCreate, Qt::LeftButton);
                QTest::mouseClick(form.cmdCreate, Qt::LeftButton);
                if (isHosted(*form.objEngine.object()) == inProcess)
                    return QStringList{"the engine ran where it was not asked to"};
                form.tabVelScript->setCurrentPage(1);
                form.txtProgram->setPlainText("Sub Main\nEnd Sub\n");
                QTest::mouseClick(form.cmdPutText, Qt::LeftButton);
                QTest::mouseClick(form.cmdStart, Qt::LeftButton);
                QTest::mouseClick(form.cmdStop, Qt::LeftButton);
                form.txtObjectName->setText("db");
                QTest::mouseClick(form.cmdAddObject, Qt::LeftButton);
                QTest::mouseClick(form.cmdRemoveObject, Qt::LeftButton);
                form.tabVelScript->setCurrentPage(0);
                form.txtExecute[0]->setText("x = 1");
                QTest::mouseClick(form.cmdExecute, Qt::LeftButton);
                form.cmbIndex->setListIndex(0);
                QTest::mouseClick(form.cmdRelease, Qt::LeftButton);
                form.show();
                form.close();
            }
            return file.readable();
        };
        const QStringList inProcess = session(true);
        QVERIFY2(inProcess.size() > 20, qPrintable(inProcess.join('\n')));
        QVERIFY(!inProcess.filter("AddObject(\"db\"").isEmpty());
        QCOMPARE(session(false), inProcess);
    }

    void creationsThatMakeNoEngineAreJournaledToo()
    {
        MessageRecorder messages;
        JournalFile file;
        {
            frmVelScrTester form;
            form.Form_Load();
            {
                FakeEngineRegistration none([]() -> QObject* { return nullptr; });
                QTest::mouseClick(form.cmdCreate, Qt::LeftButton);
            }
            QTest::mouseClick(form.cmdCreate, Qt::LeftButton);
        }
        QCOMPARE(messages.messages.size(), 2);
        QCOMPARE(file.readable(),
                 QStringList({QStringLiteral("engine 0 instance.create(\"%1\") -> Empty")
                                  .arg(VelScriptEngineClassId),
                              QStringLiteral("engine 0 instance.create(\"%1\") -> failed \"%2\"")
                                  .arg(VelScriptEngineClassId, messages.messages[1].text)}));
        QVERIFY(messages.messages[1].text.contains("not registered"));
    }

    void theCategoryShowsTheSameEntriesOneLineEach()
    {
        FakeEngineRegistration fakes;
        CategoryCapture capture;
        QLoggingCategory::setFilterRules("velscript.calls.info=true");
        {
            JournalFile file;
            {
                frmVelScrTester form;
                form.Form_Load();
                QTest::mouseClick(form.cmdCreate, Qt::LeftButton);
            }
            QStringList fromFile;
            for (const QJsonObject& entry : file.entries()) {
                if (!entry.value(journal::field::Begun).toBool())
                    fromFile.append(journal::readableLine(entry));
            }
            QCOMPARE(CategoryCapture::lines(), fromFile);
            QVERIFY(CategoryCapture::lines().size() > 3);
            QVERIFY(CategoryCapture::lines().at(2).startsWith("engine 0 Create(Missing) -> ok ("));
        }
        // The category alone turns the journal on.
        CategoryCapture::lines().clear();
        {
            frmVelScrTester form;
            form.Form_Load();
            QTest::mouseClick(form.cmdCreate, Qt::LeftButton);
        }
        QLoggingCategory::setFilterRules("velscript.calls.info=false");
        QVERIFY(!CategoryCapture::lines().filter(created(0) + " (").isEmpty());
        QCOMPARE(CategoryCapture::warnings(), QStringList());
    }

    void withoutASinkCallsGoStraightToTheEngine_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<int>("reports");
        QTest::newRow("no journal file") << QString() << 0;
        QTest::newRow("file that cannot be opened") << "/nonexistent/folder/calls.jsonl" << 1;
    }
    void withoutASinkCallsGoStraightToTheEngine()
    {
        QFETCH(QString, file);
        QFETCH(int, reports);
        MessageRecorder messages;
        FakeEngineRegistration fakes;
        CategoryCapture capture;
        if (!file.isEmpty())
            qputenv("VELSCRIPT_JOURNAL", file.toUtf8());
        journal::Journal::instance().restart();
        {
            frmVelScrTester form;
            form.Form_Load();
            QTest::mouseClick(form.cmdCreate, Qt::LeftButton);
            QTest::mouseClick(form.cmdCreate, Qt::LeftButton);
            QCOMPARE(form.colEngine.count(), 2);
            QCOMPARE(&form.objEngine.engine(),
                     qobject_cast<VelScriptEngine*>(form.objEngine.object().get()));
            QCOMPARE(form.objEngine.property(ScriptStateProperty), Variant(0));
        }
        qunsetenv("VELSCRIPT_JOURNAL");
        journal::Journal::instance().restart();

        QCOMPARE(messages.messages, QList<Message>{});
        QCOMPARE(CategoryCapture::warnings().size(), reports);
        if (reports)
            QVERIFY(CategoryCapture::warnings().first().contains(file));
        QCOMPARE(CategoryCapture::lines(), QStringList());
    }

    void valuesSurviveTheJournalExactly_data()
    {
        QTest::addColumn<Variant>("value");
        QTest::newRow("empty") << Variant();
        QTest::newRow("null") << Variant::null();
        QTest::newRow("missing") << Variant::missing();
        QTest::newRow("true") << Variant::fromBoolean(True);
        QTest::newRow("Boolean that is neither") << Variant::fromBoolean(1);
        QTest::newRow("smallest integer") << Variant(std::numeric_limits<qint32>::min());
        QTest::newRow("largest integer") << Variant(std::numeric_limits<qint32>::max());
        QTest::newRow("tenth") << Variant(0.1);
        QTest::newRow("tiny") << Variant(4.9e-324);
        QTest::newRow("negative zero") << Variant(-0.0);
        QTest::newRow("infinity") << Variant(-std::numeric_limits<double>::infinity());
        QTest::newRow("not a number") << Variant(std::numeric_limits<double>::quiet_NaN());
        QTest::newRow("empty text") << Variant(QString());
        QTest::newRow("text with controls") << Variant(QString("a\r\n\t\"\\\x01 é \u20ac"));
        QTest::newRow("text that reads as a number") << Variant("12");
    }
    void valuesSurviveTheJournalExactly()
    {
        QFETCH(Variant, value);
        const QByteArray line = QJsonDocument(journal::encode(value)).toJson();
        const auto back = journal::decode(QJsonDocument::fromJson(line).object());
        QVERIFY2(back.has_value(), back ? "" : qPrintable(back.error()));
        QCOMPARE(back->kind(), value.kind());
        if (value.kind() == Variant::Kind::Double)
            QVERIFY(sameDouble(back->number(), value.number()));
        else
            QVERIFY(*back == value);
    }

    // The file's form of a double is what older journals hold, so that a replay compares them
    // alike; people read the number as the window shows it.
    void doublesKeepTheirFileFormAndReadAsTheWindowShows_data()
    {
        QTest::addColumn<double>("number");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("2^60") << std::pow(2.0, 60) << "1152921504606847000"
                              << "Double(1.152921504606847E+18)";
        QTest::newRow("1E+14") << 1e14 << "1e+14"
                               << "Double(100000000000000)";
        QTest::newRow("small") << -0.00001 << "-1e-05"
                               << "Double(-1E-05)";
        QTest::newRow("tenth") << 0.1 << "0.1"
                               << "Double(0.1)";
        QTest::newRow("negative zero") << -0.0 << "-0"
                                       << "Double(-0)";
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << "inf"
                                  << "Double(inf)";
    }
    void doublesKeepTheirFileFormAndReadAsTheWindowShows()
    {
        QFETCH(double, number);
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        const QJsonObject encoded = journal::encode(Variant(number));
        QCOMPARE(encoded, (QJsonObject{{"kind", "Double"}, {"value", stored}}));
        QCOMPARE(journal::readable(encoded), shown);
    }

    void objectsAreJournaledByClass()
    {
        const ObjectRef engine = std::make_shared<FakeEngine>();
        QCOMPARE(journal::encode(Variant(engine)),
                 (QJsonObject{{"kind", "Object"},
                              {"class", EngineClass},
                              {"classId", VelScriptEngineClassId}}));
        QCOMPARE(journal::encode(Variant(std::make_shared<QObject>())),
                 (QJsonObject{{"kind", "Object"}, {"class", "QObject"}}));
        QCOMPARE(journal::encode(Variant(ObjectRef())), (QJsonObject{{"kind", "Object"}}));
        QCOMPARE(journal::readable(journal::encode(Variant(ObjectRef()))), QString("Nothing"));
    }

    void malformedValuesAreRefused_data()
    {
        QTest::addColumn<QJsonObject>("encoded");
        QTest::newRow("unknown kind") << QJsonObject{{"kind", "Currency"}, {"value", 1}};
        QTest::newRow("no kind") << QJsonObject{{"value", 1}};
        QTest::newRow("Boolean out of range") << QJsonObject{{"kind", "Boolean"}, {"value", 70000}};
        QTest::newRow("integer out of range")
            << QJsonObject{{"kind", "Integer"}, {"value", 4294967296.0}};
        QTest::newRow("fractional integer") << QJsonObject{{"kind", "Integer"}, {"value", 1.5}};
        QTest::newRow("double as a number") << QJsonObject{{"kind", "Double"}, {"value", 1.5}};
        QTest::newRow("double that is no number")
            << QJsonObject{{"kind", "Double"}, {"value", "one"}};
        QTest::newRow("text as a number") << QJsonObject{{"kind", "Text"}, {"value", 1}};
    }
    void malformedValuesAreRefused()
    {
        QFETCH(QJsonObject, encoded);
        QVERIFY(!journal::decode(encoded).has_value());
    }
};

VELSCRIPT_TEST_MAIN(tst_Journal)
#include "tst_journal.moc"
