// The script text panel: the text and the two flags moving between the window and the engine.
#include "support/fake_engine.h"
#include "support/recorders.h"
#include "support/test_program.h"

#include <QtTest>

using namespace velscript;
using namespace velscript::test;

namespace {

RecordingEngine* engine(int serial)
{
    return RecordingEngine::made().value(serial);
}

class Window {
public:
    Window()
    {
        form.Form_Load();
        QTest::mouseClick(form.cmdCreate, Qt::LeftButton);
        form.tabVelScript->setCurrentPage(1);
        engine(0)->calls.clear();
    }
    FakeEngineRegistration fakes;
    frmVelScrTester form;

    void click(QAbstractButton* button)
    {
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    }
};

} // namespace

class tst_ScriptText : public QObject {
    Q_OBJECT

private slots:
    void init() { RecordingEngine::resetAll(); }

    void putSendsTheWholeText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("several lines")
            << QString("Sub Main\n\tLog \"a\"  \nEnd Sub\n\n  ' trailing blanks stay  ");
        QTest::newRow("non-ASCII") << QString("Log \"Grüße – ✓\"");
    }

    void putSendsTheWholeText()
    {
        QFETCH(QString, text);
        MessageRecorder messages;
        Window w;
        w.form.txtProgram->setPlainText(text);
        w.click(w.form.cmdPutText);
        QCOMPARE(engine(0)->calls, QStringList{"Text=" + text});
        QCOMPARE(engine(0)->value("Text"), Variant(text));
        QVERIFY(messages.messages.isEmpty());
    }

    void getReplacesTheWholeText()
    {
        MessageRecorder messages;
        Window w;
        w.form.txtProgram->setPlainText("unsent edits");
        engine(0)->set("Text", QString("Sub Main\nEnd Sub"));
        w.click(w.form.cmdGetText);
        QCOMPARE(w.form.txtProgram->toPlainText(), QString("Sub Main\nEnd Sub"));

        engine(0)->set("Text", QString());
        w.click(w.form.cmdGetText);
        QCOMPARE(w.form.txtProgram->toPlainText(), QString());
        QCOMPARE(engine(0)->calls, (QStringList{"Text", "Text"}));
        QVERIFY(messages.messages.isEmpty());
    }

    void failedGetLeavesTheBoxAsItWas()
    {
        MessageRecorder messages;
        Window w;
        w.form.txtProgram->setPlainText("kept");
        engine(0)->failOn("Text", "text unavailable");
        w.click(w.form.cmdGetText);
        QCOMPARE(w.form.txtProgram->toPlainText(), QString("kept"));
        QCOMPARE(messages.messages,
                 (QList<Message>{{QString("text unavailable"), MessageIcon::Warning}}));
    }

    void readOnlyBoxWritesThrough()
    {
        MessageRecorder messages;
        Window w;
        w.click(w.form.chkReadOnly);
        w.click(w.form.chkReadOnly);
        QCOMPARE(engine(0)->calls, (QStringList{"ReadOnly=True", "ReadOnly=False"}));
        w.form.chkReadOnly->setValue(1);
        w.form.chkReadOnly->setValue(2); // grayed counts as false
        w.form.chkReadOnly->setValue(2);
        QCOMPARE(engine(0)->calls.mid(2), (QStringList{"ReadOnly=True", "ReadOnly=False"}));
        w.form.chkReadOnly->setValue(0);

        // A failed write leaves the box in its new state.
        engine(0)->failOn("ReadOnly", "locked");
        w.click(w.form.chkReadOnly);
        QCOMPARE(w.form.chkReadOnly->value(), 1);
        QCOMPARE(messages.messages, (QList<Message>{{QString("locked"), MessageIcon::Warning}}));
    }

    void selectionWritesReadOnlyOnlyOnAChange()
    {
        Window w;
        QTest::mouseClick(w.form.cmdCreate, Qt::LeftButton); // engine 1, read-only false
        engine(0)->set("ReadOnly", Variant::fromBoolean(True));
        engine(0)->calls.clear();
        engine(1)->calls.clear();

        w.form.cmbIndex->setListIndex(0);
        QCOMPARE(engine(0)->calls.count("ReadOnly=True"), 1);
        QCOMPARE(w.form.chkReadOnly->value(), 1);

        // Engine 1 answers something other than exactly True: the box goes off, and that
        // change is written back.
        engine(1)->set("ReadOnly", Variant::fromBoolean(1));
        w.form.cmbIndex->setListIndex(1);
        QCOMPARE(w.form.chkReadOnly->value(), 0);
        QCOMPARE(engine(1)->calls.filter("ReadOnly="), QStringList{"ReadOnly=False"});

        // Choosing it again while its flag matches the box: nothing is written.
        engine(1)->set("ReadOnly", Variant::fromBoolean(False));
        w.form.cmbIndex->setListIndex(-1);
        w.form.cmbIndex->setListIndex(1);
        QCOMPARE(engine(1)->calls.count("ReadOnly"), 2);
        QCOMPARE(engine(1)->calls.filter("ReadOnly="), QStringList{"ReadOnly=False"});
    }

    void modifiedBoxKeepsTheUsersSettingAcrossSelections()
    {
        Window w;
        QTest::mouseClick(w.form.cmdCreate, Qt::LeftButton);
        w.form.tabVelScript->setCurrentPage(1);
        w.click(w.form.chkModified);
        QCOMPARE(engine(1)->calls.last(), QString("Modified=True"));
        w.form.cmbIndex->setListIndex(0);
        QCOMPARE(w.form.chkModified->value(), 1);
        QVERIFY(engine(0)->calls.filter("Modified").isEmpty()); // never read back or resent
        w.click(w.form.chkModified);
        QCOMPARE(engine(0)->calls.last(), QString("Modified=False"));
    }
};

VELSCRIPT_TEST_MAIN(tst_ScriptText)
#include "tst_script_text.moc"
