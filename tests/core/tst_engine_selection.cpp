// Creating, selecting and releasing engines through the real window, with recording fake engines
// made by the component service.
#include "engine_kit/class_ids.h"
#include "support/fake_engine.h"
#include "support/recorders.h"
#include "support/test_program.h"

#include <QtTest>

using namespace velscript;
using namespace velscript::test;

namespace {

const QStringList SelectionReads = {"Text",     "ReadOnly", "Visible",
                                    "FileName", "State",    "LineNumber"};

QStringList listEntries(const DropDownList* list)
{
    QStringList entries;
    for (int i = 0; i < list->listCount(); ++i)
        entries << list->entryText(i);
    return entries;
}

QStringList registryKeys(const frmVelScrTester& form)
{
    QStringList keys;
    for (const auto& entry : form.colEngine)
        keys << entry.key;
    return keys;
}

// The engine-dependent controls are switched together; two of them stand for all.
bool panelsEnabled(const frmVelScrTester& form)
{
    const bool enabled = !form.cmdGetText->testAttribute(Qt::WA_ForceDisabled);
    if (form.fraScrText->testAttribute(Qt::WA_ForceDisabled) == enabled)
        qFatal("engine-dependent controls disagree");
    return enabled;
}

RecordingEngine* engine(int serial)
{
    return RecordingEngine::made().value(serial);
}

class Window {
public:
    Window() { form.Form_Load(); }
    frmVelScrTester form;
    void create() { QTest::mouseClick(form.cmdCreate, Qt::LeftButton); }
    void release() { QTest::mouseClick(form.cmdRelease, Qt::LeftButton); }
    void choose(int index) { form.cmbIndex->setListIndex(index); }
};

} // namespace

class tst_EngineSelection : public QObject {
    Q_OBJECT

private slots:
    void init() { RecordingEngine::resetAll(); }

    void createCallsAndState()
    {
        MessageRecorder messages;
        FakeEngineRegistration fakes([] {
            auto* fake = new FakeEngine;
            fake->set("Text", QString("Sub Main\n  Log 1\nEnd Sub\n"));
            fake->set("ReadOnly", Variant::fromBoolean(True));
            fake->set("FileName", QString("/tmp/a.vbs"));
            fake->set("State", -3);
            fake->set("LineNumber", 12);
            return fake;
        });
        Window w;
        w.create();

        QVERIFY(messages.messages.isEmpty());
        // Only the read-only box changes, so only its value is written back.
        QCOMPARE(engine(0)->calls,
                 (QStringList{"Create=<missing>", "Text", "ReadOnly", "ReadOnly=True", "Visible",
                              "FileName", "State", "LineNumber", "Text"}));
        QCOMPARE(listEntries(w.form.cmbIndex), QStringList{"0"});
        QCOMPARE(w.form.cmbIndex->listIndex(), 0);
        QCOMPARE(registryKeys(w.form), QStringList{"#0"});
        QCOMPARE(w.form.lngNextNo, 1);
        QVERIFY(w.form.objEngine == w.form.colEngine.item("#0"));
        QVERIFY(w.form.cmbIndex->isEnabled());
        QVERIFY(w.form.cmdCreate->isEnabled());
        QVERIFY(panelsEnabled(w.form));
        QCOMPARE(w.form.txtProgram->toPlainText(), QString("Sub Main\n  Log 1\nEnd Sub\n"));
        QCOMPARE(w.form.chkReadOnly->value(), 1);
        QCOMPARE(w.form.chkVisible->value(), 0);
        QCOMPARE(w.form.txtFileName->text(), QString("/tmp/a.vbs"));
        QCOMPARE(w.form.lblState->text(), QString("-3"));
        QCOMPARE(w.form.lblLineNumber->text(), QString("12"));
        QCOMPARE(w.form.focusWidget(), w.form.tabVelScript->tabStrip());
    }

