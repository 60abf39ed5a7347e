// Memory over time: opens and closes the About dialog 1,000 times and plays
// 1,000 shots through the real windows and real message boxes, then prints
// the memory in use before and after in one line. A game left open all
// afternoon must not grow: the run fails when the heap in use grew by more
// than a small bound. Runs headless unless a platform is chosen.

#include "runtime/qt/native.h"
#include "runtime/application.h"
#include "game/form1.h"
#include "screens/frmabout.h"

#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <malloc.h>
#include <unistd.h>

#include <cstdio>

using namespace forms;

namespace {

const int Rounds =
    qEnvironmentVariableIsSet("KORVO_SOAK_ROUNDS") ? qEnvironmentVariableIntValue("KORVO_SOAK_ROUNDS") : 1000;
// Allocators keep a little slack and Qt caches a few glyphs and pixmaps on
// first use; anything that grows with the rounds passes this within the run.
constexpr double HeapBoundKiB = 256;

struct Memory
{
    double residentMiB;
    double heapKiB; // bytes handed out by malloc and not freed
};

Memory measure()
{
    long pages = 0, resident = 0;
    if (FILE *statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    const struct mallinfo2 heap = mallinfo2();
    return {double(resident) * double(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0), double(heap.uordblks) / 1024.0};
}

QtMessageHandler g_qtMessages = nullptr;

// The offscreen platform says at every Show that it has no stacking order
// and no size hints: thousands of lines around the one that matters.
void quietPlatform(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!message.startsWith(QLatin1String("This plugin does not support")))
        g_qtMessages(type, context, message);
}

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

bool activate(QWidget *window)
{
    window->activateWindow();
    for (int i = 0; i < 20 && QApplication::activeWindow() != window; ++i)
        QCoreApplication::processEvents();
    return QApplication::activeWindow() == window || QTest::qWaitForWindowActive(window);
}

// Presses OK on the next real message box once it is up.
void answerNextBox()
{
    QTimer::singleShot(0, qApp, [] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            QTest::keyClick(box, Qt::Key_Return);
        else
            answerNextBox();
    });
}

bool aboutRound(Form1 &game)
{
    if (!activate(forms::qt::window(game)))
        return false;
    QTest::keyClick(forms::qt::window(game), Qt::Key_F1);
    frmAbout *about = loadedInstance<frmAbout>();
    if (!about || !activate(forms::qt::window(*about)))
        return false;
    QTest::keyClick(forms::qt::window(*about), Qt::Key_Escape);
    settle();
    return !isLoaded<frmAbout>();
}

bool shot(Form1 &game, int round)
{
    if (!activate(forms::qt::window(game)))
        return false;
    game.paso = round % 9; // somewhere along the sweep, a basket now and then
    game.Timer1_Timer();
    QTest::keyClick(forms::qt::window(game), Qt::Key_Return);
    game.paso = (round / 9) % 9;
    game.Timer2_Timer();
    answerNextBox();
    QTest::keyClick(forms::qt::window(game), Qt::Key_Return);
    QTest::mouseClick(forms::qt::widget(game.cmdReset), Qt::LeftButton);
    settle();
    return !game.Timer2.enabled() && game.Timer1.enabled();
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    g_qtMessages = qInstallMessageHandler(quietPlatform);
    QApplication app(argc, argv);
    Application &runtime = Application::instance();
    Form1 &game = instance<Form1>();
    game.Show();

    // One round of each first: the fonts, pictures and the first message
    // box are made once and kept, which is not growth.
    if (!aboutRound(game) || !shot(game, 0)) {
        std::fprintf(stderr, "soak: the warm-up round failed\n");
        return 1;
    }
    const Memory before = measure();
    for (int i = 0; i < Rounds; ++i) {
        if (!aboutRound(game)) {
            std::fprintf(stderr, "soak: About round %d failed\n", i);
            return 1;
        }
    }
    const Memory afterAbout = measure();
    for (int i = 1; i <= Rounds; ++i) {
        if (!shot(game, i)) {
            std::fprintf(stderr, "soak: shot %d failed\n", i);
            return 1;
        }
    }
    const Memory after = measure();
    const std::string attempts = game.lblIntentos.caption();
    const std::string baskets = game.lblEncesto.caption();
    runtime.end(0);

    const double growth = after.heapKiB - before.heapKiB;
    std::printf("soak: %d About dialogs opened and closed, %s shots (%s baskets): resident %.1f -> %.1f MiB, "
                "heap in use %.0f -> %.0f -> %.0f KiB (%+.0f KiB, bound %.0f)\n",
                Rounds, attempts.c_str(), baskets.c_str(), before.residentMiB, after.residentMiB, before.heapKiB,
                afterAbout.heapKiB, after.heapKiB, growth, HeapBoundKiB);
    if (attempts != std::to_string(Rounds + 1) || growth > HeapBoundKiB)
        return 1;
    return 0;
}
