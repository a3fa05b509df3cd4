// Engines from plugins through the window, each in a host process of its own: an engine that
// crashes, hangs or throws in Start costs that engine and nothing else, and a hosted engine shares
// the one VelSQL object with the built-in engine.
#include "engine/engine_factory.h"
#include "engine_kit/hosting.h"
#include "journal/journal_files.h"
#include "platform/unanswered_call_box.h"
#include "support/test_program.h"
#include "tester_session.h"
#include "velsql/registration.h"

#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

using namespace velscript;
using namespace velscript::test;

namespace {

// The component path for the rest of a test.
class Components {
public:
    explicit Components(const char* folder) { qputenv("VELSCRIPT_COMPONENT_PATH", folder); }
    ~Components() { qunsetenv("VELSCRIPT_COMPONENT_PATH"); }
};

struct BoxSeen {
    QString title;
    QString text;
    qint64 afterMs = 0;
    int paints = 0; // of the window behind, so far
};

// Counts the paints of a widget.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Answers each not-answering box as it comes up, in turn, and notes what it said and when.
class BoxAnswers : public QObject {
public:
    explicit BoxAnswers(QStringList buttons) : m_buttons(std::move(buttons))
    {
        m_clock.start();
        m_poll.callOnTimeout(this, &BoxAnswers::look);
        m_poll.start(20);
    }
    QList<BoxSeen> seen;

private:
    void look()
    {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || box->objectName() != QLatin1StringView("unansweredCallBox") ||
            m_buttons.isEmpty())
            return;
        // The window behind asks to be painted again; the box's own loop must do it.
        if (QWidget* window = box->parentWidget() ? box->parentWidget()->window() : nullptr)
            window->update();
        seen.append(
            {box->windowTitle(), box->text(), m_clock.elapsed(), painted ? painted->paints : 0});
        const QString button = m_buttons.takeFirst();
        for (QAbstractButton* candidate : box->buttons()) {
            if (candidate->text() == button)
                candidate->click();
        }
    }

public:
    PaintCounter* painted = nullptr;

private:
    QStringList m_buttons;
    QTimer m_poll;
    QElapsedTimer m_clock;
};

const QString Signal11 = QStringLiteral("signal 11, Segmentation fault");

// Under the address sanitizer a crash is reported and ended by the sanitizer, with an exit code.
bool crashedAsExpected(const QString& text, const QString& prefix)
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return text.startsWith(prefix + " (") && text.endsWith(").");
#else
    return text == prefix + " (" + Signal11 + ").";
#endif
}

} // namespace

