// Pictures the README's first steps: the tester with an engine created, a two-line script put and
// run once and its log read, and the engine's own window shown beside it. It drives the real
// window over the built-in engine, then saves both windows side by side in one picture.
// Usage: first_steps_shot OUTPUT.png   (run it under a display: tools/screenshot.sh --driver)
#include "core/frm_vel_scr_tester.h"
#include "engine/engine_factory.h"
#include "velsql/registration.h"

#include <QApplication>
#include <QPainter>
#include <QTimer>

#include <cstdio>

using namespace velscript;

namespace {

constexpr int Gap = 16;

QWidget* engineWindow(const QWidget& form)
{
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window != &form && window->isVisible() && !window->inherits("QMenu"))
            return window;
    return nullptr;
}

// The two windows on a plain background, the tester on the left.
QImage sideBySide(QWidget& left, QWidget& right)
{
    const QPixmap a = left.grab();
    const QPixmap b = right.grab();
    const int gap = qRound(Gap * a.devicePixelRatio());
    QImage picture(QSize(a.width() + gap + b.width(), qMax(a.height(), b.height())),
                   QImage::Format_RGB32);
    picture.fill(left.palette().color(QPalette::Mid));
    QPainter painter(&picture);
    painter.drawPixmap(QPoint(0, 0), a, a.rect());
    painter.drawPixmap(QPoint(a.width() + gap, 0), b, b.rect());
    return picture;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "Usage: first_steps_shot OUTPUT.png\n");
        return 2;
    }
    const QString output = QString::fromLocal8Bit(argv[1]);
    engine::registerReferenceEngine();
    registerVelSqlClass();

    frmVelScrTester form;
    form.Form_Load();
    form.move(0, 0);
    form.show();

    // What the README asks a new user to do, in order.
    form.cmdCreate->click();
    form.tabVelScript->setCurrentPage(1);
    form.txtProgram->setPlainText(QStringLiteral("Sub Main\n    Log \"hello\"\nEnd Sub\n"));
    form.cmdPutText->click();
    form.cmdStart->click();
    if (!form.objEngine || !isTrue(form.objEngine->Wait(10000, Variant::missing()).value_or(0))) {
        std::fprintf(stderr, "the script did not come to rest\n");
        return 1;
    }
    form.tabVelScript->setCurrentPage(0);
    form.cmdGetLog->click();
    form.cmdShow->click();

    QWidget* shown = engineWindow(form);
    if (!shown) {
        std::fprintf(stderr, "the engine's window did not appear\n");
        return 1;
    }
    shown->setGeometry(form.frameGeometry().right() + Gap, 0, 720, form.height());

    // Let both windows paint before they are pictured.
    int status = 0;
    QTimer::singleShot(1000, [&] {
        if (!sideBySide(form, *shown).save(output)) {
            std::fprintf(stderr, "cannot write %s\n", argv[1]);
            status = 1;
        }
        QApplication::quit();
    });
    QApplication::exec();
    return status;
}
