#include "platform/file_dialog.h"

#include "engine_kit/failure.h"

#include <QApplication>
#include <QFileDialog>

namespace velscript {

namespace {

std::optional<QString> showQtDialog(const CommonDialog::Request& request)
{
    QFileDialog dialog(QApplication::activeWindow(), request.title, request.initDir);
    dialog.setAcceptMode(request.mode == CommonDialog::Mode::Save ? QFileDialog::AcceptSave
                                                                  : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.mode == CommonDialog::Mode::Save ? QFileDialog::AnyFile
                                                                : QFileDialog::ExistingFile);
    // The descriptions already name their patterns; do not show them twice.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setOption(QFileDialog::DontConfirmOverwrite,
                     !(request.flags & CommonDialog::OverwritePrompt));
    dialog.setNameFilters(CommonDialog::nameFilters(request.filter));
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

CommonDialog::Presenter& dialogPresenter()
{
    static CommonDialog::Presenter current = showQtDialog;
    return current;
}

} // namespace

CommonDialog::CommonDialog(QObject* parent) : QObject(parent) {}

void CommonDialog::ShowOpen()
{
    show(Mode::Open);
}

void CommonDialog::ShowSave()
{
    show(Mode::Save);
}

void CommonDialog::show(Mode mode)
{
    const std::optional<QString> chosen =
        dialogPresenter()({mode, InitDir, DialogTitle, Filter, Flags, FileName});
    if (!chosen) {
        if (CancelError)
            throw Failure(QStringLiteral("Cancel was selected."));
        return;
    }
    FileName = *chosen;
}

QStringList CommonDialog::nameFilters(const QString& filter)
{
    QStringList result;
    const QStringList parts = filter.split(u'|');
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(u';', Qt::SkipEmptyParts);
        for (QString& pattern : patterns)
            if (pattern.trimmed() == QLatin1StringView("*.*"))
                pattern = QStringLiteral("*");
        result << QStringLiteral("%1 (%2)").arg(parts[i], patterns.join(u' '));
    }
    return result;
}

CommonDialog::Presenter CommonDialog::setPresenter(Presenter replacement)
{
    return std::exchange(dialogPresenter(), replacement ? std::move(replacement) : showQtDialog);
}

} // namespace velscript

#include "moc_file_dialog.cpp" // compiled here, with the precompiled Qt headers of this file
