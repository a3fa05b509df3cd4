// Start-up, control enabling, the focus walk and the close check of the window.
#include "support/fake_engine.h"
#include "support/recorders.h"
#include "support/test_program.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabBar>
#include <QTextEdit>
#include <QtTest>

#include <memory>

using namespace velscript;
using namespace velscript::test;

namespace {

QWidget* control(QWidget& form, const QString& name)
{
    auto* widget = form.findChild<QWidget*>(name);
    if (!widget)
        qFatal("no control %s", qPrintable(name));
    return widget;
}

// Whether the control itself is switched on, whatever its containers are.
bool ownEnabled(QWidget* widget)
{
    return !widget->testAttribute(Qt::WA_ForceDisabled);
}

// Whether a person can press, type into or pick from the control. Labels and frames only show or
// group; whether those can be reached follows from these.
bool operable(QWidget* widget)
{
    return qobject_cast<QAbstractButton*>(widget) || qobject_cast<QLineEdit*>(widget) ||
           qobject_cast<QTextEdit*>(widget) || qobject_cast<QPlainTextEdit*>(widget) ||
           qobject_cast<QComboBox*>(widget) || qobject_cast<QTabBar*>(widget);
}

// The names of the window's operable controls; only those a person can reach now, or all.
QStringList operableControls(frmVelScrTester& form, bool onlyReachable = true)
{
    QStringList names;
    for (QWidget* widget : form.findChildren<QWidget*>()) {
        if (operable(widget) && !widget->objectName().isEmpty() &&
            (!onlyReachable || widget->isEnabled()))
            names << widget->objectName();
    }
    names.sort();
    return names;
}

// The operable controls a person can reach with either page on show.
QStringList reachableOnEachPage(frmVelScrTester& form)
{
    QStringList names;
    for (int page : {0, 1}) {
        form.tabVelScript->setCurrentPage(page);
        names += operableControls(form);
    }
    names.removeDuplicates();
    names.sort();
    return names;
}

// Files fake engines straight into the registry and the list, as Create would.
std::vector<FakeEngine*> registerEngines(frmVelScrTester& form, const QList<int>& numbers)
{
    std::vector<FakeEngine*> engines;
    for (int number : numbers) {
        auto* engine = new FakeEngine;
        form.colEngine.add("#" + QString::number(number), EngineRef(ObjectRef(engine)));
        form.cmbIndex->addEntry(QString::number(number));
        engines.push_back(engine);
    }
    return engines;
}

} // namespace

class tst_FormLifecycle : public QObject {
    Q_OBJECT

private slots:
    void init() { RecordingEngine::resetAll(); }

    void loadLeavesTheNoEngineState()
    {
        frmVelScrTester form;
        QCOMPARE(form.tabVelScript->currentPage(), 1); // the layout starts on page "Task"
        form.Form_Load();

        QCOMPARE(form.lngNextNo, 0);
        QCOMPARE(form.colEngine.count(), 0);
        QVERIFY(!form.objEngine);
        QVERIFY(!form.objVelSQL);

        QCOMPARE(form.cmbStart->listCount(), 5);
        QCOMPARE(form.cmbStart->currentText(), QString("One Cycle"));
        QCOMPARE(form.cmbStart->entryText(4), QString("One Cycle (Fast)"));
        QCOMPARE(form.cmbStop->listCount(), 5);
        QCOMPARE(form.cmbStop->currentText(), QString("<Default>"));
        QCOMPARE(form.cmbStop->entryText(4), QString("Initialize"));

        QCOMPARE(form.cmbIndex->listCount(), 0);
        QCOMPARE(form.cmbIndex->listIndex(), -1);
        QVERIFY(!form.cmbIndex->isEnabled());
        QVERIFY(form.cmdCreate->isEnabled());
        QVERIFY(form.cmdExit->isEnabled());

        // Page "Form" is on show and only its container is switched on.
        QCOMPARE(form.tabVelScript->currentPage(), 0);
        QVERIFY(ownEnabled(form.picTab[0]));
        QVERIFY(!ownEnabled(form.picTab[1]));
        QCOMPARE(operableControls(form), QStringList({"cmdCreate", "cmdExit"}));
        QVERIFY(!form.lblState->isEnabled());

        QCOMPARE(form.txtStartUp->text(), QString("Main"));
        QVERIFY(form.txtProgram->toPlainText().isEmpty());
        QVERIFY(form.lblState->text().isEmpty());
        for (CheckBox* box : {form.chkReadOnly, form.chkModified, form.chkVisible, form.chkEnabled})
            QCOMPARE(box->value(), 0);
    }

