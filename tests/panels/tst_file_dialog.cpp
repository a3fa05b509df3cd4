// The production file dialog: the real QFileDialog, shown modally through the window's Open and
// Save buttons and driven from inside its own event loop.
#include "support/panel_window.h"
#include "support/test_program.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QListView>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

using namespace velscript;
using namespace velscript::test;

namespace {

// Acts on the modal widgets that appear while a dialog runs, one step at a time. A step waits
// until its condition holds for the current modal widget, then acts; an action that would block
// (an accept that opens a question) is queued, so the steps that follow can answer it. If the
// steps do not finish in time, every modal widget is rejected so the test ends instead of hanging.
class ModalScript {
public:
    struct Step {
        std::function<bool(QWidget*)> ready;
        std::function<void(QWidget*)> act;
    };

    explicit ModalScript(QList<Step> steps) : m_steps(std::move(steps))
    {
        m_elapsed.start();
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
        m_timer.start(10);
    }

    bool finished() const { return m_steps.isEmpty(); }
    bool timedOut = false;
    QStringList modalsSeen; // class names of the modal widgets, in the order they appeared

private:
    void tick()
    {
        QWidget* const modal = QApplication::activeModalWidget();
        if (modal && (modalsSeen.isEmpty() || m_lastModal != modal)) {
            modalsSeen << QLatin1StringView(modal->metaObject()->className());
            m_lastModal = modal;
        }
        if (m_steps.isEmpty())
            return;
        if (m_elapsed.hasExpired(20000)) {
            timedOut = true;
            m_steps.clear();
            while (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                dialog->reject();
            return;
        }
        if (modal && m_steps.first().ready(modal)) {
            const Step step = m_steps.takeFirst();
            step.act(modal);
        }
    }

    QList<Step> m_steps;
    QTimer m_timer;
    QElapsedTimer m_elapsed;
    QPointer<QWidget> m_lastModal;
};

QFileDialog* asFileDialog(QWidget* widget)
{
    return qobject_cast<QFileDialog*>(widget);
}

// The names the dialog's list shows for its current directory and filter.
QStringList listedNames(QFileDialog* dialog)
{
    auto* view = dialog->findChild<QListView*>(QStringLiteral("listView"));
    auto* model = dialog->findChild<QFileSystemModel*>();
    QStringList names;
    if (!view || !model || model->rootPath() != dialog->directory().absolutePath())
        return names;
    const QModelIndex root = view->rootIndex();
    for (int row = 0; row < model->rowCount(root); ++row)
        names << model->index(row, 0, root).data().toString();
    names.sort();
    return names;
}

QStringList filterEntries(QFileDialog* dialog)
{
    QStringList entries;
    if (auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
        for (int i = 0; i < combo->count(); ++i)
            entries << combo->itemText(i);
    return entries;
}

void chooseFilter(QFileDialog* dialog, int index)
{
    auto* combo = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    combo->setCurrentIndex(index);
    emit combo->activated(index); // as the user's choice
}

// Types a name as the user would and presses the dialog's accepting button later, from its
// event loop.
void typeAndAccept(QFileDialog* dialog, const QString& name)
{
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    edit->setText(name);
    QMetaObject::invokeMethod(static_cast<QDialog*>(dialog), &QDialog::accept,
                              Qt::QueuedConnection);
}

QString canonical(const QString& path)
{
    return QFileInfo(path).canonicalFilePath();
}

bool makeFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("Sub Main\nEnd Sub\n") > 0;
}

} // namespace

class tst_FileDialog : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(makeFile(m_dir.filePath("a.vbs")));
        QVERIFY(makeFile(m_dir.filePath("notes.txt")));
        QVERIFY(makeFile(m_dir.filePath("README")));
    }

    void openShowsFiltersTitleDirectoryAndListsEveryFile()
    {
        PanelWindow w(PanelWindow::FormPage);
        w.engine()->set("OpenResult", Variant::fromBoolean(True));
        QString title;
        QString directory;
        QStringList filters;
        QStringList scriptFiles;
        QStringList allFiles;
        const QString dir = m_dir.path();
        ModalScript script({
            {asFileDialog,
             [&](QWidget* modal) {
                 auto* dialog = asFileDialog(modal);
                 title = dialog->windowTitle();
                 directory = dialog->directory().absolutePath();
                 filters = filterEntries(dialog);
                 dialog->setDirectory(dir);
             }},
            {[&](QWidget* modal) { return listedNames(asFileDialog(modal)).contains("a.vbs"); },
             [&](QWidget* modal) {
                 auto* dialog = asFileDialog(modal);
                 scriptFiles = listedNames(dialog);
                 chooseFilter(dialog, 1);
             }},
            {[&](QWidget* modal) { return listedNames(asFileDialog(modal)).contains("README"); },
             [&](QWidget* modal) {
                 auto* dialog = asFileDialog(modal);
                 allFiles = listedNames(dialog);
                 typeAndAccept(dialog, "a.vbs");
             }},
        });
        w.click(w.form.cmdOpen);

        QVERIFY(!script.timedOut);
        QVERIFY(script.finished());
        QCOMPARE(title, QString("Open"));
        QCOMPARE(canonical(directory), canonical(QCoreApplication::applicationDirPath()));
        QCOMPARE(filters, (QStringList{"Script File (*.vbs)", "All Files (*.*)"}));
        QCOMPARE(scriptFiles, QStringList{"a.vbs"});
        QCOMPARE(allFiles, (QStringList{"README", "a.vbs", "notes.txt"}));
        QCOMPARE(w.engine()->calls.value(0),
                 QString("Open=%1,<missing>").arg(m_dir.filePath("a.vbs")));
        QVERIFY(w.messages.messages.isEmpty());
        QCOMPARE(w.form.cmdlgFile->FileName, m_dir.filePath("a.vbs"));
    }

    void saveAsksBeforeReplacingAFile()
    {
        PanelWindow w(PanelWindow::FormPage);
        w.engine()->set("SaveResult", Variant::fromBoolean(True));
        QString title;
        QString question;
        const QString dir = m_dir.path();
        ModalScript script({
            {asFileDialog,
             [&](QWidget* modal) {
                 auto* dialog = asFileDialog(modal);
                 title = dialog->windowTitle();
                 dialog->setDirectory(dir);
                 typeAndAccept(dialog, "a.vbs");
             }},
            {[](QWidget* modal) { return qobject_cast<QMessageBox*>(modal) != nullptr; },
             [&](QWidget* modal) {
                 auto* box = qobject_cast<QMessageBox*>(modal);
                 question = box->text();
                 box->button(QMessageBox::No)->click();
             }},
            // Declining keeps the dialog open; the second answer replaces the file.
            {asFileDialog, [&](QWidget* modal) { typeAndAccept(asFileDialog(modal), "a.vbs"); }},
            {[](QWidget* modal) { return qobject_cast<QMessageBox*>(modal) != nullptr; },
             [&](QWidget* modal) {
                 qobject_cast<QMessageBox*>(modal)->button(QMessageBox::Yes)->click();
             }},
        });
        w.click(w.form.cmdSave);

        QVERIFY(!script.timedOut);
        QVERIFY(script.finished());
        QCOMPARE(title, QString("Save"));
        QVERIFY2(question.contains("a.vbs"), qPrintable(question));
        QCOMPARE(w.engine()->calls,
                 QStringList{QString("Save=%1,True").arg(m_dir.filePath("a.vbs"))});
        QVERIFY(w.messages.messages.isEmpty());
    }

    void saveWithoutTheOverwriteFlagDoesNotAsk()
    {
        CommonDialog dialog;
        dialog.InitDir = m_dir.path();
        dialog.Filter = "Script File (*.vbs)|*.vbs|All Files (*.*)|*.*";
        dialog.Flags = CommonDialog::HideReadOnly;
        ModalScript script(
            {{asFileDialog, [](QWidget* modal) { typeAndAccept(asFileDialog(modal), "a.vbs"); }}});
        dialog.ShowSave();
        QVERIFY(!script.timedOut);
        QCOMPARE(dialog.FileName, m_dir.filePath("a.vbs"));
        QCOMPARE(script.modalsSeen, QStringList{"QFileDialog"});
    }

    void cancelOfTheRealDialogIsAFailure()
    {
        CommonDialog dialog;
        dialog.InitDir = m_dir.path();
        dialog.FileName = "kept.vbs";
        dialog.CancelError = true;
        ModalScript script({{asFileDialog, [](QWidget* modal) {
                                 QMetaObject::invokeMethod(asFileDialog(modal), &QDialog::reject,
                                                           Qt::QueuedConnection);
                             }}});
        QVERIFY_THROWS_EXCEPTION(Failure, dialog.ShowOpen());
        QVERIFY(script.finished());
        QCOMPARE(dialog.FileName, QString("kept.vbs"));
    }

private:
    QTemporaryDir m_dir;
};

VELSCRIPT_TEST_MAIN(tst_FileDialog)
#include "tst_file_dialog.moc"
