#pragma once

// The tester's window driven as a user drives it, over the built-in reference engine and VelSQL
// object: buttons pressed with the mouse on the page that holds them, values read from the
// controls they are shown in, message boxes recorded instead of shown.

#include "support/recorders.h"

#include <QRegularExpression>
#include <QtTest>

namespace velscript::test {

// Generous: the machine may be loaded, but a script that should have come to rest and has not
// is a failure.
inline constexpr int Patience = 30000;

// Start and stop lists, by position.
enum StartEntry { OneCycle = 0, Continuous = 1 };
enum StopEntry { DefaultStop = 0, ImmediateStop = 1, CycleStop = 3 };

class TesterSession {
public:
    enum Page { FormPage = 0, TaskPage = 1 };

    TesterSession()
    {
        form.Form_Load();
        form.show();
    }

    MessageRecorder messages;
    frmVelScrTester form;

    void click(QAbstractButton* button)
    {
        QVERIFY2(button->isEnabled(), qPrintable(button->objectName()));
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    }
    void page(Page shown) { form.tabVelScript->setCurrentPage(shown); }

    void create() { click(form.cmdCreate); }
    void choose(int position) { form.cmbIndex->setListIndex(position); }

    void put(const QString& script)
    {
        page(TaskPage);
        form.txtProgram->setPlainText(script);
        click(form.cmdPutText);
    }
    void start(StartEntry mode)
    {
        page(TaskPage);
        form.cmbStart->setListIndex(mode);
        click(form.cmdStart);
    }
    void stop(StopEntry mode)
    {
        page(TaskPage);
        form.cmbStop->setListIndex(mode);
        click(form.cmdStop);
    }
    void addObject(const QString& name)
    {
        page(TaskPage);
        form.txtObjectName->setText(name);
        click(form.cmdAddObject);
    }

    // What Get State shows.
    QString state()
    {
        page(TaskPage);
        click(form.cmdGetState);
        return form.lblState->text();
    }

    // The entries Get Log shows, without their time stamps.
    QStringList log()
    {
        page(FormPage);
        click(form.cmdGetLog);
        QStringList texts;
        static const QRegularExpression lineBreaks(QStringLiteral("[\r\n]+"));
        for (const QString& entry :
             form.txtLog->toPlainText().split(lineBreaks, Qt::SkipEmptyParts))
            texts << entry.mid(24);
        return texts;
    }

    // What the Execute panel shows for a statement run without an argument.
    QString execute(const QString& statement)
    {
        page(FormPage);
        form.txtExecute[0]->setText(statement);
        form.txtExecute[1]->clear();
        form.txtExecute[2]->clear();
        click(form.cmdExecute);
        return form.txtExecute[2]->text();
    }
};

} // namespace velscript::test

// Presses Get State, bounded, until the selected engine's script has come to rest.
#define WAIT_FOR_REST(session)                                                                     \
    QTRY_COMPARE_WITH_TIMEOUT((session).state(), QStringLiteral("0"), velscript::test::Patience)

// Puts a script, starts it for one cycle and waits, bounded, for it to end.
#define RUN_ONE_CYCLE(session, script)                                                             \
    do {                                                                                           \
        (session).put(script);                                                                     \
        (session).start(velscript::test::OneCycle);                                                \
        WAIT_FOR_REST(session);                                                                    \
    } while (false)