    void textBoxesAndListsRefuseTyping()
    {
        frmVelScrTester form;
        form.Form_Load();
        QVERIFY(form.txtFileName->isReadOnly());
        QVERIFY(form.txtHwnd->isReadOnly());
        QVERIFY(!form.cmbIndex->isEditable());
        QVERIFY(!form.cmbStart->isEditable());
        QVERIFY(!form.cmbStop->isEditable());
        QVERIFY(!form.txtProgram->isReadOnly());
    }

    // With no engine a person can reach only Create and Exit, on either page; with one, every
    // control on both pages; releasing the last engine takes the window back. A control that the
    // window forgets to switch shows up here by name.
    void onlyCreateAndExitAreReachableWithoutAnEngine()
    {
        FakeEngineRegistration fakes;
        frmVelScrTester form;
        form.Form_Load();
        const QStringList withoutEngine = {"cmdCreate", "cmdExit"};
        QCOMPARE(reachableOnEachPage(form), withoutEngine);

        QTest::mouseClick(form.cmdCreate, Qt::LeftButton);
        QVERIFY(form.objEngine);
        QStringList unreachable = operableControls(form, false);
        for (const QString& name : reachableOnEachPage(form))
            unreachable.removeOne(name);
        QCOMPARE(unreachable, QStringList());

        QTest::mouseClick(form.cmdRelease, Qt::LeftButton);
        QVERIFY(!form.objEngine);
        QCOMPARE(reachableOnEachPage(form), withoutEngine);
    }

    // Switching off twice changes nothing further, and the controls the window leaves to their
    // own handlers keep their state: Create, the engine list, Exit and the outer frame.
    void enableControlsLeavesTheOwnHandlersControlsAlone()
    {
        frmVelScrTester form;
        form.Form_Load();
        form.cmdCreate->setEnabled(false);
        form.cmbIndex->setEnabled(true);

        TesterAccess::EnableControls(form, true);
        QVERIFY(!form.cmdCreate->isEnabled());
        QVERIFY(form.cmbIndex->isEnabled());
        TesterAccess::EnableControls(form, false);
        TesterAccess::EnableControls(form, false);
        QVERIFY(!form.cmdCreate->isEnabled());
        QVERIFY(form.cmbIndex->isEnabled());
        QVERIFY(form.cmdExit->isEnabled());
        QVERIFY(form.fraVelScrObj->isEnabled());
        QCOMPARE(reachableOnEachPage(form), QStringList({"cmbIndex", "cmdExit"}));

        // Controls it leaves alone keep their own state but are out of reach in their
        // switched-off containers.
        for (const char* name : {"txtExecute(2)", "txtHwnd", "chkModified", "Frame1",
                                 "cmdGetExitCode", "lblExitCode"}) {
            QVERIFY2(ownEnabled(control(form, name)), name);
            QVERIFY2(!control(form, name)->isEnabled(), name);
        }
    }

    void switchingPagesEnablesOnlyTheShownContainer()
    {
        frmVelScrTester form;
        form.Form_Load();
        TesterAccess::EnableControls(form, true);
        form.tabVelScript->tabStrip()->setCurrentIndex(1); // as a user's click on "Task"
        QVERIFY(!ownEnabled(form.picTab[0]));
        QVERIFY(ownEnabled(form.picTab[1]));
        QVERIFY(form.picTab[1]->isVisibleTo(&form));
        QVERIFY(!form.picTab[0]->isVisibleTo(&form));
        QVERIFY(form.txtProgram->isEnabled());
        QVERIFY(!form.cmdOpen->isEnabled());

        form.tabVelScript->setCurrentPage(0);
        QVERIFY(ownEnabled(form.picTab[0]));
        QVERIFY(!ownEnabled(form.picTab[1]));
        QVERIFY(form.cmdOpen->isEnabled());
    }