    void secondCreateAndChoosingAnEarlierEngine()
    {
        FakeEngineRegistration fakes;
        Window w;
        w.create();
        engine(0)->set("Text", QString("zero"));
        engine(0)->set("Visible", Variant::fromBoolean(True));
        w.create();
        QCOMPARE(listEntries(w.form.cmbIndex), (QStringList{"0", "1"}));
        QCOMPARE(w.form.cmbIndex->listIndex(), 1);
        QCOMPARE(registryKeys(w.form), (QStringList{"#0", "#1"}));
        QCOMPARE(w.form.lngNextNo, 2);
        QVERIFY(w.form.objEngine == w.form.colEngine.item("#1"));

        engine(0)->calls.clear();
        engine(1)->calls.clear();
        w.choose(0);
        QVERIFY(w.form.objEngine == w.form.colEngine.item("#0"));
        // The visibility box changes too, and its handler writes the new value back at once.
        QCOMPARE(engine(0)->calls, (QStringList{"Text", "ReadOnly", "Visible", "Visible=True",
                                                "FileName", "State", "LineNumber"}));
        QVERIFY(engine(1)->calls.isEmpty());
        QCOMPARE(w.form.txtProgram->toPlainText(), QString("zero"));
        QCOMPARE(w.form.chkVisible->value(), 1);
    }

    void visibleWriteFailingInsideTheSelectionIsReportedAndTheSelectionGoesOn()
    {
        MessageRecorder messages;
        FakeEngineRegistration fakes;
        Window w;
        w.create();
        w.create();
        engine(0)->set("Visible", Variant::fromBoolean(True));
        engine(0)->set("FileName", QString("/s/zero.vbs"));
        engine(0)->failOn("Visible=", "window is gone");
        engine(0)->calls.clear();

        w.choose(0);
        QCOMPARE(messages.messages,
                 (QList<Message>{{QString("window is gone"), MessageIcon::Warning}}));
        QCOMPARE(engine(0)->calls, (QStringList{"Text", "ReadOnly", "Visible", "Visible=True",
                                                "FileName", "State", "LineNumber"}));
        QCOMPARE(w.form.chkVisible->value(), 1);
        QCOMPARE(w.form.txtFileName->text(), QString("/s/zero.vbs"));
        QVERIFY(w.form.objEngine == w.form.colEngine.item("#0"));
        QVERIFY(panelsEnabled(w.form));

        // Back to an engine whose window is hidden: the box clears and False is written.
        engine(1)->calls.clear();
        w.choose(1);
        QCOMPARE(engine(1)->calls.filter("Visible"), (QStringList{"Visible", "Visible=False"}));
        QCOMPARE(w.form.chkVisible->value(), 0);
    }

    void releaseTheMiddleOfThree()
    {
        MessageRecorder messages;
        FakeEngineRegistration fakes;
        Window w;
        w.create();
        w.create();
        w.create();
        w.choose(1);
        const int released = engine(1)->serial;
        w.form.tabVelScript->setCurrentPage(1);
        w.release();

        QVERIFY(messages.messages.isEmpty());
        QVERIFY(RecordingEngine::journal().contains(QString("%1:Release=<missing>").arg(released)));
        QVERIFY(!engine(1)); // its last reference went with the registry entry
        QCOMPARE(listEntries(w.form.cmbIndex), (QStringList{"0", "2"}));
        QCOMPARE(w.form.cmbIndex->listIndex(), 1);
        QCOMPARE(registryKeys(w.form), (QStringList{"#0", "#2"}));
        QVERIFY(w.form.objEngine == w.form.colEngine.item("#2"));
        QCOMPARE(w.form.tabVelScript->currentPage(), 0);
        QVERIFY(w.form.picTab[0]->isEnabled());
        QVERIFY(panelsEnabled(w.form));
        QVERIFY(w.form.cmdCreate->isEnabled());
        QVERIFY(w.form.cmbIndex->isEnabled());
    }

    void releaseTheOnlyEngine()
    {
        FakeEngineRegistration fakes;
        Window w;
        w.create();
        w.release();
        QCOMPARE(w.form.cmbIndex->listCount(), 0);
        QVERIFY(!w.form.cmbIndex->isEnabled());
        QVERIFY(!panelsEnabled(w.form));
        QVERIFY(!w.form.objEngine);
        QVERIFY(w.form.cmdCreate->isEnabled());
        QVERIFY(!engine(0));

        w.create();
        QCOMPARE(listEntries(w.form.cmbIndex), QStringList{"1"});
        QCOMPARE(registryKeys(w.form), QStringList{"#1"});
    }

