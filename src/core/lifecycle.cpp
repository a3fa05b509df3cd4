#include "core/frm_vel_scr_tester.h"

#include "platform/message_box.h"

namespace velscript {

namespace {

const char* const StartModes[] = {"One Cycle", "Continuous", "One Step Forward",
                                  "One Step Backward", "One Cycle (Fast)"};
const char* const StopModes[] = {"<Default>", "Immediate Stop", "Step Stop", "Cycle Stop",
                                 "Initialize"};

} // namespace

void frmVelScrTester::Form_Load()
{
    lngNextNo = 0;
    colEngine = Collection<EngineRef>();
    for (const char* mode : StartModes)
        cmbStart->addEntry(QString::fromUtf8(mode));
    cmbStart->setListIndex(0);
    for (const char* mode : StopModes)
        cmbStop->addEntry(QString::fromUtf8(mode));
    cmbStop->setListIndex(0);
    tabVelScript->setCurrentPage(0);
    EnableControls(false);
    cmbIndex->setEnabled(false);
}

void frmVelScrTester::Form_QueryUnload(qint16& Cancel, qint16 /*UnloadMode*/)
{
    int i = 0;
    for (const auto& entry : colEngine) {
        if (entry.value.property(ScriptStateProperty).number() != 0) {
            const QString message = QStringLiteral("VelScript Engine No.(") +
                                    cmbIndex->entryText(i) + QStringLiteral(")\r\n") +
                                    QStringLiteral("Program is still running.");
            showMessage(message, MessageIcon::Error);
            Cancel = 1;
            return;
        }
        ++i;
    }
}

void frmVelScrTester::Form_Unload(qint16& /*Cancel*/)
{
    // Only references are let go: engines still registered end with their last reference, and
    // no engine operation is called.
    objVelSQL.reset();
    objEngine = EngineRef();
    colEngine = Collection<EngineRef>();
}

void frmVelScrTester::cmdExit_Click()
{
    m_closeMode = FromCode;
    close();
}

} // namespace velscript
