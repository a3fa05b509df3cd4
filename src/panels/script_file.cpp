// The script file panel: opening a script file into the selected engine, saving the engine's
// script to a file, and the engine's file name. The path comes from the window's file dialog.
#include "core/frm_vel_scr_tester.h"

#include "platform/trap.h"

#include <QCoreApplication>

namespace velscript {

namespace {

enum DialogMode : qint16 { OpenMode = 0, SaveMode = 1 };

// Ask before replacing an existing file; offer no read-only check box.
constexpr qint32 SaveFlags = CommonDialog::OverwritePrompt | CommonDialog::HideReadOnly;

} // namespace

// Prepares and shows the file dialog and hands back the chosen full path. Cancel and every
// failure give an empty path without a word: the caller then simply does nothing. The dialog
// keeps the file name, title and flags of its last use.
QString frmVelScrTester::ShowFileDialog(CommonDialog* Dialog, qint16 Mode, const QString& Preset,
                                        qint32 Flags)
{
    QString path;
    try {
        CommonDialog& dialog = *Dialog;
        dialog.InitDir = QCoreApplication::applicationDirPath();
        dialog.CancelError = true;
        if (!Preset.isEmpty())
            dialog.FileName = Preset;
        switch (Mode) {
        case OpenMode:
            dialog.DialogTitle = QStringLiteral("Open");
            dialog.ShowOpen();
            break;
        case SaveMode:
            dialog.DialogTitle = QStringLiteral("Save");
            dialog.Flags = Flags;
            dialog.ShowSave();
            break;
        default:
            return path;
        }
        path = dialog.FileName;
    } catch (const std::exception&) {
        return QString();
    }
    return path;
}

void frmVelScrTester::cmdOpen_Click()
{
    trapped(MessageIcon::Warning, [this] {
        const QString path = ShowFileDialog(cmdlgFile, OpenMode, QString(), 0);
        if (path.isEmpty())
            return;
        if (isTrue(check(objEngine->Open(path, Variant::missing()))))
            cmdGetText_Click();
        else
            showMessage(QStringLiteral("Failed Open File."), MessageIcon::Warning);
    });
}

// Only an answer of exactly False is a refusal; the file name is left for its Get button.
void frmVelScrTester::cmdSave_Click()
{
    trapped(MessageIcon::Warning, [this] {
        const QString path = ShowFileDialog(cmdlgFile, SaveMode, QString(), SaveFlags);
        if (path.isEmpty())
            return;
        if (check(objEngine->Save(path, Variant::fromBoolean(True))) == False)
            showMessage(QStringLiteral("file name is null."), MessageIcon::Warning);
    });
}

void frmVelScrTester::cmdGetFileName_Click()
{
    trapped(MessageIcon::Warning, [this] { txtFileName->setText(check(objEngine->FileName())); });
}

} // namespace velscript