    void releaseRefusedWhileRunning()
    {
        MessageRecorder messages;
        FakeEngineRegistration fakes;
        Window w;
        w.create();
        w.create();
        engine(1)->set("State", 1);
        w.release();

        QCOMPARE(messages.messages,
                 (QList<Message>{{QString("Program is still running."), MessageIcon::Error}}));
        QVERIFY(!engine(1)->calls.contains("Release=<missing>"));
        QCOMPARE(registryKeys(w.form), (QStringList{"#0", "#1"}));
        QCOMPARE(w.form.cmbIndex->listIndex(), 1);
        QVERIFY(w.form.objEngine == w.form.colEngine.item("#1"));
        QVERIFY(panelsEnabled(w.form));
        QVERIFY(w.form.cmbIndex->isEnabled());
        QVERIFY(w.form.cmdCreate->isEnabled());
    }

    void releaseWithNoEngineDoesNothing()
    {
        MessageRecorder messages;
        Window w;
        w.form.cmdRelease->setEnabled(true); // reachable only by code; still nothing happens
        w.form.cmdRelease->click();
        QVERIFY(messages.messages.isEmpty());
        QVERIFY(w.form.cmdCreate->isEnabled());
        QVERIFY(!w.form.cmbIndex->isEnabled());
    }

    void serviceYieldsNoInstance()
    {
        MessageRecorder messages;
        FakeEngineRegistration none([]() -> QObject* { return nullptr; });
        Window w;
        w.create();
        QCOMPARE(messages.messages, (QList<Message>{{QString("Failed Create VelScript Engine."),
                                                     MessageIcon::Error}}));
        QCOMPARE(w.form.colEngine.count(), 0);
        QCOMPARE(w.form.cmbIndex->listCount(), 0);
        QCOMPARE(w.form.lngNextNo, 0);
        QVERIFY(w.form.cmdCreate->isEnabled());
        QVERIFY(w.form.cmbIndex->isEnabled());
        QVERIFY(!panelsEnabled(w.form));
    }

    void serviceFails()
    {
        MessageRecorder messages;
        std::optional<FakeEngineRegistration> fakes(std::in_place);
        Window w;
        w.create();
        const EngineRef selected = w.form.objEngine;
        fakes.reset(); // the engine class is no longer registered
        w.create();

        QCOMPARE(messages.messages.size(), 1);
        QCOMPARE(messages.messages[0].icon, MessageIcon::Warning);
        QVERIFY2(messages.messages[0].text.contains(VelScriptEngineClassId),
                 qPrintable(messages.messages[0].text));
        QVERIFY(w.form.objEngine == selected);
        QCOMPARE(registryKeys(w.form), QStringList{"#0"});
        QCOMPARE(w.form.lngNextNo, 1);
        QVERIFY(w.form.cmdCreate->isEnabled());
        QVERIFY(w.form.cmbIndex->isEnabled());
        QVERIFY(!panelsEnabled(w.form));
    }

    void engineCreateFails()
    {
        MessageRecorder messages;
        FakeEngineRegistration fakes([] {
            auto* fake = new FakeEngine;
            fake->failOn("Create", "no licence");
            return fake;
        });
        Window w;
        w.create();
        QCOMPARE(messages.messages,
                 (QList<Message>{{QString("no licence"), MessageIcon::Warning}}));
        QVERIFY(w.form.objEngine.object().get() == engine(0)); // held, but neither filed nor listed
        QCOMPARE(w.form.colEngine.count(), 0);
        QCOMPARE(w.form.cmbIndex->listCount(), 0);
        QCOMPARE(w.form.lngNextNo, 0);
        QVERIFY(!panelsEnabled(w.form));
        QVERIFY(w.form.cmdCreate->isEnabled());

        // A later Create replaces the reference, and the unfiled engine ends.
        w.create();
        QVERIFY(!engine(0));
    }

