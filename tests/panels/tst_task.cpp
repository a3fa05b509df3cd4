// The task panel: start and stop modes, the start-up routine and the run-time values, with a
// recording fake engine behind the real window.
#include "support/panel_window.h"
#include "support/test_program.h"

#include <QtTest>

using namespace velscript;
using namespace velscript::test;

using Page = PanelWindow::Page;
using Selection = PanelWindow::Selection;

class tst_Task : public QObject {
    Q_OBJECT

private slots:
    void startAndStopSendTheirModes_data()
    {
        QTest::addColumn<bool>("start");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("call");
        const char* const startEntries[] = {"One Cycle", "Continuous", "One Step Forward",
                                            "One Step Backward", "One Cycle (Fast)"};
        const char* const stopEntries[] = {"<Default>", "Immediate Stop", "Step Stop", "Cycle Stop",
                                           "Initialize"};
        for (int i = 0; i < 5; ++i) {
            QTest::addRow("start %s", startEntries[i])
                << true << i << QString("Start=%1,<missing>").arg(i + 1);
            QTest::addRow("stop %s", stopEntries[i])
                << false << i << QString("Stop=%1,<missing>").arg(i);
        }
        QTest::newRow("start without selection") << true << -1 << "Start=0,<missing>";
        QTest::newRow("stop without selection") << false << -1 << "Stop=-1,<missing>";
    }

    void startAndStopSendTheirModes()
    {
        QFETCH(bool, start);
        QFETCH(int, index);
        QFETCH(QString, call);
        PanelWindow w(Page::TaskPage);
        (start ? w.form.cmbStart : w.form.cmbStop)->setListIndex(index);
        w.form.lblState->setText("4");
        const QStringList before = controlSnapshot(w.form);

        w.click(start ? w.form.cmdStart : w.form.cmdStop);
        // One call and nothing after it: no waiting, no refresh of the labels.
        QCOMPARE(w.engine()->calls, QStringList{call});
        QVERIFY(w.engine()->passed(start ? "Start" : "Stop").isMissing());
        QCOMPARE(controlSnapshot(w.form), before);
        QVERIFY(w.messages.messages.isEmpty());
    }

    void startAndStopFailuresShowTheEnginesDescription()
    {
        PanelWindow w(Page::TaskPage);
        w.engine()->failOn("Start", "no program loaded");
        w.engine()->failOn("Stop", "nothing runs");
        const QStringList before = controlSnapshot(w.form);
        w.click(w.form.cmdStart);
        w.click(w.form.cmdStop);
        QCOMPARE(w.messages.messages, (QList<Message>{{"no program loaded", MessageIcon::Warning},
                                                      {"nothing runs", MessageIcon::Warning}}));
        QCOMPARE(controlSnapshot(w.form), before);
    }

