// An engine built outside the project against the installed engine kit, loaded from the
// component path into the real window.
#include "core/frm_vel_scr_tester.h"
#include "engine_kit/class_ids.h"
#include "support/recorders.h"
#include "support/test_program.h"

#include <QtTest>

using namespace velscript;
using namespace velscript::test;

class tst_OutsideEngine : public QObject {
    Q_OBJECT

private slots:
    void outsideEngineWorksInTheWindow()
    {
        qputenv("VELSCRIPT_COMPONENT_PATH", OUTSIDE_ENGINE_DIR);
        // In process, so that the engine reaches this program's component service.
        qputenv("VELSCRIPT_IN_PROCESS", "1");
        int databases = 0;
        ComponentService::instance().registerClass(VelSqlObjectClassId, [&databases] {
            ++databases;
            return new QObject;
        });
        MessageRecorder messages;
        frmVelScrTester form;
        form.Form_Load();

        QTest::mouseClick(form.cmdCreate, Qt::LeftButton);
        QCOMPARE(messages.messages, QList<Message>{});
        QCOMPARE(form.objEngine.object()->metaObject()->className(), "OutsideEngine");
        // The engine asked for its VelSQL object in the program's own component service: the kit
        // holds the one service, not a copy per plugin.
        QCOMPARE(databases, 1);

        form.tabVelScript->setCurrentPage(1);
        const QString script = QStringLiteral("Sub Main\n    Log \"outside\"\nEnd Sub\n");
        form.txtProgram->setPlainText(script);
        QTest::mouseClick(form.cmdPutText, Qt::LeftButton);
        form.txtProgram->clear();
        QTest::mouseClick(form.cmdGetText, Qt::LeftButton);
        QCOMPARE(form.txtProgram->toPlainText(), script);

        // A declined operation arrives as the engine's own description.
        QTest::mouseClick(form.chkReadOnly, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(messages.messages.size(), 1);
        QCOMPARE(messages.messages.front().text, "The outside engine does not offer ReadOnly.");

        QTest::mouseClick(form.cmdRelease, Qt::LeftButton);
        QCOMPARE(form.colEngine.count(), 0);
        ComponentService::instance().unregisterClass(VelSqlObjectClassId);
    }
};

VELSCRIPT_TEST_MAIN(tst_OutsideEngine)
#include "tst_outside_engine.moc"
