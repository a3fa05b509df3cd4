#pragma once

#include "core/frm_vel_scr_tester.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "platform/trap.h"

#include <QList>
#include <QString>

#include <optional>

namespace velscript {

// The tests' way to the window's private procedures.
class TesterAccess {
public:
    static void EnableControls(frmVelScrTester& form, bool enabled)
    {
        form.EnableControls(enabled);
    }
    static bool closeAllowed(frmVelScrTester& form, qint16 mode) { return form.closeAllowed(mode); }
    static QString ShowFileDialog(frmVelScrTester& form, qint16 mode, const QString& preset,
                                  qint32 flags)
    {
        return form.ShowFileDialog(form.cmdlgFile, mode, preset, flags);
    }
};

namespace test {

struct Message {
    QString text;
    MessageIcon icon;
    bool operator==(const Message&) const = default;
};

// How QCOMPARE shows a message that differs.
inline char* toString(const Message& message)
{
    static const char* const icons[] = {"none", "warning", "error"};
    return qstrdup(qPrintable(
        QStringLiteral("[%1] %2").arg(QLatin1StringView(icons[int(message.icon)]), message.text)));
}

// Records every message box instead of showing it, for its lifetime.
class MessageRecorder {
public:
    MessageRecorder()
    {
        m_previous = setMessagePresenter([this](const QString& text, MessageIcon icon) {
            messages.append({text, icon});
        });
    }
    ~MessageRecorder() { setMessagePresenter(m_previous); }

    QList<Message> messages;

private:
    MessagePresenter m_previous;
};

// Records the ends of the program that untrapped failures ask for, for its lifetime.
class ProgramEndRecorder {
public:
    ProgramEndRecorder()
    {
        resetUntrappedExitStatus();
        m_previous = setProgramEnd([this](int status) { statuses.append(status); });
    }
    ~ProgramEndRecorder()
    {
        setProgramEnd(m_previous);
        resetUntrappedExitStatus();
    }

    QList<int> statuses;

private:
    ProgramEnd m_previous;
};

// Answers the file dialogs from a script: each answer a path, or nothing for Cancel.
class FileDialogScript {
public:
    explicit FileDialogScript(QList<std::optional<QString>> script) : answers(std::move(script))
    {
        m_previous = CommonDialog::setPresenter([this](const CommonDialog::Request& request) {
            requests.append(request);
            return answers.isEmpty() ? std::nullopt : answers.takeFirst();
        });
    }
    ~FileDialogScript() { CommonDialog::setPresenter(m_previous); }

    QList<std::optional<QString>> answers;
    QList<CommonDialog::Request> requests;

private:
    CommonDialog::Presenter m_previous;
};

} // namespace test
} // namespace velscript
