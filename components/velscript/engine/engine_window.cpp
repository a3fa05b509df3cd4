#include "engine/engine_window.h"

#include "engine/reference_engine.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTextBlock>
#include <QTimer>

namespace velscript::engine {

namespace {

constexpr int FollowIntervalMs = 200;

} // namespace

EngineWindow::EngineWindow(ReferenceEngine& engine)
    : m_engine(engine), m_text(new QPlainTextEdit), m_log(new QPlainTextEdit),
      m_start(new QPushButton(QStringLiteral("Start"))),
      m_stop(new QPushButton(QStringLiteral("Stop"))),
      m_step(new QPushButton(QStringLiteral("Step"))), m_status(new QLabel),
      m_follow(new QTimer(this))
{
    setObjectName(QStringLiteral("VelScriptEngineWindow"));
    setWindowTitle(QStringLiteral("VelScript Engine"));
    m_text->setObjectName(QStringLiteral("Text"));
    m_log->setObjectName(QStringLiteral("Log"));
    m_start->setObjectName(QStringLiteral("Start"));
    m_stop->setObjectName(QStringLiteral("Stop"));
    m_step->setObjectName(QStringLiteral("Step"));
    m_status->setObjectName(QStringLiteral("Status"));
    m_text->setReadOnly(true);
    m_log->setReadOnly(true);
    m_text->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_log->setMaximumBlockCount(int(EngineLog::MaxEntries));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_start);
    buttons->addWidget(m_stop);
    buttons->addWidget(m_step);
    buttons->addWidget(m_status, 1);
    auto* split = new QSplitter(Qt::Vertical);
    split->addWidget(m_text);
    split->addWidget(m_log);
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(split);
    resize(640, 480);

    connect(m_start, &QPushButton::clicked, this, [this] { press("Start"); });
    connect(m_stop, &QPushButton::clicked, this, [this] { press("Stop"); });
    connect(m_step, &QPushButton::clicked, this, [this] { press("Step"); });
    connect(&engine, &ReferenceEngine::textChanged, this, &EngineWindow::showText);
    // The script's thread reports its changes; they are shown on this one.
    connect(&engine, &ReferenceEngine::scriptStateChanged, this, &EngineWindow::showState,
            Qt::QueuedConnection);
    connect(&engine.log(), &EngineLog::appended, this, &EngineWindow::showNewEntries,
            Qt::QueuedConnection);
    connect(
        &engine.log(), &EngineLog::cleared, this,
        [this] {
            m_log->clear();
            m_seen = 0;
            showNewEntries();
        },
        Qt::QueuedConnection);
    connect(m_follow, &QTimer::timeout, this, &EngineWindow::showState);
    m_follow->setInterval(FollowIntervalMs);

    showNewEntries();
    showText();
    showState();
}

QWidget* EngineWindow::part(const QString& name) const
{
    for (QWidget* widget : {static_cast<QWidget*>(m_start), static_cast<QWidget*>(m_stop),
                            static_cast<QWidget*>(m_step), static_cast<QWidget*>(m_text),
                            static_cast<QWidget*>(m_log)}) {
        if (widget->objectName().compare(name, Qt::CaseInsensitive) == 0)
            return widget;
    }
    return nullptr;
}

QString EngineWindow::unknownPart(const QString& name)
{
    return QStringLiteral("The engine's window has no part '%1': the parts are Start, Stop, Step, "
                          "Text and Log.")
        .arg(name);
}

void EngineWindow::showText()
{
    const auto text = m_engine.Text();
    m_text->setPlainText(text ? *text : QString());
    showState();
}

void EngineWindow::showNewEntries()
{
    const QStringList entries = m_engine.log().takeNew(m_seen);
    if (!entries.isEmpty())
        m_log->appendPlainText(entries.join(QLatin1Char('\n')));
}

void EngineWindow::showState()
{
    const int state = m_engine.scriptState();
    const auto line = m_engine.LineNumber();
    const int at = line ? *line : 0;
    QList<QTextEdit::ExtraSelection> marks;
    if (state != 0 && at > 0) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(m_text->document()->findBlockByNumber(at - 1));
        mark.format.setBackground(state == 2 ? QColor(255, 230, 120) : QColor(200, 225, 255));
        mark.format.setProperty(QTextFormat::FullWidthSelection, true);
        marks.append(mark);
        m_text->setTextCursor(mark.cursor);
    }
    m_text->setExtraSelections(marks);
    static const char* const names[] = {"Idle", "Running", "Paused"};
    m_status->setText(at > 0 && state != 0
                          ? QStringLiteral("%1 at line %2").arg(QLatin1String(names[state])).arg(at)
                          : QLatin1String(names[state]));
    if (state == 1 && isVisible())
        m_follow->start();
    else
        m_follow->stop();
}

void EngineWindow::press(const char* what)
{
    const QString name = QLatin1String(what);
    Result<> outcome;
    if (name == QLatin1String("Start"))
        outcome = m_engine.Start(1, Variant::missing());
    else if (name == QLatin1String("Stop"))
        outcome = m_engine.Stop(0, Variant::missing());
    else
        outcome = m_engine.Start(3, Variant::missing());
    if (!outcome)
        m_status->setText(outcome.error());
    else
        showState();
}

} // namespace velscript::engine

#include "moc_engine_window.cpp" // compiled here, with the precompiled Qt headers of this file
