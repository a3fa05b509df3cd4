#include "core/frm_vel_scr_tester.h"

#include "platform/trap.h"
#include "platform/unanswered_call_box.h"
#include "ui/form_layout.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QSessionManager>

namespace velscript {

frmVelScrTester::frmVelScrTester(QWidget* parent) : QWidget(parent)
{
    buildForm(*this);
    connect(qApp, &QGuiApplication::commitDataRequest, this, &frmVelScrTester::onCommitDataRequest);
    // An engine in a process of its own that stops answering is this window's to decide about.
    m_previousUnansweredHandler = setUnansweredCallHandler(askAboutUnansweredCall);
}

frmVelScrTester::~frmVelScrTester()
{
    setUnansweredCallHandler(std::move(m_previousUnansweredHandler));
}

bool frmVelScrTester::closeAllowed(qint16 mode)
{
    qint16 cancel = 0;
    bool checked = false;
    guarded([&] {
        Form_QueryUnload(cancel, mode);
        checked = true;
    });
    // An untrapped failure in the check ends the program; the window goes with it.
    return cancel == 0 || !checked;
}

void frmVelScrTester::closeEvent(QCloseEvent* event)
{
    const qint16 mode = std::exchange(m_closeMode, FromControlMenu);
    if (m_unloaded || !closeAllowed(mode)) {
        event->setAccepted(m_unloaded);
        return;
    }
    qint16 cancel = 0;
    Form_Unload(cancel);
    m_unloaded = true;
    event->accept();
}

void frmVelScrTester::onCommitDataRequest(QSessionManager& manager)
{
    // The desktop session is ending: the same check as any other close request, and a refusal
    // cancels the shutdown.
    if (m_unloaded || !manager.allowsInteraction())
        return;
    if (!closeAllowed(FromSessionEnd))
        manager.cancel();
    manager.release();
}

} // namespace velscript

#include "moc_frm_vel_scr_tester.cpp" // compiled here, with the precompiled Qt headers of this file