class tst_E2eHosted : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        engine::registerReferenceEngine();
        registerVelSqlClass();
    }

    void aCrashInStartCostsOneEngine()
    {
        Components components(MISBEHAVING_COMPONENTS_DIR);
        TesterSession session;
        session.create();
        session.create();
        QVERIFY(isHosted(*session.form.objEngine.object()));
        session.put("fine");
        session.choose(0);
        session.put("crash");
        session.start(OneCycle);

        QCOMPARE(session.messages.messages.size(), 1);
        const Message crashed = session.messages.messages.takeFirst();
        QVERIFY2(crashedAsExpected(crashed.text,
                                   "VelScript engine No.(0) ended unexpectedly during Start"),
                 qPrintable(crashed.text));
        QCOMPARE(crashed.icon, MessageIcon::Warning);

        // The ended engine answers as one that runs nothing where the window needs it, and says
        // what happened everywhere else.
        QCOMPARE(session.state(), QString("0"));
        session.page(TesterSession::TaskPage);
        session.click(session.form.cmdGetText);
        // The cause, as the crash told it.
        const QString cause = crashed.text.section("during Start (", 1).chopped(2);
        QCOMPARE(session.messages.messages,
                 (QList<Message>{{"VelScript engine No.(0) has ended (" + cause +
                                      "); release it and create a new one.",
                                  MessageIcon::Warning}}));
        session.messages.messages.clear();

        session.click(session.form.cmdRelease);
        QCOMPARE(session.form.colEngine.count(), 1);
        QCOMPARE(session.messages.messages, QList<Message>{});

        // The other engine and its script text are untouched.
        session.choose(0);
        QCOMPARE(session.form.cmbIndex->currentText(), QString("1"));
        QCOMPARE(session.form.txtProgram->toPlainText(), QString("fine"));
        session.start(OneCycle);
        session.create();
        QCOMPARE(session.form.colEngine.count(), 2);
        session.form.show();
        QVERIFY(session.form.close());
        QCOMPARE(session.messages.messages, QList<Message>{});
    }

    void aHangInStartIsAskedAboutAndEnded()
    {
        Components components(MISBEHAVING_COMPONENTS_DIR);
        TesterSession session;
        session.create();
        session.put("hang");
        QVERIFY(QTest::qWaitForWindowExposed(&session.form));
        PaintCounter painted(&session.form);
        BoxAnswers answers({WaitButtonText, EndEngineButtonText});
        answers.painted = &painted;
        QElapsedTimer clock;
        clock.start();
        session.start(OneCycle);

        QCOMPARE(answers.seen.size(), 2);
        const QString asked = "VelScript engine No.(0) has not answered Start for 5 seconds.";
        for (const BoxSeen& box : answers.seen) {
            QCOMPARE(box.title, QString("VelScriptTester"));
            QCOMPARE(box.text, asked);
        }
        QVERIFY2(answers.seen[0].afterMs >= 4900 && answers.seen[0].afterMs < 6000,
                 qPrintable(QString::number(answers.seen[0].afterMs)));
        QVERIFY2(answers.seen[1].paints > answers.seen[0].paints,
                 qPrintable(QString::number(answers.seen[1].paints)));
        // Wait asks again after the next 5 seconds.
        QVERIFY2(answers.seen[1].afterMs - answers.seen[0].afterMs >= 4900,
                 qPrintable(QString::number(answers.seen[1].afterMs)));
        QCOMPARE(session.messages.messages,
                 (QList<Message>{
                     {"VelScript engine No.(0) was ended during Start.", MessageIcon::Warning}}));
        session.messages.messages.clear();

        // The window goes on.
        session.page(TesterSession::TaskPage);
        session.click(session.form.cmdRelease);
        session.create();
        session.put("fine");
        session.start(OneCycle);
        QCOMPARE(session.messages.messages, QList<Message>{});
    }

    void aThrowInStartIsShownInAndOutOfAHost_data()
    {
        QTest::addColumn<bool>("inProcess");
        QTest::newRow("in a host process") << false;
        QTest::newRow("in process") << true;
    }
    void aThrowInStartIsShownInAndOutOfAHost()
    {
        QFETCH(bool, inProcess);
        Components components(MISBEHAVING_COMPONENTS_DIR);
        if (inProcess)
            qputenv("VELSCRIPT_IN_PROCESS", "1");
        const auto restore = qScopeGuard([] { qunsetenv("VELSCRIPT_IN_PROCESS"); });
        JournalFile file;
        {
            TesterSession session;
            session.create();
            QCOMPARE(isHosted(*session.form.objEngine.object()), !inProcess);
            session.put("throw");
            session.start(OneCycle);
            QCOMPARE(
                session.messages.messages,
                (QList<Message>{{"The misbehaving engine threw in Start.", MessageIcon::Warning}}));
            // A throw is the engine's answer, not its end.
            session.put("fine");
            session.start(OneCycle);
            QCOMPARE(session.messages.messages.size(), 1);
        }
        // And the journal says so.
        QVERIFY2(file.readable().contains("engine 0 Start(1, Missing) -> failed \"The misbehaving "
                                          "engine threw in Start.\""),
                 qPrintable(file.readable().join('\n')));
    }

    void aHostedEngineSharesTheVelSqlObjectWithTheBuiltInOne()
    {
        TesterSession session;
        session.create(); // the built-in engine
        QVERIFY(!isHosted(*session.form.objEngine.object()));
        Components components(REFERENCE_COMPONENTS_DIR);
        session.create();
        QVERIFY(isHosted(*session.form.objEngine.object()));
        session.addObject("db");
        session.choose(0);
        session.addObject("db");
        session.messages.messages.clear();

        // Rows written by the built-in engine are read by the hosted one, and back.
        RUN_ONE_CYCLE(session, "Sub Main\n"
                               "    db.Open \":memory:\"\n"
                               "    db.Execute \"CREATE TABLE t (who TEXT)\"\n"
                               "    db.Execute \"INSERT INTO t VALUES ('built-in')\"\n"
                               "End Sub\n");
        session.choose(1);
        RUN_ONE_CYCLE(session, "Sub Main\n"
                               "    Log \"hosted sees \" & db.Scalar(\"SELECT who FROM t\")\n"
                               "    db.Execute \"INSERT INTO t VALUES ('hosted')\"\n"
                               "End Sub\n");
        QVERIFY2(session.log().contains("hosted sees built-in"),
                 qPrintable(session.log().join('\n')));
        session.choose(0);
        RUN_ONE_CYCLE(session, "Sub Main\n"
                               "    Log \"rows \" & db.Scalar(\"SELECT count(*) FROM t\")\n"
                               "End Sub\n");
        QVERIFY2(session.log().contains("rows 2"), qPrintable(session.log().join('\n')));

        // The Execute panel waits on the hosted engine while that engine's statement calls the
        // object in this process.
        session.choose(1);
        QCOMPARE(session.execute("db.Scalar(\"SELECT 6 * 7\")"), QString("42"));
        QCOMPARE(session.messages.messages, QList<Message>{});
    }

    // The journal holds the call during which the engine ended, and a replay makes it again:
    // against the same engine it ends again, against one that returns that is a difference.
    void aCrashOrHangIsReplayedAsTheEngineEnding_data()
    {
        QTest::addColumn<QString>("misdeed");
        QTest::newRow("crash") << "crash";
        QTest::newRow("hang") << "hang";
    }
    void aCrashOrHangIsReplayedAsTheEngineEnding()
    {
        QFETCH(QString, misdeed);
        JournalFile file;
        {
            Components components(MISBEHAVING_COMPONENTS_DIR);
            TesterSession session;
            BoxAnswers answers({EndEngineButtonText});
            session.create();
            session.put(misdeed);
            session.start(OneCycle);
            QCOMPARE(session.messages.messages.size(), 1);
            session.messages.messages.clear();
            session.page(TesterSession::TaskPage);
            session.click(session.form.cmdRelease);
            QCOMPARE(session.messages.messages, QList<Message>{});
        }
        const QList<QJsonObject> entries = file.entries();
        qsizetype begun = -1;
        qsizetype ended = -1;
        for (qsizetype i = 0; i < entries.size(); ++i) {
            if (entries[i].value("op") != "Start")
                continue;
            (entries[i].value("begun").toBool() ? begun : ended) = i;
        }
        QVERIFY(begun >= 0 && ended == begun + 1);
        QVERIFY(entries[ended].value("ended").toBool());

        const QString difference =
            QStringLiteral("#%1 Start on engine 0: recorded the engine ending, now returned");
        ReplayRun run =
            runReplayProgram(REPLAY, {"--component-path", MISBEHAVING_COMPONENTS_DIR, file.path});
        QVERIFY2(run.status == 0 && run.out.contains(" 0 differ, "), qPrintable(run.out));
        run = runReplayProgram(REPLAY, {"--component-path", FAKE_COMPONENTS_DIR, file.path});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.out.startsWith(difference.arg(ended + 1) + "\n"), qPrintable(run.out));

        // A tester that ended during the call itself left only the call's beginning.
        QFile journal(file.path);
        QVERIFY(journal.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = journal.readAll().split('\n');
        journal.close();
        const QString cut = file.path + ".cut";
        QFile truncated(cut);
        QVERIFY(truncated.open(QIODevice::WriteOnly));
        truncated.write(lines.mid(0, begun + 1).join('\n') + '\n');
        truncated.close();
        run = runReplayProgram(REPLAY, {"--component-path", FAKE_COMPONENTS_DIR, cut});
        QCOMPARE(run.status, 1);
        QVERIFY2(run.out.startsWith(difference.arg(begun + 1) + "\n"), qPrintable(run.out));
    }
};

VELSCRIPT_TEST_MAIN(tst_E2eHosted)
#include "tst_e2e_hosted.moc"
