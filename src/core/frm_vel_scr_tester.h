#pragma once

#include "core/engine_ref.h"
#include "engine_kit/hosting.h"
#include "platform/bordered_label.h"
#include "platform/check_box.h"
#include "platform/collection.h"
#include "platform/drop_down_list.h"
#include "platform/file_dialog.h"
#include "platform/tab_control.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

#include <array>

class QSessionManager;

namespace velscript {

// The tester's one window. Its controls, its four fields and its handlers carry the names the
// product documents; the handlers of the operation panels are defined in src/panels/.
class frmVelScrTester : public QWidget {
    Q_OBJECT
public:
    explicit frmVelScrTester(QWidget* parent = nullptr);
    ~frmVelScrTester() override;

    // Fields.
    Collection<EngineRef> colEngine;
    EngineRef objEngine;
    qint32 lngNextNo = 0;
    ObjectRef objVelSQL;

    // Controls, top level.
    QGroupBox* fraVelScrObj{};
    TabControl* tabVelScript{};
    QPushButton* cmdExit{};
    CommonDialog* cmdlgFile{};
    DropDownList* cmbIndex{};
    QPushButton* cmdCreate{};
    QPushButton* cmdRelease{};
    std::array<QWidget*, 2> picTab{};

    // Page "Form".
    QGroupBox* fraFile{};
    QGroupBox* fraFileName{};
    QGroupBox* fraForm{};
    QGroupBox* fraHwnd{};
    QGroupBox* fraGUIEnabled{};
    QGroupBox* fraExecute{};
    QGroupBox* fraTag{};
    QGroupBox* fraLog{};
    QPushButton* cmdOpen{};
    QPushButton* cmdSave{};
    QLineEdit* txtFileName{};
    QPushButton* cmdGetFileName{};
    CheckBox* chkVisible{};
    QPushButton* cmdShow{};
    QPushButton* cmdHide{};
    QLineEdit* txtHwnd{};
    QPushButton* cmdGetHwnd{};
    QLineEdit* txtGUIEnabled{};
    CheckBox* chkEnabled{};
    QPushButton* cmdPutGUIEnabled{};
    QPushButton* cmdGetGUIEnabled{};
    std::array<QLineEdit*, 3> txtExecute{};
    QPushButton* cmdExecute{};
    QLineEdit* txtTag{};
    QPushButton* cmdPutTag{};
    QPushButton* cmdGetTag{};
    QPlainTextEdit* txtLog{};
    QPushButton* cmdGetLog{};
    QPushButton* cmdGetLastLog{};
    QPushButton* cmdClearLog{};

    // Page "Task".
    QGroupBox* fraScrText{};
    QGroupBox* fraStartUp{};
    QGroupBox* fraAddIns{};
    QGroupBox* fraTask{};
    QGroupBox* fraState{};
    QGroupBox* fraLineNumber{};
    QGroupBox* Frame1{};
    QPlainTextEdit* txtProgram{};
    CheckBox* chkReadOnly{};
    CheckBox* chkModified{};
    QPushButton* cmdPutText{};
    QPushButton* cmdGetText{};
    QLineEdit* txtStartUp{};
    QPushButton* cmdSetStartUp{};
    QPushButton* cmdGetStartUp{};
    QLineEdit* txtObjectName{};
    QPushButton* cmdAddObject{};
    QPushButton* cmdRemoveObject{};
    DropDownList* cmbStart{};
    QPushButton* cmdStart{};
    DropDownList* cmbStop{};
    QPushButton* cmdStop{};
    BorderedLabel* lblState{};
    QPushButton* cmdGetState{};
    BorderedLabel* lblLineNumber{};
    QPushButton* cmdGetLineNumber{};
    BorderedLabel* lblExitCode{};
    QPushButton* cmdGetExitCode{};

    // Window events.
    void Form_Load();
    void Form_QueryUnload(qint16& Cancel, qint16 UnloadMode);
    void Form_Unload(qint16& Cancel);

    // Engine registry, creation, selection and release.
    void cmdExit_Click();
    void cmdCreate_Click();
    void cmdRelease_Click();
    void cmbIndex_Click();
    void tabVelScript_Click();

    // Script file panel.
    void cmdOpen_Click();
    void cmdSave_Click();
    void cmdGetFileName_Click();
    // Window panel.
    void chkVisible_Click();
    void cmdShow_Click();
    void cmdHide_Click();
    void cmdGetHwnd_Click();
    void cmdPutGUIEnabled_Click();
    void cmdGetGUIEnabled_Click();
    // Execute and Tag panels.
    void cmdExecute_Click();
    void cmdPutTag_Click();
    void cmdGetTag_Click();
    // Script text panel.
    void chkReadOnly_Click();
    void chkModified_Click();
    void cmdPutText_Click();
    void cmdGetText_Click();
    // Log panel.
    void cmdGetLog_Click();
    void cmdGetLastLog_Click();
    void cmdClearLog_Click();
    // Task panel.
    void cmdSetStartUp_Click();
    void cmdGetStartUp_Click();
    void cmdStart_Click();
    void cmdStop_Click();
    void cmdGetState_Click();
    void cmdGetLineNumber_Click();
    void cmdGetExitCode_Click();
    // Add-ins panel.
    void cmdAddObject_Click();
    void cmdRemoveObject_Click();

    // Where a close request comes from, as Form_QueryUnload receives it.
    enum UnloadMode : qint16 { FromControlMenu = 0, FromCode = 1, FromSessionEnd = 2 };

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    friend class TesterAccess; // the tests' way to the private procedures

    void EnableControls(bool Enabled);
    QString ShowFileDialog(CommonDialog* Dialog, qint16 Mode, const QString& Preset, qint32 Flags);

    // Runs the close check for a request from the given source: true when the close may go on.
    bool closeAllowed(qint16 mode);
    void onCommitDataRequest(QSessionManager& manager);

    bool m_unloaded = false;
    qint16 m_closeMode = FromControlMenu;
    UnansweredCallHandler m_previousUnansweredHandler;
};

} // namespace velscript
