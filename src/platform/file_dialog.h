#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace velscript {

// The common file dialog control: properties that persist between uses and two modal operations.
// The filter uses the "description|pattern|description|pattern" form.
class CommonDialog : public QObject {
    Q_OBJECT
public:
    enum Flag : qint32 {
        OverwritePrompt = 2, // ask before a save replaces an existing file
        HideReadOnly = 4,    // offer no read-only check box (Qt's dialogs never offer one)
    };

    enum class Mode { Open, Save };

    // What a presenter is asked to show.
    struct Request {
        Mode mode;
        QString initDir;
        QString title;
        QString filter;
        qint32 flags;
        QString fileName;
    };
    // The chosen full path, or nothing for Cancel.
    using Presenter = std::function<std::optional<QString>(const Request&)>;

    explicit CommonDialog(QObject* parent = nullptr);

    QString InitDir;
    bool CancelError = false;
    QString FileName;
    QString DialogTitle;
    qint32 Flags = 0;
    QString Filter;

    // Show the modal dialog. Cancel leaves FileName as it was and, while CancelError is set,
    // fails with the description "Cancel was selected.".
    void ShowOpen();
    void ShowSave();

    // Qt's name filters for a filter text; "*.*" means every file, as users expect.
    static QStringList nameFilters(const QString& filter);

    static Presenter setPresenter(Presenter presenter);

private:
    void show(Mode mode);
};

} // namespace velscript
