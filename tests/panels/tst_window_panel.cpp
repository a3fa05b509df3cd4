// The window panel: the engine's own window shown, hidden and made visible, its handle, and the
// GUIEnabled switch, with a recording fake engine behind the real window.
#include "support/panel_window.h"
#include "support/test_program.h"

#include <QtTest>

using namespace velscript;
using namespace velscript::test;

using Page = PanelWindow::Page;
using Selection = PanelWindow::Selection;

namespace {

// The box set by code before the test starts; the write it causes is not part of the test.
void preset(PanelWindow& w, int boxValue, const Variant& reported)
{
    w.form.chkVisible->setValue(boxValue);
    w.engine()->set("Visible", reported);
    w.engine()->calls.clear();
}

} // namespace

class tst_WindowPanel : public QObject {
    Q_OBJECT

private slots:
    void showAndHideRefreshTheBox_data()
    {
        QTest::addColumn<bool>("show");
        QTest::addColumn<int>("before");
        QTest::addColumn<Variant>("reported");
        QTest::addColumn<int>("after");
        QTest::addColumn<QStringList>("writes");
        const Variant visible = Variant::fromBoolean(True);
        const Variant hidden = Variant::fromBoolean(False);
        QTest::newRow("show, checked, visible") << true << 1 << visible << 1 << QStringList{};
        QTest::newRow("show, unchecked, visible")
            << true << 0 << visible << 1 << QStringList{"Visible=True"};
        QTest::newRow("show, checked, hidden")
            << true << 1 << hidden << 0 << QStringList{"Visible=False"};
        QTest::newRow("show, unchecked, hidden") << true << 0 << hidden << 0 << QStringList{};
        QTest::newRow("hide, checked, visible") << false << 1 << visible << 1 << QStringList{};
        QTest::newRow("hide, unchecked, visible")
            << false << 0 << visible << 1 << QStringList{"Visible=True"};
        QTest::newRow("hide, checked, hidden")
            << false << 1 << hidden << 0 << QStringList{"Visible=False"};
        QTest::newRow("hide, unchecked, hidden") << false << 0 << hidden << 0 << QStringList{};
        QTest::newRow("nonzero but not True, checked")
            << true << 1 << Variant::fromBoolean(1) << 0 << QStringList{"Visible=False"};
        QTest::newRow("nonzero but not True, unchecked")
            << false << 0 << Variant::fromBoolean(1) << 0 << QStringList{};
        QTest::newRow("grayed, visible")
            << true << 2 << visible << 1 << QStringList{"Visible=True"};
    }

    void showAndHideRefreshTheBox()
    {
        QFETCH(bool, show);
        QFETCH(int, before);
        QFETCH(Variant, reported);
        QFETCH(int, after);
        QFETCH(QStringList, writes);
        PanelWindow w(Page::FormPage);
        preset(w, before, reported);

        w.click(show ? w.form.cmdShow : w.form.cmdHide);
        const QString operation = show ? "Show" : "Hide";
        QCOMPARE(w.engine()->calls, QStringList({operation + "=<missing>", "Visible"}) + writes);
        QVERIFY(w.engine()->passed(operation).isMissing());
        QCOMPARE(w.form.chkVisible->value(), after);
        QVERIFY(w.messages.messages.isEmpty());
    }

    void clickingTheBoxWritesVisible()
    {
        PanelWindow w(Page::FormPage);
        w.click(w.form.chkVisible);
        w.click(w.form.chkVisible);
        QCOMPARE(w.engine()->calls, (QStringList{"Visible=True", "Visible=False"}));

        // A refused write leaves the box as the click set it.
        w.engine()->failOn("Visible=", "window is gone");
        w.click(w.form.chkVisible);
        QCOMPARE(w.form.chkVisible->value(), 1);
        QCOMPARE(w.messages.messages, (QList<Message>{{"window is gone", MessageIcon::Warning}}));
    }

    void showAndHideFailures()
    {
        PanelWindow w(Page::FormPage);
        preset(w, 1, Variant::fromBoolean(False));
        w.engine()->failOn("Show", "cannot show");
        w.click(w.form.cmdShow);
        QCOMPARE(w.engine()->calls, QStringList{"Show=<missing>"});
        QCOMPARE(w.form.chkVisible->value(), 1);

        w.engine()->failOn("Visible", "state unknown");
        w.click(w.form.cmdHide);
        QCOMPARE(w.form.chkVisible->value(), 1);
        QCOMPARE(w.messages.messages, (QList<Message>{{"cannot show", MessageIcon::Warning},
                                                      {"state unknown", MessageIcon::Warning}}));
    }

    void writeBackFailureIsReportedByTheBoxOnly()
    {
        PanelWindow w(Page::FormPage);
        preset(w, 0, Variant::fromBoolean(True));
        w.engine()->failOn("Visible=", "window is gone");
        w.click(w.form.cmdShow);
        QCOMPARE(w.form.chkVisible->value(), 1);
        QCOMPARE(w.engine()->calls, (QStringList{"Show=<missing>", "Visible", "Visible=True"}));
        QCOMPARE(w.messages.messages, (QList<Message>{{"window is gone", MessageIcon::Warning}}));
    }

