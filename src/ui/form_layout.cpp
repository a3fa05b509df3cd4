#include "ui/form_layout.h"

#include "core/frm_vel_scr_tester.h"
#include "platform/trap.h"

#include <QIcon>
#include <QTabBar>

#include <algorithm>
#include <map>
#include <stdexcept>

namespace velscript {

namespace {

using Form = frmVelScrTester;
using Handler = void (Form::*)();
using Binder = void (*)(Form&, QWidget*);

enum class Kind { Frame, Button, Check, Text, ReadOnlyText, MultiText, Label, List, Picture, Tab };

struct ControlRow {
    const char* name;
    Kind kind;
    const char* container; // nullptr: the window's client area
    const char* caption;
    int left, top, width, height; // twips
    int tabIndex;
    Binder bind;
    Handler handler = nullptr;
    int page = -1; // for the page containers: the page of tabVelScript they belong to
};

template <class Widget> Widget* as(QWidget* widget)
{
    auto* typed = qobject_cast<Widget*>(widget);
    if (!typed)
        throw std::logic_error("layout kind does not match the window member of " +
                               widget->objectName().toStdString());
    return typed;
}

template <auto Member> void bind(Form& form, QWidget* widget)
{
    using Widget = std::remove_pointer_t<std::remove_reference_t<decltype(form.*Member)>>;
    form.*Member = as<Widget>(widget);
}

template <auto Array, std::size_t Index> void bindAt(Form& form, QWidget* widget)
{
    using Widget =
        std::remove_pointer_t<typename std::remove_reference_t<decltype(form.*Array)>::value_type>;
    (form.*Array)[Index] = as<Widget>(widget);
}

using enum Kind;

// clang-format off
const ControlRow layout[] = {
    // name               kind          container       caption                   left  top   width height tab  member / handler
    {"fraVelScrObj",      Frame,        nullptr,        "VelScript Engine",        120,  120, 3135, 1155,  0, bind<&Form::fraVelScrObj>},
    {"tabVelScript",      Tab,          nullptr,        nullptr,                   120, 1470, 8085, 6015,  4, bind<&Form::tabVelScript>, &Form::tabVelScript_Click},
    {"cmdExit",           Button,       nullptr,        "Exit",                   6960,  240, 1125,  300, 67, bind<&Form::cmdExit>, &Form::cmdExit_Click},
    {"cmbIndex",          List,         "fraVelScrObj", nullptr,                   120,  240, 1515,  300,  1, bind<&Form::cmbIndex>, &Form::cmbIndex_Click},
    {"cmdCreate",         Button,       "fraVelScrObj", "Create",                 1800,  270, 1125,  300,  2, bind<&Form::cmdCreate>, &Form::cmdCreate_Click},
    {"cmdRelease",        Button,       "fraVelScrObj", "Release",                1800,  660, 1125,  300,  3, bind<&Form::cmdRelease>, &Form::cmdRelease_Click},
    {"picTab(0)",         Picture,      "tabVelScript", nullptr,                   150,  480, 7695, 5355,  5, bindAt<&Form::picTab, 0>, nullptr, 0},
    {"picTab(1)",         Picture,      "tabVelScript", nullptr,                    90,  480, 7875, 5445, 38, bindAt<&Form::picTab, 1>, nullptr, 1},

    {"fraFile",           Frame,        "picTab(0)",    "File",                      0,    0, 3315,  705,  6, bind<&Form::fraFile>},
    {"fraFileName",       Frame,        "picTab(0)",    "FileName",                  0,  780, 3315, 1005,  9, bind<&Form::fraFileName>},
    {"fraForm",           Frame,        "picTab(0)",    "Form",                      0, 1860, 3315, 1065, 12, bind<&Form::fraForm>},
    {"fraHwnd",           Frame,        "picTab(0)",    "hWnd",                      0, 3030, 3315,  675, 16, bind<&Form::fraHwnd>},
    {"fraGUIEnabled",     Frame,        "picTab(0)",    "GUIEnabled",             3600,    0, 3135, 1155, 19, bind<&Form::fraGUIEnabled>},
    {"fraExecute",        Frame,        "picTab(0)",    "Execute",                3600, 1230, 3135, 1335, 24, bind<&Form::fraExecute>},
    {"fraTag",            Frame,        "picTab(0)",    "Tag",                    3600, 2670, 3135, 1095, 29, bind<&Form::fraTag>},
    {"fraLog",            Frame,        "picTab(0)",    "Log",                      30, 3810, 6705, 1545, 33, bind<&Form::fraLog>},
    {"cmdOpen",           Button,       "fraFile",      "Open...",                 180,  240, 1125,  300,  7, bind<&Form::cmdOpen>, &Form::cmdOpen_Click},
    {"cmdSave",           Button,       "fraFile",      "Save...",                1980,  240, 1125,  300,  8, bind<&Form::cmdSave>, &Form::cmdSave_Click},
    {"txtFileName",       ReadOnlyText, "fraFileName",  nullptr,                   120,  240, 2985,  285, 10, bind<&Form::txtFileName>},
    {"cmdGetFileName",    Button,       "fraFileName",  "Get",                    1980,  600, 1125,  300, 11, bind<&Form::cmdGetFileName>, &Form::cmdGetFileName_Click},
    {"chkVisible",        Check,        "fraForm",      "Visible",                 120,  240,  825,  315, 13, bind<&Form::chkVisible>, &Form::chkVisible_Click},
    {"cmdShow",           Button,       "fraForm",      "Show",                   1980,  240, 1125,  300, 14, bind<&Form::cmdShow>, &Form::cmdShow_Click},
    {"cmdHide",           Button,       "fraForm",      "Hide",                   1980,  660, 1125,  300, 15, bind<&Form::cmdHide>, &Form::cmdHide_Click},
    {"txtHwnd",           ReadOnlyText, "fraHwnd",      nullptr,                    90,  240, 1755,  285, 17, bind<&Form::txtHwnd>},
    {"cmdGetHwnd",        Button,       "fraHwnd",      "Get",                    1980,  240, 1125,  300, 18, bind<&Form::cmdGetHwnd>, &Form::cmdGetHwnd_Click},
    {"txtGUIEnabled",     Text,         "fraGUIEnabled", nullptr,                  120,  240, 1515,  285, 20, bind<&Form::txtGUIEnabled>},
    {"chkEnabled",        Check,        "fraGUIEnabled", "Enabled",                120,  630, 1215,  225, 21, bind<&Form::chkEnabled>},
    {"cmdPutGUIEnabled",  Button,       "fraGUIEnabled", "Put",                   1770,  240, 1125,  300, 22, bind<&Form::cmdPutGUIEnabled>, &Form::cmdPutGUIEnabled_Click},
    {"cmdGetGUIEnabled",  Button,       "fraGUIEnabled", "Get",                   1770,  660, 1125,  300, 23, bind<&Form::cmdGetGUIEnabled>, &Form::cmdGetGUIEnabled_Click},
    {"txtExecute(0)",     Text,         "fraExecute",   nullptr,                   120,  240, 1335,  285, 25, bindAt<&Form::txtExecute, 0>},
    {"txtExecute(1)",     Text,         "fraExecute",   nullptr,                  1500,  240, 1515,  285, 26, bindAt<&Form::txtExecute, 1>},
    {"cmdExecute",        Button,       "fraExecute",   "Execute",                1860,  600, 1125,  300, 27, bind<&Form::cmdExecute>, &Form::cmdExecute_Click},
    {"txtExecute(2)",     Text,         "fraExecute",   nullptr,                   120,  960, 2895,  285, 28, bindAt<&Form::txtExecute, 2>},
    {"txtTag",            Text,         "fraTag",       nullptr,                   120,  240, 1515,  285, 30, bind<&Form::txtTag>},
    {"cmdPutTag",         Button,       "fraTag",       "Put",                    1800,  240, 1125,  300, 31, bind<&Form::cmdPutTag>, &Form::cmdPutTag_Click},
    {"cmdGetTag",         Button,       "fraTag",       "Get",                    1800,  660, 1125,  300, 32, bind<&Form::cmdGetTag>, &Form::cmdGetTag_Click},
    {"txtLog",            MultiText,    "fraLog",       nullptr,                   120,  240, 5055, 1125, 34, bind<&Form::txtLog>},
    {"cmdGetLog",         Button,       "fraLog",       "Get Log",                5370,  240, 1125,  300, 35, bind<&Form::cmdGetLog>, &Form::cmdGetLog_Click},
    {"cmdGetLastLog",     Button,       "fraLog",       "Get LastLog",            5370,  660, 1125,  300, 36, bind<&Form::cmdGetLastLog>, &Form::cmdGetLastLog_Click},
    {"cmdClearLog",       Button,       "fraLog",       "Clear Log",              5370, 1080, 1125,  300, 37, bind<&Form::cmdClearLog>, &Form::cmdClearLog_Click},

    {"fraScrText",        Frame,        "picTab(1)",    "ScriptText",                0,    0, 4335, 5415, 39, bind<&Form::fraScrText>},
    {"fraStartUp",        Frame,        "picTab(1)",    "StartUp",                4440,    0, 3435,  675, 45, bind<&Form::fraStartUp>},
    {"fraAddIns",         Frame,        "picTab(1)",    "AddIns (VelSQL object)", 4440,  780, 3435,  675, 49, bind<&Form::fraAddIns>},
    {"fraTask",           Frame,        "picTab(1)",    "Task",                   4440, 1560, 3435, 1065, 53, bind<&Form::fraTask>},
    {"fraState",          Frame,        "picTab(1)",    "State",                  4440, 2700, 3435,  735, 58, bind<&Form::fraState>},
    {"fraLineNumber",     Frame,        "picTab(1)",    "LineNumber",             4440, 3540, 3435,  675, 61, bind<&Form::fraLineNumber>},
    {"Frame1",            Frame,        "picTab(1)",    "ExitCode",               4440, 4320, 3435,  675, 64, bind<&Form::Frame1>},
    {"txtProgram",        MultiText,    "fraScrText",   nullptr,                   150,  300, 4005, 4335, 40, bind<&Form::txtProgram>},
    {"chkReadOnly",       Check,        "fraScrText",   "Read-only",               150, 4710, 1095,  315, 41, bind<&Form::chkReadOnly>, &Form::chkReadOnly_Click},
    {"chkModified",       Check,        "fraScrText",   "Modified",                150, 5010, 1095,  315, 42, bind<&Form::chkModified>, &Form::chkModified_Click},
    {"cmdPutText",        Button,       "fraScrText",   "Put",                    1860, 4980, 1125,  300, 43, bind<&Form::cmdPutText>, &Form::cmdPutText_Click},
    {"cmdGetText",        Button,       "fraScrText",   "Get",                    3060, 4980, 1125,  300, 44, bind<&Form::cmdGetText>, &Form::cmdGetText_Click},
    {"txtStartUp",        Text,         "fraStartUp",   "Main",                    120,  240, 1515,  285, 46, bind<&Form::txtStartUp>},
    {"cmdSetStartUp",     Button,       "fraStartUp",   "Put",                    1740,  240,  735,  300, 47, bind<&Form::cmdSetStartUp>, &Form::cmdSetStartUp_Click},
    {"cmdGetStartUp",     Button,       "fraStartUp",   "Get",                    2520,  240,  745,  300, 48, bind<&Form::cmdGetStartUp>, &Form::cmdGetStartUp_Click},
    {"txtObjectName",     Text,         "fraAddIns",    nullptr,                   120,  240, 1515,  285, 50, bind<&Form::txtObjectName>},
    {"cmdAddObject",      Button,       "fraAddIns",    "Add",                    1740,  240,  735,  300, 51, bind<&Form::cmdAddObject>, &Form::cmdAddObject_Click},
    {"cmdRemoveObject",   Button,       "fraAddIns",    "Remove",                 2520,  240,  735,  300, 52, bind<&Form::cmdRemoveObject>, &Form::cmdRemoveObject_Click},
    {"cmbStart",          List,         "fraTask",      nullptr,                   120,  240, 1545,  300, 54, bind<&Form::cmbStart>},
    {"cmdStart",          Button,       "fraTask",      "Start",                  1740,  240,  735,  300, 55, bind<&Form::cmdStart>, &Form::cmdStart_Click},
    {"cmbStop",           List,         "fraTask",      nullptr,                   120,  630, 1545,  300, 56, bind<&Form::cmbStop>},
    {"cmdStop",           Button,       "fraTask",      "Stop",                   1740,  630,  735,  300, 57, bind<&Form::cmdStop>, &Form::cmdStop_Click},
    {"lblState",          Label,        "fraState",     nullptr,                   120,  240, 1515,  285, 59, bind<&Form::lblState>},
    {"cmdGetState",       Button,       "fraState",     "Get",                    1740,  240,  735,  300, 60, bind<&Form::cmdGetState>, &Form::cmdGetState_Click},
    {"lblLineNumber",     Label,        "fraLineNumber", nullptr,                  120,  240, 1515,  285, 62, bind<&Form::lblLineNumber>},
    {"cmdGetLineNumber",  Button,       "fraLineNumber", "Get",                   1740,  240,  735,  300, 63, bind<&Form::cmdGetLineNumber>, &Form::cmdGetLineNumber_Click},
    {"lblExitCode",       Label,        "Frame1",       nullptr,                   120,  240, 1515,  285, 65, bind<&Form::lblExitCode>},
    {"cmdGetExitCode",    Button,       "Frame1",       "Get",                    1740,  240,  735,  300, 66, bind<&Form::cmdGetExitCode>, &Form::cmdGetExitCode_Click},
};
// clang-format on

const char* const TabPages[] = {"Form", "Task"};
const char* const FileFilter = "Script File (*.vbs)|*.vbs|All Files (*.*)|*.*";

QWidget* create(const ControlRow& row, QWidget* parent)
{
    const QString caption = row.caption ? QString::fromUtf8(row.caption) : QString();
    switch (row.kind) {
    case Frame:
        return new QGroupBox(caption, parent);
    case Button: {
        auto* button = new QPushButton(caption, parent);
        button->setAutoDefault(false);
        return button;
    }
    case Check: {
        auto* box = new CheckBox(parent);
        box->setText(caption);
        return box;
    }
    case Text:
    case ReadOnlyText: {
        auto* box = new QLineEdit(caption, parent);
        box->setReadOnly(row.kind == ReadOnlyText);
        return box;
    }
    case MultiText: {
        auto* box = new QPlainTextEdit(parent);
        box->setLineWrapMode(QPlainTextEdit::NoWrap);
        box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        // Tab moves on to the next control, as in every other box of the window.
        box->setTabChangesFocus(true);
        return box;
    }
    case Label:
        return new BorderedLabel(parent);
    case List:
        return new DropDownList(parent);
    case Picture:
        return new QWidget(parent);
    case Tab: {
        auto* tab = new TabControl(parent);
        for (const char* page : TabPages)
            tab->addPage(QString::fromUtf8(page));
        return tab;
    }
    }
    return nullptr;
}

void connectHandler(Form& form, QWidget* widget, Kind kind, Handler handler)
{
    // Every handler runs under the top-level guard; trapped ones never let a failure reach it.
    auto run = [&form, handler] { guarded([&] { (form.*handler)(); }); };
    switch (kind) {
    case Button:
        QObject::connect(as<QPushButton>(widget), &QPushButton::clicked, &form, run);
        break;
    case Check:
        QObject::connect(as<CheckBox>(widget), &CheckBox::valueChanged, &form, run);
        break;
    case List:
        QObject::connect(as<DropDownList>(widget), &DropDownList::chosen, &form, run);
        break;
    case Tab:
        QObject::connect(as<TabControl>(widget), &TabControl::pageChanged, &form, run);
        break;
    default:
        throw std::logic_error("no event to bind on " + widget->objectName().toStdString());
    }
}

} // namespace

void buildForm(Form& form)
{
    form.setObjectName(QStringLiteral("frmVelScrTester"));
    form.setWindowTitle(QStringLiteral("VelScriptTester"));
    form.setWindowIcon(QIcon(QStringLiteral(":/icons/velscripttester.png")));
    form.setFixedSize(pixels(8325), pixels(7590));
    // The layout's boxes are sized for a small dialog font; every control inherits this one.
    QFont font = form.font();
    font.setPointSize(8);
    form.setFont(font);

    std::map<QString, QWidget*> byName;
    std::vector<std::pair<int, QWidget*>> focusOrder;
    for (const ControlRow& row : layout) {
        QWidget* parent = row.container ? byName.at(QString::fromUtf8(row.container)) : &form;
        QWidget* widget = create(row, parent);
        widget->setObjectName(QString::fromUtf8(row.name));
        widget->setGeometry(pixels(row.left), pixels(row.top), pixels(row.width),
                            pixels(row.height));
        if (row.page >= 0)
            as<TabControl>(parent)->setPageContainer(row.page, widget);
        byName[widget->objectName()] = widget;
        row.bind(form, widget);
        if (row.kind == Tab)
            focusOrder.emplace_back(row.tabIndex, as<TabControl>(widget)->tabStrip());
        else if (widget->focusPolicy() & Qt::TabFocus)
            focusOrder.emplace_back(row.tabIndex, widget);
    }

    // The layout starts on page "Task"; the window's load makes page "Form" current.
    form.tabVelScript->setCurrentPage(1);

    std::ranges::sort(focusOrder, {}, &std::pair<int, QWidget*>::first);
    for (std::size_t i = 1; i < focusOrder.size(); ++i)
        QWidget::setTabOrder(focusOrder[i - 1].second, focusOrder[i].second);

    for (const ControlRow& row : layout)
        if (row.handler)
            connectHandler(form, byName.at(QString::fromUtf8(row.name)), row.kind, row.handler);

    form.cmdlgFile = new CommonDialog(&form);
    form.cmdlgFile->setObjectName(QStringLiteral("cmdlgFile"));
    form.cmdlgFile->Filter = QString::fromUtf8(FileFilter);
}

} // namespace velscript
