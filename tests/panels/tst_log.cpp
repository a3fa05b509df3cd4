// The log panel: the engine's log and last entry read into txtLog, clearing, and failures in a
// plain box, with a recording fake engine behind the real window.
#include "support/panel_window.h"
#include "support/test_program.h"

#include <QtTest>

using namespace velscript;
using namespace velscript::test;

using Page = PanelWindow::Page;
using Selection = PanelWindow::Selection;

class tst_Log : public QObject {
    Q_OBJECT

private slots:
    void getLogThenLastLogReplacesTheWholeBox()
    {
        PanelWindow w(Page::FormPage);
        w.engine()->set("Log", QString("started\nline 3: x = 1\nended\n"));
        w.engine()->set("LastLog", QString("ended"));
        w.click(w.form.cmdGetLog);
        QCOMPARE(w.form.txtLog->toPlainText(), QString("started\nline 3: x = 1\nended\n"));
        w.click(w.form.cmdGetLastLog);
        QCOMPARE(w.form.txtLog->toPlainText(), QString("ended"));
        QCOMPARE(w.engine()->calls, (QStringList{"Log", "LastLog"}));
        QVERIFY(w.messages.messages.isEmpty());
    }

    void clearLeavesTheOldText()
    {
        PanelWindow w(Page::FormPage);
        w.engine()->set("Log", QString("old entries"));
        w.click(w.form.cmdGetLog);
        w.click(w.form.cmdClearLog);
        QCOMPARE(w.engine()->calls, (QStringList{"Log", "ClearLog"}));
        QCOMPARE(w.form.txtLog->toPlainText(), QString("old entries"));
        QVERIFY(w.messages.messages.isEmpty());

        w.engine()->set("Log", QString()); // what the engine holds after clearing
        w.click(w.form.cmdGetLog);
        QCOMPARE(w.form.txtLog->toPlainText(), QString());
    }

    void failuresInAPlainBox_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::newRow("Log") << "Log";
        QTest::newRow("LastLog") << "LastLog";
        QTest::newRow("ClearLog") << "ClearLog";
    }

    void failuresInAPlainBox()
    {
        QFETCH(QString, operation);
        PanelWindow w(Page::FormPage);
        w.form.txtLog->setPlainText("kept");
        w.engine()->failOn(operation, "log locked");
        QPushButton* const button = operation == "Log"       ? w.form.cmdGetLog
                                    : operation == "LastLog" ? w.form.cmdGetLastLog
                                                             : w.form.cmdClearLog;
        w.click(button);
        QCOMPARE(w.messages.messages, (QList<Message>{{"log locked", MessageIcon::None}}));
        QCOMPARE(w.form.txtLog->toPlainText(), QString("kept"));
    }

    void anotherEngineLeavesTheLog()
    {
        PanelWindow w(Page::FormPage);
        w.engine()->set("Log", QString("from engine 0"));
        w.click(w.form.cmdGetLog);
        w.createAnother();
        w.choose(0);
        w.choose(1);
        QCOMPARE(w.form.txtLog->toPlainText(), QString("from engine 0"));
        QVERIFY(w.engine(1)->calls.filter("Log").isEmpty());
    }

    void missingEngineChangesNothing()
    {
        PanelWindow w(Page::FormPage, Selection::Failed);
        w.form.txtLog->setPlainText("kept");
        const QStringList before = controlSnapshot(w.form);
        for (QPushButton* button : {w.form.cmdGetLog, w.form.cmdGetLastLog, w.form.cmdClearLog}) {
            w.messages.messages.clear();
            w.click(button);
            QCOMPARE(w.messages.messages,
                     (QList<Message>{{failures::missingObject(), MessageIcon::None}}));
            QCOMPARE(controlSnapshot(w.form), before);
        }
        QVERIFY(w.engine()->calls.isEmpty());
    }
};

VELSCRIPT_TEST_MAIN(tst_Log)
#include "tst_log.moc"
