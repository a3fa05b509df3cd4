// The script file panel with the file dialog answered from a script: what the dialog is given
// before each showing, and what Open, Save and Get do with the engine's answers.
#include "support/panel_window.h"
#include "support/test_program.h"

#include <QtTest>

using namespace velscript;
using namespace velscript::test;

using Page = PanelWindow::Page;
using Selection = PanelWindow::Selection;

namespace {

const QString StoredFilter = QStringLiteral("Script File (*.vbs)|*.vbs|All Files (*.*)|*.*");

} // namespace

class tst_ScriptFile : public QObject {
    Q_OBJECT

private slots:
    void cancelCallsNoEngineOperation()
    {
        PanelWindow w(Page::FormPage);
        FileDialogScript dialogs({std::nullopt, std::nullopt});
        const QStringList before = controlSnapshot(w.form);
        w.click(w.form.cmdOpen);
        w.click(w.form.cmdSave);
        QCOMPARE(dialogs.requests.size(), 2);
        QVERIFY(w.engine()->calls.isEmpty());
        QVERIFY(w.messages.messages.isEmpty());
        QCOMPARE(controlSnapshot(w.form), before);
    }

    void openAnswers_data()
    {
        QTest::addColumn<bool>("fails");
        QTest::addColumn<Variant>("answer");
        QTest::addColumn<QList<Message>>("shown");
        const QList<Message> failed{{"Failed Open File.", MessageIcon::Warning}};
        QTest::newRow("True") << false << Variant::fromBoolean(True) << QList<Message>{};
        QTest::newRow("False") << false << Variant::fromBoolean(False) << failed;
        QTest::newRow("nonzero, not True") << false << Variant::fromBoolean(1) << failed;
        QTest::newRow("engine failure")
            << true << Variant() << QList<Message>{{"no such file", MessageIcon::Warning}};
    }

    void openAnswers()
    {
        QFETCH(bool, fails);
        QFETCH(Variant, answer);
        QFETCH(QList<Message>, shown);
        PanelWindow w(Page::FormPage);
        FileDialogScript dialogs({QString("/scripts/a.vbs")});
        w.engine()->set("OpenResult", answer);
        if (fails)
            w.engine()->failOn("OpenResult", "no such file");
        w.engine()->set("Text", QString("Sub Main\nEnd Sub\n"));
        w.engine()->set("FileName", QString("/scripts/a.vbs"));
        w.form.txtFileName->setText("/before.vbs");
        w.form.txtProgram->setPlainText("old text");

        w.click(w.form.cmdOpen);
        QCOMPARE(w.messages.messages, shown);
        QCOMPARE(w.engine()->calls.first(), QString("Open=/scripts/a.vbs,<missing>"));
        QVERIFY(w.engine()->passed("Open").isMissing());
        const bool loaded = shown.isEmpty();
        // Only a successful Open reloads the script text; the file name waits for its button.
        QCOMPARE(w.engine()->calls.size(), loaded ? 2 : 1);
        QCOMPARE(w.form.txtProgram->toPlainText(),
                 QString(loaded ? "Sub Main\nEnd Sub\n" : "old text"));
        QCOMPARE(w.form.txtFileName->text(), QString("/before.vbs"));
    }

    void reloadFailureAfterOpenIsReportedOnce()
    {
        PanelWindow w(Page::FormPage);
        FileDialogScript dialogs({QString("/scripts/a.vbs")});
        w.engine()->set("OpenResult", Variant::fromBoolean(True));
        w.engine()->failOn("Text", "text unreadable");
        w.click(w.form.cmdOpen);
        QCOMPARE(w.messages.messages, (QList<Message>{{"text unreadable", MessageIcon::Warning}}));
    }

    void saveAnswers_data()
    {
        QTest::addColumn<bool>("fails");
        QTest::addColumn<Variant>("answer");
        QTest::addColumn<QList<Message>>("shown");
        QTest::newRow("True") << false << Variant::fromBoolean(True) << QList<Message>{};
        QTest::newRow("False") << false << Variant::fromBoolean(False)
                               << QList<Message>{{"file name is null.", MessageIcon::Warning}};
        QTest::newRow("nonzero, not True") << false << Variant::fromBoolean(1) << QList<Message>{};
        QTest::newRow("engine failure")
            << true << Variant() << QList<Message>{{"disk full", MessageIcon::Warning}};
    }

    void saveAnswers()
    {
        QFETCH(bool, fails);
        QFETCH(Variant, answer);
        QFETCH(QList<Message>, shown);
        PanelWindow w(Page::FormPage);
        FileDialogScript dialogs({QString("/scripts/b.vbs")});
        w.engine()->set("SaveResult", answer);
        if (fails)
            w.engine()->failOn("SaveResult", "disk full");
        w.form.txtFileName->setText("/before.vbs");
        const QStringList before = controlSnapshot(w.form);

        w.click(w.form.cmdSave);
        QCOMPARE(w.messages.messages, shown);
        QCOMPARE(w.engine()->calls, QStringList{"Save=/scripts/b.vbs,True"});
        QCOMPARE(w.engine()->passed("Save"), Variant::fromBoolean(True));
        QCOMPARE(controlSnapshot(w.form), before); // nothing is refreshed
    }

