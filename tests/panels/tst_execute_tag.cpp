// The Execute and Tag panels: text handed to the engine, results shown by their text form, and
// results without one refused, with a recording fake engine behind the real window.
#include "support/panel_window.h"
#include "support/test_program.h"

#include <QtTest>

#include <cmath>

using namespace velscript;
using namespace velscript::test;

using Page = PanelWindow::Page;
using Selection = PanelWindow::Selection;

namespace {

// Why a value cannot be shown, in the platform's own words.
QString refusal(const Variant& value)
{
    try {
        value.toText();
    } catch (const Failure& failure) {
        return failure.description();
    }
    return QString();
}

} // namespace

class tst_ExecuteTag : public QObject {
    Q_OBJECT

private slots:
    void executeSendsTextAndAVariantHoldingText_data()
    {
        QTest::addColumn<QString>("statement");
        QTest::addColumn<QString>("argument");
        QTest::newRow("both empty") << ""
                                    << "";
        QTest::newRow("statement and number-like argument") << "x = 1 + 2"
                                                            << "5";
        QTest::newRow("blanks kept") << "  Log a  "
                                     << " b ";
    }

    void executeSendsTextAndAVariantHoldingText()
    {
        QFETCH(QString, statement);
        QFETCH(QString, argument);
        PanelWindow w(Page::FormPage);
        w.form.txtExecute[0]->setText(statement);
        w.form.txtExecute[1]->setText(argument);
        w.click(w.form.cmdExecute);
        QCOMPARE(w.engine()->calls, QStringList{"Execute=" + statement + ',' + argument});
        QCOMPARE(w.engine()->passed("Execute"), Variant(argument));
        QCOMPARE(w.form.txtExecute[0]->text(), statement);
        QCOMPARE(w.form.txtExecute[1]->text(), argument);
    }

    void executeResultByItsTextForm_data()
    {
        QTest::addColumn<Variant>("result");
        QTest::addColumn<QString>("shown");
        QTest::newRow("text") << Variant("three words here") << "three words here";
        QTest::newRow("integer") << Variant(-42) << "-42";
        QTest::newRow("double") << Variant(2.5) << "2.5";
        QTest::newRow("double in exponent form")
            << Variant(std::pow(2.0, 60)) << "1.152921504606847E+18";
        QTest::newRow("small double") << Variant(-0.00001) << "-1E-05";
        QTest::newRow("True") << Variant::fromBoolean(True) << "True";
        QTest::newRow("False") << Variant::fromBoolean(False) << "False";
        QTest::newRow("empty") << Variant() << "";
    }

    void executeResultByItsTextForm()
    {
        QFETCH(Variant, result);
        QFETCH(QString, shown);
        PanelWindow w(Page::FormPage);
        w.form.txtExecute[2]->setText("previous result");
        w.engine()->set("Execute", result);
        w.click(w.form.cmdExecute);
        QCOMPARE(w.form.txtExecute[2]->text(), shown);
        QVERIFY(w.messages.messages.isEmpty());
    }

    void resultsWithoutATextFormAreRefused_data()
    {
        QTest::addColumn<Variant>("result");
        QTest::newRow("null") << Variant::null();
        QTest::newRow("object") << Variant(ObjectRef(std::make_shared<QObject>()));
    }

    void resultsWithoutATextFormAreRefused()
    {
        QFETCH(Variant, result);
        PanelWindow w(Page::FormPage);
        w.form.txtExecute[2]->setText("kept");
        w.form.txtTag->setText("kept too");
        w.engine()->set("Execute", result);
        w.engine()->set("Tag", result);
        w.click(w.form.cmdExecute);
        w.click(w.form.cmdGetTag);
        const QString why = refusal(result);
        QVERIFY(!why.isEmpty());
        QCOMPARE(w.messages.messages,
                 (QList<Message>{{why, MessageIcon::Warning}, {why, MessageIcon::Warning}}));
        QCOMPARE(w.form.txtExecute[2]->text(), QString("kept"));
        QCOMPARE(w.form.txtTag->text(), QString("kept too"));
    }

    void engineFailuresLeaveTheBoxes()
    {
        PanelWindow w(Page::FormPage);
        w.form.txtExecute[2]->setText("kept");
        w.form.txtTag->setText("kept too");
        w.engine()->failOn("Execute", "syntax error at 1:3");
        w.engine()->failOn("Tag", "tag unavailable");
        w.click(w.form.cmdExecute);
        w.click(w.form.cmdGetTag);
        w.click(w.form.cmdPutTag);
        QCOMPARE(w.messages.messages, (QList<Message>{{"syntax error at 1:3", MessageIcon::Warning},
                                                      {"tag unavailable", MessageIcon::Warning},
                                                      {"tag unavailable", MessageIcon::Warning}}));
        QCOMPARE(w.form.txtExecute[2]->text(), QString("kept"));
        QCOMPARE(w.form.txtTag->text(), QString("kept too"));
    }

    void tagPutThenGet()
    {
        PanelWindow w(Page::FormPage);
        w.form.txtTag->setText("label 1");
        w.click(w.form.cmdPutTag);
        w.form.txtTag->setText("changed");
        w.click(w.form.cmdGetTag);
        QCOMPARE(w.form.txtTag->text(), QString("label 1"));
        QCOMPARE(w.engine()->calls, (QStringList{"Tag=label 1", "Tag"}));

        w.form.txtTag->clear();
        w.click(w.form.cmdPutTag);
        QCOMPARE(w.engine()->value("Tag"), Variant(QString())); // the empty text, not empty
        QVERIFY(w.messages.messages.isEmpty());
    }

    void numericTagIsShownAndWrittenBackAsText_data()
    {
        QTest::addColumn<Variant>("tag");
        QTest::addColumn<QString>("shown");
        QTest::newRow("integer") << Variant(1234) << "1234";
        QTest::newRow("double in exponent form")
            << Variant(std::pow(2.0, 60)) << "1.152921504606847E+18";
    }

    void numericTagIsShownAndWrittenBackAsText()
    {
        QFETCH(Variant, tag);
        QFETCH(QString, shown);
        PanelWindow w(Page::FormPage);
        w.engine()->set("Tag", tag);
        w.click(w.form.cmdGetTag);
        QCOMPARE(w.form.txtTag->text(), shown);
        w.click(w.form.cmdPutTag);
        QCOMPARE(w.engine()->value("Tag"), Variant(shown));
        QCOMPARE(w.engine()->value("Tag").kind(), Variant::Kind::Text);
    }

    void missingEngineChangesNothing()
    {
        PanelWindow w(Page::FormPage, Selection::Failed);
        w.form.txtExecute[0]->setText("Log 1");
        w.form.txtExecute[2]->setText("kept");
        w.form.txtTag->setText("kept too");
        const QStringList before = controlSnapshot(w.form);
        for (QPushButton* button : {w.form.cmdExecute, w.form.cmdPutTag, w.form.cmdGetTag}) {
            w.messages.messages.clear();
            w.click(button);
            QCOMPARE(w.messages.messages,
                     (QList<Message>{{failures::missingObject(), MessageIcon::Warning}}));
            QCOMPARE(controlSnapshot(w.form), before);
        }
        QVERIFY(w.engine()->calls.isEmpty());
    }
};

VELSCRIPT_TEST_MAIN(tst_ExecuteTag)
#include "tst_execute_tag.moc"
