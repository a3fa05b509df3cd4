// The control behaviours the window relies on: change notifications only on real changes, lists
// that select nothing by themselves, and the tab control's page containers.
#include "engine_kit/failure.h"
#include "platform/check_box.h"
#include "platform/drop_down_list.h"
#include "platform/file_dialog.h"
#include "platform/tab_control.h"
#include "support/test_program.h"

#include <QTabBar>
#include <QtTest>

using namespace velscript;

class tst_Controls : public QObject {
    Q_OBJECT

private slots:
    void checkBoxNotifiesOnlyRealChanges()
    {
        CheckBox box;
        box.resize(80, 20);
        int clicks = 0;
        connect(&box, &CheckBox::valueChanged, [&] { ++clicks; });
        box.setValue(0);
        QCOMPARE(clicks, 0);
        box.setValue(2);
        box.setValue(2);
        QCOMPARE(box.value(), 2);
        QCOMPARE(clicks, 1);
        box.setValue(1);
        QCOMPARE(clicks, 2);
        QVERIFY_THROWS_EXCEPTION(Failure, box.setValue(3));
        QCOMPARE(box.value(), 1);
    }

    void userClickTogglesBetweenClearAndTicked()
    {
        CheckBox box;
        box.resize(80, 20);
        box.setValue(2);
        int changes = 0;
        connect(&box, &CheckBox::valueChanged, [&] { ++changes; });
        QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(box.value(), 1);
        QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(box.value(), 0);
        QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(box.value(), 1); // never grayed by a click
        QCOMPARE(changes, 3);
    }

    void listSelectsNothingByItself()
    {
        DropDownList list;
        int chosen = 0;
        connect(&list, &DropDownList::chosen, [&] { ++chosen; });
        list.addEntry("0");
        list.addEntry("1");
        list.addEntry("2");
        QCOMPARE(list.listIndex(), -1);
        QCOMPARE(chosen, 0);

        list.setListIndex(1);
        list.setListIndex(1);
        QCOMPARE(chosen, 1);
        list.addEntry("3"); // adding keeps the selection where it is
        QCOMPARE(list.listIndex(), 1);

        list.removeEntry(0); // the selected entry moves up: still selected, no notification
        QCOMPARE(list.currentText(), QString("1"));
        list.removeEntry(
            list.listIndex()); // the selected entry goes: no selection, no notification
        QCOMPARE(list.listIndex(), -1);
        QCOMPARE(list.currentText(), QString());
        QCOMPARE(chosen, 1);

        QVERIFY_THROWS_EXCEPTION(Failure, list.setListIndex(5));
        QVERIFY_THROWS_EXCEPTION(Failure, list.removeEntry(-1));
        QVERIFY_THROWS_EXCEPTION(Failure, list.entryText(2));
        QVERIFY(!list.isEditable());
    }

    void keyboardChoiceNotifies()
    {
        DropDownList list;
        list.addEntry("a");
        list.addEntry("b");
        list.setListIndex(0);
        int chosen = 0;
        connect(&list, &DropDownList::chosen, [&] { ++chosen; });
        QTest::keyClick(&list, Qt::Key_Down);
        QCOMPARE(list.listIndex(), 1);
        QCOMPARE(chosen, 1);
    }

    void tabControlShowsOnlyTheCurrentContainer()
    {
        QWidget window;
        auto* tab = new TabControl(&window);
        tab->resize(300, 200);
        tab->addPage("Form");
        tab->addPage("Task");
        auto* first = new QWidget;
        auto* second = new QWidget;
        tab->setPageContainer(0, first);
        tab->setPageContainer(1, second);
        int changes = 0;
        connect(tab, &TabControl::pageChanged, [&] { ++changes; });
        window.show();

        QCOMPARE(tab->pageCount(), 2);
        QCOMPARE(tab->currentPage(), 0);
        QVERIFY(first->isVisible() && !second->isVisible());
        tab->setCurrentPage(1);
        tab->setCurrentPage(1);
        QCOMPARE(changes, 1);
        QVERIFY(!first->isVisible() && second->isVisible());
        tab->tabStrip()->setCurrentIndex(0); // as a click on the first tab
        QCOMPARE(changes, 2);
        QVERIFY(first->isVisible() && !second->isVisible());
        QVERIFY_THROWS_EXCEPTION(Failure, tab->setCurrentPage(2));
    }

    void fileDialogFilters()
    {
        QCOMPARE(CommonDialog::nameFilters("Script File (*.vbs)|*.vbs|All Files (*.*)|*.*"),
                 (QStringList{"Script File (*.vbs) (*.vbs)", "All Files (*.*) (*)"}));
        QCOMPARE(CommonDialog::nameFilters("Texts|*.txt;*.log"),
                 QStringList{"Texts (*.txt *.log)"});
        QCOMPARE(CommonDialog::nameFilters(""), QStringList{});
    }

    void fileDialogCancelAndPersistence()
    {
        CommonDialog dialog;
        QList<std::optional<QString>> answers{QString("/tmp/a.vbs"), std::nullopt, std::nullopt};
        QList<CommonDialog::Request> requests;
        const auto previous = CommonDialog::setPresenter([&](const CommonDialog::Request& request) {
            requests << request;
            return answers.takeFirst();
        });
        dialog.DialogTitle = "Open";
        dialog.ShowOpen();
        QCOMPARE(dialog.FileName, QString("/tmp/a.vbs"));

        // Cancel keeps the file name; it is a failure only while CancelError is set.
        dialog.ShowSave();
        QCOMPARE(dialog.FileName, QString("/tmp/a.vbs"));
        dialog.CancelError = true;
        QVERIFY_THROWS_EXCEPTION(Failure, dialog.ShowSave());
        QCOMPARE(requests.size(), 3);
        QCOMPARE(requests[1].fileName, QString("/tmp/a.vbs")); // the name persists between uses
        QCOMPARE(requests[1].mode, CommonDialog::Mode::Save);
        CommonDialog::setPresenter(previous);
    }
};

VELSCRIPT_TEST_MAIN(tst_Controls)
#include "tst_controls.moc"
