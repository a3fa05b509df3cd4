#include "platform/unanswered_call_box.h"

#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

namespace velscript {

UnansweredCall askAboutUnansweredCall(const QString& text, const std::function<bool()>& answered)
{
    QMessageBox box(QMessageBox::Warning, ApplicationTitle, text, QMessageBox::NoButton,
                    QApplication::activeWindow());
    box.setObjectName(QStringLiteral("unansweredCallBox"));
    QPushButton* wait = box.addButton(WaitButtonText, QMessageBox::AcceptRole);
    QPushButton* end = box.addButton(EndEngineButtonText, QMessageBox::DestructiveRole);
    wait->setObjectName(QStringLiteral("cmdWait"));
    end->setObjectName(QStringLiteral("cmdEndEngine"));
    box.setDefaultButton(wait);
    box.setEscapeButton(wait);

    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, &box, [&] {
        if (answered())
            box.done(0);
    });
    watch.start(50);
    box.exec();
    return box.clickedButton() == end ? UnansweredCall::EndEngine : UnansweredCall::Wait;
}

} // namespace velscript
