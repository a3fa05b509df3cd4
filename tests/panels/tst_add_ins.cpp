// The add-ins panel: the window's one VelSQL object handed to engines under names and taken away
// again, with a fake VelSQL class registered under its class id.
#include "engine_kit/class_ids.h"
#include "support/fake_velsql.h"
#include "support/panel_window.h"
#include "support/test_program.h"

#include <QtTest>

using namespace velscript;
using namespace velscript::test;

using Page = PanelWindow::Page;
using Selection = PanelWindow::Selection;

namespace {

Message added(const QString& name)
{
    return {"AddObject(\"" + name + "\", [VelSQL object])\r\nSucceeded.", MessageIcon::None};
}

Message removed(const QString& name)
{
    return {"RemoveObject(\"" + name + "\", [VelSQL object])\r\nSucceeded.", MessageIcon::None};
}

// The description the component service gives for an object that is not a VelSQL object.
QString notVelSql(const QObject& object)
{
    return QStringLiteral("The component %1 does not offer the interface %2.")
        .arg(QLatin1StringView(object.metaObject()->className()),
             QLatin1StringView(VelSqlObject_iid));
}

} // namespace

class tst_AddIns : public QObject {
    Q_OBJECT

private slots:
    void everyAddPassesTheSameObject()
    {
        FakeVelSqlRegistration velsql;
        PanelWindow w(Page::TaskPage);
        QVERIFY(!w.form.objVelSQL);
        w.form.txtObjectName->setText("db");
        w.click(w.form.cmdAddObject);
        QCOMPARE(velsql.made, 1);
        const ObjectRef first = w.form.objVelSQL;
        QVERIFY(qobject_cast<FakeVelSqlObject*>(first.get()));
        QCOMPARE(w.engine()->calls, QStringList{"AddObject=db,<object>"});

        w.form.txtObjectName->setText("other");
        w.click(w.form.cmdAddObject);
        w.createAnother();
        w.form.tabVelScript->setCurrentPage(Page::TaskPage);
        w.click(w.form.cmdAddObject);

        QCOMPARE(velsql.made, 1);
        QCOMPARE(w.engine(0)->addedObjects, (QList<ObjectRef>{first, first}));
        QCOMPARE(w.engine(1)->addedObjects, QList<ObjectRef>{first});
        QVERIFY(w.form.objVelSQL == first);
        QCOMPARE(w.messages.messages,
                 (QList<Message>{added("db"), added("other"), added("other")}));
    }

    void removeThenAddPassesTheSameObjectAgain()
    {
        FakeVelSqlRegistration velsql;
        PanelWindow w(Page::TaskPage);
        w.form.txtObjectName->setText("db");
        w.click(w.form.cmdAddObject);
        w.click(w.form.cmdRemoveObject);
        w.click(w.form.cmdAddObject);
        QCOMPARE(w.engine()->calls, (QStringList{"AddObject=db,<object>", "RemoveObject=db",
                                                 "AddObject=db,<object>"}));
        QCOMPARE(velsql.made, 1);
        QCOMPARE(w.engine()->addedObjects[1], w.engine()->addedObjects[0]);
        QCOMPARE(w.messages.messages, (QList<Message>{added("db"), removed("db"), added("db")}));
    }

    void keepsWhatTheEngineLeavesInTheArgument()
    {
        FakeVelSqlRegistration velsql;
        PanelWindow w(Page::TaskPage);
        w.form.txtObjectName->setText("db");

        // Another VelSQL object replaces the window's.
        const ObjectRef replacement = std::make_shared<FakeVelSqlObject>();
        w.engine()->addObjectReplacement = replacement;
        w.click(w.form.cmdAddObject);
        QVERIFY(w.form.objVelSQL == replacement);
        w.engine()->addObjectReplacement.reset();
        w.click(w.form.cmdAddObject);
        QVERIFY(w.engine()->addedObjects.last() == replacement);

        // An object of another class is refused; the window keeps its object.
        const ObjectRef stranger = std::make_shared<QObject>();
        w.engine()->addObjectReplacement = stranger;
        w.messages.messages.clear();
        w.click(w.form.cmdAddObject);
        QCOMPARE(w.messages.messages, (QList<Message>{{notVelSql(*stranger), MessageIcon::None}}));
        QVERIFY(w.form.objVelSQL == replacement);

        // None empties the window's reference, and the next Add creates a new object.
        w.engine()->addObjectReplacement = ObjectRef();
        w.messages.messages.clear();
        w.click(w.form.cmdAddObject);
        QCOMPARE(w.messages.messages, QList<Message>{added("db")});
        QVERIFY(!w.form.objVelSQL);
        w.engine()->addObjectReplacement.reset();
        w.click(w.form.cmdAddObject);
        QCOMPARE(velsql.made, 2);
        QVERIFY(w.form.objVelSQL && w.form.objVelSQL != replacement);
        QVERIFY(w.engine()->addedObjects.last() == w.form.objVelSQL);
    }

