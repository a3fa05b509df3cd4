#pragma once

#include "support/fake_engine.h"
#include "support/recorders.h"

#include <QAbstractButton>
#include <QLabel>
#include <QStringList>
#include <QtTest>

namespace velscript::test {

// The window as the panel tests need it: loaded, one recording engine created and selected, a
// page of the tab control on show, the engine's calls and the messages so far cleared. Messages
// are recorded from before the window exists.
class PanelWindow {
public:
    enum class Selection {
        Made,  // the engine is selected normally
        Failed // a read fails inside the selection during Create: the panels are enabled,
               // but objEngine is none
    };
    enum Page { FormPage = 0, TaskPage = 1 };

    explicit PanelWindow(Page page, Selection selection = Selection::Made)
        : fakes([selection] {
              auto* fake = new FakeEngine;
              if (selection == Selection::Failed)
                  fake->failOn(QStringLiteral("FileName"), QStringLiteral("file name unreadable"));
              return fake;
          })
    {
        RecordingEngine::resetAll();
        form.Form_Load();
        QTest::mouseClick(form.cmdCreate, Qt::LeftButton);
        form.tabVelScript->setCurrentPage(page);
        if (selection == Selection::Failed && form.objEngine)
            qFatal("the selection during Create was expected to fail");
        engine()->calls.clear();
        messages.messages.clear();
    }

    MessageRecorder messages;
    FakeEngineRegistration fakes;
    frmVelScrTester form;

    RecordingEngine* engine(int serial = 0) const { return RecordingEngine::made().value(serial); }

    void click(QAbstractButton* button) const
    {
        QVERIFY2(button->isEnabled(), qPrintable(button->objectName()));
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    }

    void createAnother() { QTest::mouseClick(form.cmdCreate, Qt::LeftButton); }
    void choose(int index) { form.cmbIndex->setListIndex(index); }
};

// Every value the window shows, as "name=value" lines: text boxes, labels, check boxes and the
// selections of the lists. Two snapshots differ exactly where a control changed.
inline QStringList controlSnapshot(const QWidget& form)
{
    QStringList values;
    for (const QWidget* control : form.findChildren<QWidget*>()) {
        const QString name = control->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1StringView("qt_")))
            continue;
        if (const auto* box = qobject_cast<const CheckBox*>(control))
            values << name + u'=' + QString::number(box->value());
        else if (const auto* line = qobject_cast<const QLineEdit*>(control))
            values << name + u'=' + line->text();
        else if (const auto* text = qobject_cast<const QPlainTextEdit*>(control))
            values << name + u'=' + text->toPlainText();
        else if (const auto* label = qobject_cast<const QLabel*>(control))
            values << name + u'=' + label->text();
        else if (const auto* list = qobject_cast<const DropDownList*>(control))
            values << name + u'=' + QString::number(list->listIndex());
    }
    return values;
}

} // namespace velscript::test