    void tabKeyWalksTheFocusOrder_data()
    {
        QTest::addColumn<bool>("engineSelected");
        QTest::addColumn<QStringList>("walk");
        QTest::newRow("every control enabled")
            << true
            << QStringList{"cmbIndex",         "cmdCreate",     "cmdRelease",    "tabStrip",
                           "cmdOpen",          "cmdSave",       "txtFileName",   "cmdGetFileName",
                           "chkVisible",       "cmdShow",       "cmdHide",       "txtHwnd",
                           "cmdGetHwnd",       "txtGUIEnabled", "chkEnabled",    "cmdPutGUIEnabled",
                           "cmdGetGUIEnabled", "txtExecute(0)", "txtExecute(1)", "cmdExecute",
                           "txtExecute(2)",    "txtTag",        "cmdPutTag",     "cmdGetTag",
                           "txtLog",           "cmdGetLog",     "cmdGetLastLog", "cmdClearLog",
                           "cmdExit",          "cmbIndex"};
        QTest::newRow("no engine") << false << QStringList{"cmdCreate", "cmdExit", "cmdCreate"};
    }

    void tabKeyWalksTheFocusOrder()
    {
        QFETCH(bool, engineSelected);
        QFETCH(QStringList, walk);
        frmVelScrTester form;
        form.Form_Load();
        if (engineSelected) {
            TesterAccess::EnableControls(form, true);
            form.cmbIndex->setEnabled(true);
        }
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));

        control(form, walk.first())->setFocus(Qt::TabFocusReason);
        QStringList visited{QApplication::focusWidget()->objectName()};
        for (int i = 1; i < walk.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, walk);
    }

    void tabKeyPassesOverDisabledControls()
    {
        frmVelScrTester form;
        form.Form_Load();
        TesterAccess::EnableControls(form, true);
        form.cmdSave->setEnabled(false);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        form.cmdOpen->setFocus(Qt::TabFocusReason);
        QTest::keyClick(form.cmdOpen, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget()->objectName(), QString("txtFileName"));
    }

    void closeCheck_data()
    {
        QTest::addColumn<QList<int>>("numbers");
        QTest::addColumn<QList<int>>("running"); // positions in the registry
        QTest::addColumn<QString>("message");
        QTest::addColumn<QList<int>>("asked"); // positions whose ScriptState was read

        QTest::newRow("no engine") << QList<int>{} << QList<int>{} << QString() << QList<int>{};
        QTest::newRow("none running")
            << QList<int>{0, 1} << QList<int>{} << QString() << QList<int>{0, 1};
        QTest::newRow("one of three running")
            << QList<int>{0, 1, 2} << QList<int>{1}
            << QString("VelScript Engine No.(1)\r\nProgram is still running.") << QList<int>{0, 1};
        QTest::newRow("two running: only the first is named")
            << QList<int>{0, 1} << QList<int>{0, 1}
            << QString("VelScript Engine No.(0)\r\nProgram is still running.") << QList<int>{0};
        QTest::newRow("numbering gap after a release")
            << QList<int>{1} << QList<int>{0}
            << QString("VelScript Engine No.(1)\r\nProgram is still running.") << QList<int>{0};
        QTest::newRow("gaps: 1, 2, 5")
            << QList<int>{1, 2, 5} << QList<int>{2}
            << QString("VelScript Engine No.(5)\r\nProgram is still running.")
            << QList<int>{0, 1, 2};
    }

    void closeCheck()
    {
        QFETCH(QList<int>, numbers);
        QFETCH(QList<int>, running);
        QFETCH(QString, message);
        QFETCH(QList<int>, asked);

        MessageRecorder messages;
        frmVelScrTester form;
        form.Form_Load();
        const auto engines = registerEngines(form, numbers);
        for (int position : running)
            engines[position]->scriptState = -1;
        QList<int> serials;
        for (FakeEngine* engine : engines)
            serials << engine->serial;
        form.show();

        const bool closed = form.close();

        QCOMPARE(closed, message.isEmpty());
        QCOMPARE(form.isVisible(), !message.isEmpty());
        if (message.isEmpty()) {
            QVERIFY(messages.messages.isEmpty());
        } else {
            QCOMPARE(messages.messages, (QList<Message>{{message, MessageIcon::Error}}));
            QCOMPARE(form.colEngine.count(), numbers.size()); // nothing let go
        }
        QList<int> askedPositions;
        for (int i = 0; i < serials.size(); ++i)
            if (RecordingEngine::journal().contains(QString("%1:ScriptState").arg(serials[i])))
                askedPositions << i;
        QCOMPARE(askedPositions, asked);
    }

    void everyCloseRequestGoesThroughTheSameCheck()
    {
        MessageRecorder messages;
        frmVelScrTester form;
        form.Form_Load();
        auto engines = registerEngines(form, {0});
        engines[0]->scriptState = 1;
        form.show();

        QTest::mouseClick(form.cmdExit, Qt::LeftButton);
        QVERIFY(form.isVisible());
        QVERIFY(!TesterAccess::closeAllowed(form, frmVelScrTester::FromSessionEnd));
        form.close();
        QVERIFY(form.isVisible());
        QCOMPARE(messages.messages.size(), 3);
        for (const Message& message : messages.messages)
            QCOMPARE(message.text, QString("VelScript Engine No.(0)\r\nProgram is still running."));

        engines[0]->scriptState = 0;
        QTest::mouseClick(form.cmdExit, Qt::LeftButton);
        QVERIFY(!form.isVisible());
        QCOMPARE(form.colEngine.count(), 0);
    }

    void unreadableScriptStateEndsTheProgram_data()
    {
        QTest::addColumn<QVariant>("state");
        QTest::newRow("text") << QVariant("busy");
        QTest::newRow("null") << QVariant::fromValue(nullptr);
        QTest::newRow("no Variant form") << QVariant(QPoint(1, 2));
    }

    void unreadableScriptStateEndsTheProgram()
    {
        QFETCH(QVariant, state);
        MessageRecorder messages;
        ProgramEndRecorder ends;
        frmVelScrTester form;
        form.Form_Load();
        registerEngines(form, {0})[0]->scriptState = state;
        form.show();
        form.close();

        QCOMPARE(ends.statuses, QList<int>{1});
        QCOMPARE(untrappedExitStatus(), 1);
        QCOMPARE(messages.messages.size(), 1);
        QCOMPARE(messages.messages[0].icon, MessageIcon::Error);
        QVERIFY(!messages.messages[0].text.isEmpty());
    }

    void engineWithoutScriptStateEndsTheProgram()
    {
        MessageRecorder messages;
        ProgramEndRecorder ends;
        frmVelScrTester form;
        form.Form_Load();
        form.colEngine.add("#0", EngineRef(std::make_shared<RecordingEngine>()));
        form.cmbIndex->addEntry("0");
        form.close();
        QCOMPARE(ends.statuses, QList<int>{1});
        QCOMPARE(messages.messages.size(), 1);
        QVERIFY2(messages.messages[0].text.contains("ScriptState"),
                 qPrintable(messages.messages[0].text));
    }

    void unloadOnlyLetsGoOfReferences()
    {
        frmVelScrTester form;
        form.Form_Load();
        auto engines = registerEngines(form, {0, 1});
        QStringList ends;
        auto* unregistered = new FakeEngine;
        form.objEngine = EngineRef(ObjectRef(unregistered));
        auto* velSql = new QObject;
        form.objVelSQL = ObjectRef(velSql);
        QObject::connect(velSql, &QObject::destroyed, [&] { ends << "VelSQL"; });
        QObject::connect(unregistered, &QObject::destroyed, [&] { ends << "selected"; });
        for (int i = 0; i < int(engines.size()); ++i)
            QObject::connect(engines[i], &QObject::destroyed,
                             [&, i] { ends << QString("#%1").arg(i); });
        RecordingEngine::journal().clear();

        form.show();
        QVERIFY(form.close());

        QCOMPARE(ends, (QStringList{"VelSQL", "selected", "#0", "#1"}));
        // Ends only; no engine operation (neither Release nor anything else) was called.
        for (const QString& entry : RecordingEngine::journal())
            QVERIFY2(entry.endsWith(":end") || entry.endsWith(":ScriptState"), qPrintable(entry));
    }
};

VELSCRIPT_TEST_MAIN(tst_FormLifecycle)
#include "tst_form_lifecycle.moc"