    void nameIsSentAndShownAsWritten_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << "";
        QTest::newRow("double quotes") << "say \"hi\"";
        QTest::newRow("blanks") << "  db  ";
    }

    void nameIsSentAndShownAsWritten()
    {
        QFETCH(QString, name);
        FakeVelSqlRegistration velsql;
        PanelWindow w(Page::TaskPage);
        w.form.txtObjectName->setText(name);
        w.click(w.form.cmdAddObject);
        w.click(w.form.cmdRemoveObject);
        QCOMPARE(w.engine()->calls,
                 (QStringList{"AddObject=" + name + ",<object>", "RemoveObject=" + name}));
        QCOMPARE(w.messages.messages, (QList<Message>{added(name), removed(name)}));
    }

    void emptyNameConfirmation()
    {
        FakeVelSqlRegistration velsql;
        PanelWindow w(Page::TaskPage);
        w.click(w.form.cmdAddObject);
        QCOMPARE(w.messages.messages.value(0).text,
                 QString("AddObject(\"\", [VelSQL object])\r\nSucceeded."));
    }

    void failedCreationIsRetriedOnTheNextAdd()
    {
        enum class Make { None, Stranger, VelSql } make = Make::None;
        FakeVelSqlRegistration velsql([&make]() -> QObject* {
            switch (make) {
            case Make::None:
                return nullptr;
            case Make::Stranger:
                return new QObject;
            case Make::VelSql:
                break;
            }
            return new FakeVelSqlObject;
        });
        PanelWindow w(Page::TaskPage);
        w.form.txtObjectName->setText("db");

        w.click(w.form.cmdAddObject);
        make = Make::Stranger;
        w.click(w.form.cmdAddObject);
        QCOMPARE(w.messages.messages.size(), 2);
        QVERIFY2(w.messages.messages[0].text.contains(VelSqlObjectClassId),
                 qPrintable(w.messages.messages[0].text));
        QCOMPARE(w.messages.messages[1].text, notVelSql(QObject()));
        for (const Message& message : w.messages.messages)
            QCOMPARE(message.icon, MessageIcon::None);
        QVERIFY(!w.form.objVelSQL);
        QVERIFY(w.engine()->calls.isEmpty());

        make = Make::VelSql;
        w.messages.messages.clear();
        w.click(w.form.cmdAddObject);
        QCOMPARE(velsql.made, 3);
        QVERIFY(w.form.objVelSQL);
        QCOMPARE(w.engine()->calls, QStringList{"AddObject=db,<object>"});
        QCOMPARE(w.messages.messages, QList<Message>{added("db")});
    }

    void engineRefusalShowsOnlyTheFailure()
    {
        FakeVelSqlRegistration velsql;
        PanelWindow w(Page::TaskPage);
        w.form.txtObjectName->setText("db");
        w.click(w.form.cmdAddObject);
        const ObjectRef held = w.form.objVelSQL;
        w.messages.messages.clear();

        // Whatever the engine left in the argument, a failed call keeps the window's object.
        w.engine()->failOn("AddObject", "name already in use");
        w.engine()->addObjectReplacement = ObjectRef();
        w.engine()->failOn("RemoveObject", "no such name");
        w.click(w.form.cmdAddObject);
        w.click(w.form.cmdRemoveObject);
        QCOMPARE(w.messages.messages, (QList<Message>{{"name already in use", MessageIcon::None},
                                                      {"no such name", MessageIcon::None}}));
        QVERIFY(w.form.objVelSQL == held);
        QCOMPARE(velsql.made, 1);
    }

    void missingEngine()
    {
        FakeVelSqlRegistration velsql;
        PanelWindow w(Page::TaskPage, Selection::Failed);
        w.form.txtObjectName->setText("db");
        const QStringList before = controlSnapshot(w.form);
        const QList<Message> missing{{failures::missingObject(), MessageIcon::None}};

        // Add makes the window's object first, then finds no engine.
        w.click(w.form.cmdAddObject);
        QCOMPARE(w.messages.messages, missing);
        QCOMPARE(velsql.made, 1);
        QVERIFY(w.form.objVelSQL);

        w.messages.messages.clear();
        w.click(w.form.cmdRemoveObject);
        QCOMPARE(w.messages.messages, missing);
        QCOMPARE(controlSnapshot(w.form), before);
        QVERIFY(w.engine()->calls.isEmpty());
    }
};

VELSCRIPT_TEST_MAIN(tst_AddIns)
#include "tst_add_ins.moc"