    void dialogIsPreparedBeforeEveryShowing()
    {
        PanelWindow w(Page::FormPage);
        FileDialogScript dialogs({QString("/d/one.vbs"), std::nullopt, std::nullopt,
                                  QString("/d/two.vbs"), QString("/d/three.vbs")});
        w.engine()->set("OpenResult", Variant::fromBoolean(True));
        w.engine()->set("SaveResult", Variant::fromBoolean(True));
        CommonDialog* const dialog = w.form.cmdlgFile;
        dialog->CancelError = false;

        w.click(w.form.cmdOpen);
        dialog->InitDir = "/elsewhere"; // set again before the next showing
        dialog->CancelError = false;
        w.click(w.form.cmdSave); // Cancel
        w.click(w.form.cmdOpen); // Cancel
        w.click(w.form.cmdSave); // two.vbs
        w.click(w.form.cmdOpen); // three.vbs
        QVERIFY(w.messages.messages.isEmpty());
        QCOMPARE(w.engine()->calls.filter(QRegularExpression("^(Open|Save)=")),
                 (QStringList{"Open=/d/one.vbs,<missing>", "Save=/d/two.vbs,True",
                              "Open=/d/three.vbs,<missing>"}));

        using Mode = CommonDialog::Mode;
        struct Expected {
            Mode mode;
            const char* title;
            qint32 flags;
            const char* fileName;
        };
        // Open runs with the flags the dialog holds: none at first, those of the last Save after.
        const Expected expected[] = {{Mode::Open, "Open", 0, ""},
                                     {Mode::Save, "Save", 6, "/d/one.vbs"},
                                     {Mode::Open, "Open", 6, "/d/one.vbs"},
                                     {Mode::Save, "Save", 6, "/d/one.vbs"},
                                     {Mode::Open, "Open", 6, "/d/two.vbs"}};
        QCOMPARE(dialogs.requests.size(), 5);
        for (int i = 0; i < 5; ++i) {
            const CommonDialog::Request& request = dialogs.requests[i];
            QCOMPARE(request.mode, expected[i].mode);
            QCOMPARE(request.title, QString(expected[i].title));
            QCOMPARE(request.flags, expected[i].flags);
            QCOMPARE(request.fileName, QString(expected[i].fileName));
            QCOMPARE(request.initDir, QCoreApplication::applicationDirPath());
            QCOMPARE(request.filter, StoredFilter);
        }
        QVERIFY(dialog->CancelError);
    }

    void showFileDialogModesAndPreset()
    {
        PanelWindow w(Page::FormPage);
        FileDialogScript dialogs({QString("/d/chosen.vbs")});
        // A mode other than open or save shows nothing.
        QCOMPARE(TesterAccess::ShowFileDialog(w.form, 2, QString(), 6), QString());
        QCOMPARE(TesterAccess::ShowFileDialog(w.form, -1, QString(), 6), QString());
        QVERIFY(dialogs.requests.isEmpty());

        // A preset becomes the name the dialog starts with; flags play no part in open mode.
        QCOMPARE(TesterAccess::ShowFileDialog(w.form, 0, "/d/preset.vbs", 6),
                 QString("/d/chosen.vbs"));
        QCOMPARE(dialogs.requests.size(), 1);
        QCOMPARE(dialogs.requests[0].fileName, QString("/d/preset.vbs"));
        QCOMPARE(dialogs.requests[0].flags, 0);

        // Cancel is an empty path, never a failure for the caller.
        QCOMPARE(TesterAccess::ShowFileDialog(w.form, 1, QString(), 6), QString());
        QVERIFY(w.messages.messages.isEmpty());
    }

    void getFileName()
    {
        PanelWindow w(Page::FormPage);
        w.engine()->set("FileName", QString("/scripts/with space.vbs"));
        w.click(w.form.cmdGetFileName);
        QCOMPARE(w.form.txtFileName->text(), QString("/scripts/with space.vbs"));

        w.engine()->failOn("FileName", "no file");
        w.click(w.form.cmdGetFileName);
        QCOMPARE(w.form.txtFileName->text(), QString("/scripts/with space.vbs"));
        QCOMPARE(w.messages.messages, (QList<Message>{{"no file", MessageIcon::Warning}}));
    }

    void missingEngineFailsOnlyOnceAPathIsChosen()
    {
        PanelWindow w(Page::FormPage, Selection::Failed);
        FileDialogScript dialogs(
            {std::nullopt, QString("/d/a.vbs"), std::nullopt, QString("/d/b.vbs")});
        w.form.txtFileName->setText("kept");
        const QStringList before = controlSnapshot(w.form);
        const QList<Message> missing{{failures::missingObject(), MessageIcon::Warning}};

        w.click(w.form.cmdOpen);
        QVERIFY(w.messages.messages.isEmpty());
        w.click(w.form.cmdOpen);
        QCOMPARE(w.messages.messages, missing);
        w.messages.messages.clear();
        w.click(w.form.cmdSave);
        QVERIFY(w.messages.messages.isEmpty());
        w.click(w.form.cmdSave);
        QCOMPARE(w.messages.messages, missing);
        QCOMPARE(dialogs.requests.size(), 4);

        w.messages.messages.clear();
        w.click(w.form.cmdGetFileName);
        QCOMPARE(w.messages.messages, missing);
        QCOMPARE(dialogs.requests.size(), 4);
        QCOMPARE(controlSnapshot(w.form), before);
        QVERIFY(w.engine()->calls.isEmpty());
    }
};

VELSCRIPT_TEST_MAIN(tst_ScriptFile)
#include "tst_script_file.moc"