    void stateAndLineNumberAsDecimalText_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("-1") << -1 << "-1";
        QTest::newRow("0") << 0 << "0";
        QTest::newRow("max") << 2147483647 << "2147483647";
        QTest::newRow("min") << int(-2147483647 - 1) << "-2147483648";
    }

    void stateAndLineNumberAsDecimalText()
    {
        QFETCH(int, value);
        QFETCH(QString, text);
        PanelWindow w(Page::TaskPage);
        w.engine()->set("State", value);
        w.engine()->set("LineNumber", value);
        w.form.lblLineNumber->setText("old");
        w.click(w.form.cmdGetState);
        QCOMPARE(w.form.lblState->text(), text);
        QCOMPARE(w.form.lblLineNumber->text(), QString("old"));
        w.click(w.form.cmdGetLineNumber);
        QCOMPARE(w.form.lblLineNumber->text(), text);
        QCOMPARE(w.engine()->calls, (QStringList{"State", "LineNumber"}));
        QVERIFY(w.messages.messages.isEmpty());
    }

    void failedReadsLeaveTheLabels()
    {
        PanelWindow w(Page::TaskPage);
        w.form.lblState->setText("1");
        w.form.lblLineNumber->setText("2");
        w.engine()->failOn("State", "state unknown");
        w.engine()->failOn("LineNumber", "line unknown");
        w.click(w.form.cmdGetState);
        w.click(w.form.cmdGetLineNumber);
        QCOMPARE(w.form.lblState->text(), QString("1"));
        QCOMPARE(w.form.lblLineNumber->text(), QString("2"));
        QCOMPARE(w.messages.messages, (QList<Message>{{"state unknown", MessageIcon::Warning},
                                                      {"line unknown", MessageIcon::Warning}}));
    }

    void exitCodeByItsTextForm_data()
    {
        QTest::addColumn<Variant>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("integer") << Variant(-7) << "-7";
        QTest::newRow("text") << Variant("finished: 3") << "finished: 3";
        QTest::newRow("empty") << Variant() << "";
        QTest::newRow("Boolean") << Variant::fromBoolean(True) << "True";
    }

    void exitCodeByItsTextForm()
    {
        QFETCH(Variant, value);
        QFETCH(QString, text);
        PanelWindow w(Page::TaskPage);
        w.form.lblExitCode->setText("previous");
        w.engine()->set("ExitCode", value);
        w.click(w.form.cmdGetExitCode);
        QCOMPARE(w.form.lblExitCode->text(), text);
        QVERIFY(w.messages.messages.isEmpty());
    }

    void nullExitCodeIsRefusedAndLeavesTheLabel()
    {
        PanelWindow w(Page::TaskPage);
        w.form.lblExitCode->setText("12");
        w.engine()->set("ExitCode", Variant::null());
        w.click(w.form.cmdGetExitCode);
        QCOMPARE(w.form.lblExitCode->text(), QString("12"));
        QCOMPARE(w.messages.messages,
                 (QList<Message>{{failures::nullHasNoText(), MessageIcon::Warning}}));

        w.messages.messages.clear();
        w.engine()->failOn("ExitCode", "no exit code yet");
        w.click(w.form.cmdGetExitCode);
        QCOMPARE(w.form.lblExitCode->text(), QString("12"));
        QCOMPARE(w.messages.messages, (QList<Message>{{"no exit code yet", MessageIcon::Warning}}));
    }

    void startUpPutAndGet()
    {
        PanelWindow w(Page::TaskPage);
        QCOMPARE(w.form.txtStartUp->text(), QString("Main"));
        w.form.txtStartUp->setText("");
        w.click(w.form.cmdSetStartUp);
        QCOMPARE(w.engine()->calls, QStringList{"StartUp="});
        QCOMPARE(w.engine()->value("StartUp"), Variant(QString())); // the empty text, not empty

        w.form.txtStartUp->setText(" Run Twice ");
        w.click(w.form.cmdSetStartUp);
        QCOMPARE(w.engine()->calls.last(), QString("StartUp= Run Twice "));

        w.engine()->set("StartUp", QString("Other"));
        w.click(w.form.cmdGetStartUp);
        QCOMPARE(w.form.txtStartUp->text(), QString("Other"));
        QVERIFY(w.messages.messages.isEmpty());

        w.engine()->failOn("StartUp", "start-up locked");
        w.form.txtStartUp->setText("typed");
        w.click(w.form.cmdGetStartUp);
        QCOMPARE(w.form.txtStartUp->text(), QString("typed"));
        w.click(w.form.cmdSetStartUp);
        QCOMPARE(w.messages.messages, (QList<Message>{{"start-up locked", MessageIcon::Warning},
                                                      {"start-up locked", MessageIcon::Warning}}));
    }

    void anotherEngineRefreshesOnlyStateAndLineNumber()
    {
        PanelWindow w(Page::TaskPage);
        w.engine()->set("State", 2);
        w.engine()->set("LineNumber", 40);
        w.createAnother();
        w.form.tabVelScript->setCurrentPage(Page::TaskPage);
        w.form.txtStartUp->setText("Second");
        w.form.cmbStart->setListIndex(3);
        w.form.cmbStop->setListIndex(4);
        w.engine(1)->set("ExitCode", 99);
        w.click(w.form.cmdGetExitCode);
        QCOMPARE(w.form.lblExitCode->text(), QString("99"));

        w.choose(0);
        QVERIFY(w.form.objEngine == w.form.colEngine.item("#0"));
        QCOMPARE(w.form.lblState->text(), QString("2"));
        QCOMPARE(w.form.lblLineNumber->text(), QString("40"));
        QCOMPARE(w.form.lblExitCode->text(), QString("99"));
        QCOMPARE(w.form.txtStartUp->text(), QString("Second"));
        QCOMPARE(w.form.cmbStart->listIndex(), 3);
        QCOMPARE(w.form.cmbStop->listIndex(), 4);
        QVERIFY(w.engine(0)->calls.filter("ExitCode").isEmpty());
        QVERIFY(w.engine(0)->calls.filter("StartUp").isEmpty());
    }

    void missingEngineChangesNothing()
    {
        PanelWindow w(Page::TaskPage, Selection::Failed);
        w.form.lblState->setText("s");
        w.form.lblLineNumber->setText("l");
        w.form.lblExitCode->setText("e");
        w.form.txtStartUp->setText("Kept");
        const QStringList before = controlSnapshot(w.form);
        QPushButton* const buttons[] = {
            w.form.cmdSetStartUp, w.form.cmdGetStartUp,    w.form.cmdStart,      w.form.cmdStop,
            w.form.cmdGetState,   w.form.cmdGetLineNumber, w.form.cmdGetExitCode};
        for (QPushButton* button : buttons) {
            w.messages.messages.clear();
            w.click(button);
            QCOMPARE(w.messages.messages,
                     (QList<Message>{{failures::missingObject(), MessageIcon::Warning}}));
            QCOMPARE(controlSnapshot(w.form), before);
        }
        QVERIFY(w.engine()->calls.isEmpty());
    }
};

VELSCRIPT_TEST_MAIN(tst_Task)
#include "tst_task.moc"
