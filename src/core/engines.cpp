#include "core/frm_vel_scr_tester.h"

#include "engine_kit/class_ids.h"
#include "platform/message_box.h"
#include "platform/trap.h"

namespace velscript {

namespace {

QString keyOf(const QString& number)
{
    return QStringLiteral("#") + number;
}

} // namespace

void frmVelScrTester::cmdCreate_Click()
{
    trapped(MessageIcon::Warning, [this] {
        cmdCreate->setEnabled(false);
        cmbIndex->setEnabled(false);
        EnableControls(false);

        objEngine = EngineRef::create(VelScriptEngineClassId, lngNextNo);
        if (!objEngine) {
            showMessage(QStringLiteral("Failed Create VelScript Engine."), MessageIcon::Error);
            return;
        }
        check(objEngine->Create(Variant::missing()));
        const QString number = QString::number(lngNextNo);
        colEngine.add(keyOf(number), objEngine);
        cmbIndex->addEntry(number);
        cmbIndex->setListIndex(cmbIndex->listCount() - 1);
        lngNextNo = checkedAdd(lngNextNo, 1);
        cmdGetText_Click();
        cmbIndex->setEnabled(true);
        EnableControls(true);
        tabVelScript->tabStrip()->setFocus(); // the tab control's part that takes the keyboard
    });
    cmdCreate->setEnabled(true);
    cmbIndex->setEnabled(true);
}

void frmVelScrTester::cmbIndex_Click()
{
    const bool selected = trapped(MessageIcon::Warning, [this] {
        objEngine = colEngine.item(keyOf(cmbIndex->currentText()));
        cmdGetText_Click();
        chkReadOnly->setValue(checkBoxValue(check(objEngine->ReadOnly())));
        chkVisible->setValue(checkBoxValue(check(objEngine->Visible())));
        txtFileName->setText(check(objEngine->FileName()));
        lblState->setText(QString::number(check(objEngine->State())));
        lblLineNumber->setText(QString::number(check(objEngine->LineNumber())));
        EnableControls(true);
    });
    if (!selected) {
        objEngine = EngineRef();
        EnableControls(false);
    }
}

void frmVelScrTester::cmdRelease_Click()
{
    if (!objEngine)
        return;
    trapped(MessageIcon::Warning, [this] {
        cmdCreate->setEnabled(false);
        cmbIndex->setEnabled(false);
        EnableControls(false);
        repaint();

        if (check(objEngine->State()) != 0) {
            showMessage(QStringLiteral("Program is still running."), MessageIcon::Error);
            cmbIndex->setEnabled(true);
            EnableControls(true);
            return;
        }
        check(objEngine->Release(Variant::missing()));
        objEngine = EngineRef();
        colEngine.remove(keyOf(cmbIndex->currentText()));
        cmbIndex->removeEntry(cmbIndex->listIndex());
        tabVelScript->setCurrentPage(0);
        if (colEngine.count() > 0) {
            cmbIndex->setEnabled(true);
            cmbIndex->setListIndex(cmbIndex->listCount() - 1);
        } else {
            cmbIndex->setEnabled(false);
        }
    });
    cmdCreate->setEnabled(true);
}

void frmVelScrTester::tabVelScript_Click()
{
    const int pages = tabVelScript->pageCount();
    for (int i = 0; i < pages; ++i)
        picTab.at(i)->setEnabled(i == tabVelScript->currentPage());
}

} // namespace velscript
