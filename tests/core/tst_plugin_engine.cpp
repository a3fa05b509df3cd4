// An engine from a plugin in the component path, driven through the real window: what a
// third-party engine goes through.
#include "engine_kit/hosting.h"
#include "support/fake_engine.h"
#include "support/recorders.h"
#include "support/test_program.h"

#include <QtTest>

using namespace velscript;
using namespace velscript::test;

class tst_PluginEngine : public QObject {
    Q_OBJECT

private slots:
    void createSelectAndReleaseAPluginEngine_data()
    {
        QTest::addColumn<bool>("inProcess");
        QTest::newRow("in a host process") << false;
        QTest::newRow("in process") << true;
    }
    void createSelectAndReleaseAPluginEngine()
    {
        QFETCH(bool, inProcess);
        qputenv("VELSCRIPT_COMPONENT_PATH", FAKE_COMPONENTS_DIR);
        if (inProcess)
            qputenv("VELSCRIPT_IN_PROCESS", "1");
        const auto restore = qScopeGuard([] { qunsetenv("VELSCRIPT_IN_PROCESS"); });
        MessageRecorder messages;
        frmVelScrTester form;
        form.Form_Load();
        QTest::mouseClick(form.cmdCreate, Qt::LeftButton);
        QTest::mouseClick(form.cmdCreate, Qt::LeftButton);

        QCOMPARE(messages.messages, QList<Message>{});
        QCOMPARE(form.colEngine.count(), 2);
        // Made in the plugin's own copy of the fake, not by anything registered in this program.
        QCOMPARE(isHosted(*form.objEngine.object()), !inProcess);
        if (inProcess)
            QCOMPARE(form.objEngine.object()->metaObject()->className(),
                     "velscript::test::FakeEngine");
        QVERIFY(RecordingEngine::made().isEmpty());
        QCOMPARE(form.txtProgram->toPlainText(),
                 QString("Sub Main\n    Log \"made by a plugin\"\nEnd Sub\n"));
        QCOMPARE(form.chkVisible->value(), 1);

        // Values and failures cross the library boundary both ways.
        form.tabVelScript->setCurrentPage(1);
        form.txtProgram->setPlainText("changed");
        QTest::mouseClick(form.cmdPutText, Qt::LeftButton);
        form.cmbIndex->setListIndex(0);
        form.cmbIndex->setListIndex(1);
        QCOMPARE(form.txtProgram->toPlainText(), QString("changed"));

        QTest::mouseClick(form.cmdRelease, Qt::LeftButton);
        QCOMPARE(form.colEngine.count(), 1);
        form.show();
        QVERIFY(form.close());
        QCOMPARE(messages.messages, QList<Message>{});
    }
};

VELSCRIPT_TEST_MAIN(tst_PluginEngine)
#include "tst_plugin_engine.moc"
