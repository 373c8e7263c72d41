#include "longoperation.h"

#include <QApplication>
#include <QEventLoop>
#include <QMainWindow>
#include <QMetaObject>
#include <QPointer>
#include <QProgressBar>
#include <QStatusBar>
#include <QTimer>

#include <exception>
#include <thread>

namespace corvane {
namespace {

int g_running = 0;

QMainWindow* mainWindowOf(QWidget* widget) {
    for (QWidget* w = widget; w; w = w->parentWidget())
        if (auto* main = qobject_cast<QMainWindow*>(w))
            return main;
    return nullptr;
}

}  // namespace

bool longOperationRunning() {
    return g_running > 0;
}

void runLongOperation(QWidget* window, const QString& label, const std::function<void()>& work) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
    ++g_running;

    QEventLoop loop;
    QPointer<QMainWindow> main = mainWindowOf(window);
    QPointer<QProgressBar> bar =
        main ? main->findChild<QProgressBar*>(QStringLiteral("BusyIndicator")) : nullptr;
    QTimer progressTimer;
    progressTimer.setSingleShot(true);
    QObject::connect(&progressTimer, &QTimer::timeout, [&] {
        if (!main)
            return;
        main->statusBar()->showMessage(label);
        if (bar)
            bar->show();
    });
    progressTimer.start(250);

    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    // Paint and timers go on; keys and clicks wait until the work is done.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();

    progressTimer.stop();
    if (bar)
        bar->hide();
    if (main && main->statusBar()->currentMessage() == label)
        main->statusBar()->clearMessage();
    --g_running;
    QApplication::restoreOverrideCursor();
    if (failure)
        std::rethrow_exception(failure);
}

WaitCursor::WaitCursor() {
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitCursor::~WaitCursor() {
    QApplication::restoreOverrideCursor();
}

}  // namespace corvane