    void readFailsInsideTheSelectionDuringCreate()
    {
        MessageRecorder messages;
        FakeEngineRegistration fakes([] {
            auto* fake = new FakeEngine;
            fake->failOn("FileName", "file name unreadable");
            return fake;
        });
        Window w;
        w.create();

        QCOMPARE(messages.messages.size(), 2);
        QCOMPARE(messages.messages[0].text, QString("file name unreadable"));
        QCOMPARE(messages.messages[0].icon, MessageIcon::Warning);
        QCOMPARE(messages.messages[1].text, failures::missingObject()); // the second text load
        QCOMPARE(messages.messages[1].icon, MessageIcon::Warning);
        QVERIFY(!w.form.objEngine);
        QVERIFY(panelsEnabled(w.form));
        QVERIFY(w.form.cmbIndex->isEnabled());
        QCOMPARE(registryKeys(w.form), QStringList{"#0"});
        QCOMPARE(w.form.lngNextNo, 1);

        // Each panel now reports the missing engine through its own trap.
        w.form.tabVelScript->setCurrentPage(1);
        messages.messages.clear();
        QTest::mouseClick(w.form.cmdPutText, Qt::LeftButton);
        QTest::mouseClick(w.form.chkReadOnly, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(messages.messages.size(), 2);
        for (const Message& message : messages.messages)
            QCOMPARE(message.text, failures::missingObject());
        QCOMPARE(w.form.chkReadOnly->value(), 1); // the user's click stays

        // Choosing the entry again selects the engine.
        engine(0)->succeedOn("FileName");
        w.form.cmbIndex->setListIndex(-1);
        w.choose(0);
        QVERIFY(w.form.objEngine == w.form.colEngine.item("#0"));
    }

    void releaseOperationFails_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::newRow("Release") << "Release";
        QTest::newRow("State") << "State";
    }

    void releaseOperationFails()
    {
        QFETCH(QString, operation);
        MessageRecorder messages;
        FakeEngineRegistration fakes;
        Window w;
        w.create();
        engine(0)->failOn(operation, operation + " refused");
        w.release();

        QCOMPARE(messages.messages,
                 (QList<Message>{{operation + " refused", MessageIcon::Warning}}));
        QVERIFY(w.form.cmdCreate->isEnabled());
        QVERIFY(!w.form.cmbIndex->isEnabled());
        QVERIFY(!panelsEnabled(w.form));
        QCOMPARE(registryKeys(w.form), QStringList{"#0"});
        QCOMPARE(w.form.cmbIndex->listIndex(), 0);
        QVERIFY(w.form.objEngine == w.form.colEngine.item("#0"));

        // A successful Create makes everything usable again.
        w.create();
        QVERIFY(panelsEnabled(w.form));
        QVERIFY(w.form.cmbIndex->isEnabled());
    }

    void engineNumberOverflow()
    {
        MessageRecorder messages;
        FakeEngineRegistration fakes;
        Window w;
        w.form.lngNextNo = 2147483647;
        w.create();

        QCOMPARE(messages.messages, (QList<Message>{{failures::overflow(), MessageIcon::Warning}}));
        QCOMPARE(registryKeys(w.form), QStringList{"#2147483647"});
        QCOMPARE(listEntries(w.form.cmbIndex), QStringList{"2147483647"});
        QCOMPARE(w.form.cmbIndex->listIndex(), 0);
        QVERIFY(w.form.objEngine == w.form.colEngine.item("#2147483647"));
        QCOMPARE(w.form.lngNextNo, 2147483647);
        QVERIFY(panelsEnabled(w.form)); // the selection had enabled them
        QVERIFY(w.form.cmdCreate->isEnabled());

        messages.messages.clear();
        w.create();
        QCOMPARE(messages.messages.size(), 1);
        QCOMPARE(messages.messages[0].text, failures::keyPresent("#2147483647"));
        QCOMPARE(registryKeys(w.form), QStringList{"#2147483647"});
        QCOMPARE(w.form.cmbIndex->listCount(), 1);
        QVERIFY(w.form.objEngine.object().get() == engine(1)); // the unfiled new engine
    }

    void closeCheckNamesEnginesByTheirListEntries()
    {
        MessageRecorder messages;
        FakeEngineRegistration fakes;
        Window w;
        w.create();
        w.create();
        w.create();
        static_cast<FakeEngine*>(engine(1))->scriptState = 2;
        w.form.show();
        QVERIFY(!w.form.close());
        QCOMPARE(messages.messages.last().text,
                 QString("VelScript Engine No.(1)\r\nProgram is still running."));

        w.choose(0);
        w.release();
        QCOMPARE(registryKeys(w.form), (QStringList{"#1", "#2"}));
        QVERIFY(!w.form.close());
        QCOMPARE(messages.messages.last().text,
                 QString("VelScript Engine No.(1)\r\nProgram is still running."));
    }
};

VELSCRIPT_TEST_MAIN(tst_EngineSelection)
#include "tst_engine_selection.moc"
