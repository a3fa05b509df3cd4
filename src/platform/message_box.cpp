#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>

namespace velscript {

namespace {

void showModalBox(const QString& text, MessageIcon icon)
{
    const QMessageBox::Icon shown = icon == MessageIcon::Warning ? QMessageBox::Warning
                                    : icon == MessageIcon::Error ? QMessageBox::Critical
                                                                 : QMessageBox::NoIcon;
    QMessageBox box(shown, ApplicationTitle, text, QMessageBox::Ok, QApplication::activeWindow());
    box.exec();
}

MessagePresenter& messagePresenter()
{
    static MessagePresenter current = showModalBox;
    return current;
}

} // namespace

void showMessage(const QString& text, MessageIcon icon)
{
    messagePresenter()(text, icon);
}

MessagePresenter setMessagePresenter(MessagePresenter replacement)
{
    return std::exchange(messagePresenter(), replacement ? std::move(replacement) : showModalBox);
}

} // namespace velscript
