// Starts the tester's window (loaded exactly as the program loads it), a bare window of the same
// size, or a bare window with one line of text, and prints the monotonic clock at its first paint,
// then quits. run.sh compares them against the moment it launched the process. The text baseline
// separates the one-time load of the font database, which any window that shows text pays.
#include "core/frm_vel_scr_tester.h"
#include "platform/trap.h"

#include <QApplication>
#include <QLabel>
#include <QWidget>

#include <cstdio>
#include <ctime>
#include <memory>

namespace {

class FirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            std::printf("%lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
            std::fflush(stdout);
            QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_seen = false;
};

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const bool tester = argc > 1 && QByteArray(argv[1]) == "tester";
    std::unique_ptr<QWidget> window;
    if (tester) {
        auto form = std::make_unique<velscript::frmVelScrTester>();
        velscript::guarded([&] { form->Form_Load(); });
        window = std::move(form);
    } else {
        window = std::make_unique<QWidget>();
        window->setFixedSize(555, 506);
        if (argc > 1 && QByteArray(argv[1]) == "text")
            new QLabel(QStringLiteral("VelScriptTester"), window.get());
    }
    FirstPaint probe;
    window->installEventFilter(&probe);
    window->show();
    return QApplication::exec();
}
