#include "longoperation.h"

#include <QApplication>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace corvane {

class LongOperationTest : public QObject {
    Q_OBJECT

private slots:
    void runsTheWorkOffTheInterfaceThreadAndReturnsItsValue() {
        QThread* interfaceThread = QThread::currentThread();
        bool runningInside = false;
        QThread* workThread = nullptr;
        int value = runLongOperation(nullptr, QStringLiteral("x"), [&] {
            runningInside = longOperationRunning();
            workThread = QThread::currentThread();
            return 42;
        });
        QCOMPARE(value, 42);
        QVERIFY(runningInside);
        QVERIFY(workThread != interfaceThread);
        QVERIFY(!longOperationRunning());
        QVERIFY(!QApplication::overrideCursor());
    }

    void anExceptionOfTheWorkReachesTheCaller() {
        bool caught = false;
        try {
            runLongOperation(nullptr, QStringLiteral("x"),
                             []() -> int { throw std::runtime_error("no memory"); });
        } catch (const std::runtime_error& e) {
            caught = QByteArray(e.what()) == "no memory";
        }
        QVERIFY(caught);
        QVERIFY(!longOperationRunning());
        QVERIFY(!QApplication::overrideCursor());
    }

    void theInterfaceKeepsRunningMeanwhile() {
        // The work waits for a timer of the interface thread; were the interface blocked,
        // it would give up after five seconds.
        std::atomic<bool> fired = false;
        QTimer::singleShot(20, this, [&] { fired = true; });
        const bool sawTimer = runLongOperation(nullptr, QStringLiteral("x"), [&] {
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
            while (!fired && std::chrono::steady_clock::now() < end)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            return fired.load();
        });
        QVERIFY(sawTimer);
    }
};

}  // namespace corvane

QTEST_MAIN(corvane::LongOperationTest)
#include "longoperation_test.moc"