    void handleAsSignedDecimal_data()
    {
        QTest::addColumn<int>("handle");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << 0 << "0";
        QTest::newRow("positive") << 123456789 << "123456789";
        QTest::newRow("highest bit set") << int(qint32(0x80000001u)) << "-2147483647";
        QTest::newRow("all bits set") << -1 << "-1";
    }

    void handleAsSignedDecimal()
    {
        QFETCH(int, handle);
        QFETCH(QString, text);
        PanelWindow w(Page::FormPage);
        w.engine()->set("hWnd", handle);
        w.click(w.form.cmdGetHwnd);
        QCOMPARE(w.form.txtHwnd->text(), text);
        QVERIFY(w.messages.messages.isEmpty());
    }

    void handleFailureInAPlainBox()
    {
        PanelWindow w(Page::FormPage);
        w.form.txtHwnd->setText("4242");
        w.engine()->failOn("hWnd", "no window");
        w.click(w.form.cmdGetHwnd);
        QCOMPARE(w.form.txtHwnd->text(), QString("4242"));
        QCOMPARE(w.messages.messages, (QList<Message>{{"no window", MessageIcon::None}}));
    }

    void putGUIEnabled_data()
    {
        QTest::addColumn<int>("box");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("call");
        QTest::newRow("ticked") << 1 << "Toolbar"
                                << "GUIEnabled=Toolbar,True";
        QTest::newRow("clear") << 0 << "Toolbar"
                               << "GUIEnabled=Toolbar,False";
        QTest::newRow("grayed") << 2 << "Toolbar"
                                << "GUIEnabled=Toolbar,False";
        QTest::newRow("empty name") << 1 << ""
                                    << "GUIEnabled=,True";
    }

    void putGUIEnabled()
    {
        QFETCH(int, box);
        QFETCH(QString, name);
        QFETCH(QString, call);
        PanelWindow w(Page::FormPage);
        w.form.chkEnabled->setValue(box);
        w.form.txtGUIEnabled->setText(name);
        w.click(w.form.cmdPutGUIEnabled);
        QCOMPARE(w.engine()->calls, QStringList{call});
        QVERIFY(w.messages.messages.isEmpty());
    }

    void getGUIEnabled_data()
    {
        QTest::addColumn<Variant>("reported");
        QTest::addColumn<int>("box");
        QTest::newRow("True") << Variant::fromBoolean(True) << 1;
        QTest::newRow("False") << Variant::fromBoolean(False) << 0;
        QTest::newRow("nonzero but not True") << Variant::fromBoolean(1) << 0;
    }

    void getGUIEnabled()
    {
        QFETCH(Variant, reported);
        QFETCH(int, box);
        PanelWindow w(Page::FormPage);
        w.form.chkEnabled->setValue(box == 1 ? 0 : 1);
        w.form.txtGUIEnabled->setText("Menu");
        w.engine()->set("GUIEnabled", reported);
        w.click(w.form.cmdGetGUIEnabled);
        QCOMPARE(w.form.chkEnabled->value(), box);
        QCOMPARE(w.engine()->calls, QStringList{"GUIEnabled?Menu"}); // the box has no handler
        QVERIFY(w.messages.messages.isEmpty());
    }

    void guiEnabledFailures()
    {
        PanelWindow w(Page::FormPage);
        w.form.chkEnabled->setValue(1);
        w.engine()->failOn("GUIEnabled", "unknown part");
        w.click(w.form.cmdGetGUIEnabled);
        QCOMPARE(w.form.chkEnabled->value(), 1);
        w.click(w.form.cmdPutGUIEnabled);
        QCOMPARE(w.messages.messages, (QList<Message>{{"unknown part", MessageIcon::Warning},
                                                      {"unknown part", MessageIcon::Warning}}));
    }

    void missingEngineChangesNothing()
    {
        PanelWindow w(Page::FormPage, Selection::Failed);
        w.form.txtHwnd->setText("77");
        w.form.chkEnabled->setValue(1);
        w.form.txtGUIEnabled->setText("Menu");
        const QStringList before = controlSnapshot(w.form);
        const struct {
            QPushButton* button;
            MessageIcon icon;
        } buttons[] = {{w.form.cmdShow, MessageIcon::Warning},
                       {w.form.cmdHide, MessageIcon::Warning},
                       {w.form.cmdGetHwnd, MessageIcon::None},
                       {w.form.cmdPutGUIEnabled, MessageIcon::Warning},
                       {w.form.cmdGetGUIEnabled, MessageIcon::Warning}};
        for (const auto& [button, icon] : buttons) {
            w.messages.messages.clear();
            w.click(button);
            QCOMPARE(w.messages.messages, (QList<Message>{{failures::missingObject(), icon}}));
            QCOMPARE(controlSnapshot(w.form), before);
        }

        // The box keeps the user's click.
        w.messages.messages.clear();
        w.click(w.form.chkVisible);
        QCOMPARE(w.messages.messages,
                 (QList<Message>{{failures::missingObject(), MessageIcon::Warning}}));
        QCOMPARE(w.form.chkVisible->value(), 1);
        QVERIFY(w.engine()->calls.isEmpty());
    }
};

VELSCRIPT_TEST_MAIN(tst_WindowPanel)
#include "tst_window_panel.moc"
