#include "firstpaint.h"

#include <QDateTime>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <cstdio>

#include "corvaneapp.h"
#include "mainframe.h"
#include "settings.h"

namespace corvane {
namespace {

// Notes the moment the main window's first paint is done: the outermost event during
// which a widget of the window got a paint event returns after every widget is painted
// and the picture handed to the platform.
class FirstPaintApp : public CCorvaneApp {
public:
    using CCorvaneApp::CCorvaneApp;

    void watch(QWidget* window) { m_window = window; }
    qint64 paintedAt() const { return m_paintedAt; }

    bool notify(QObject* receiver, QEvent* event) override {
        if (event->type() == QEvent::Paint && receiver->isWidgetType() &&
            static_cast<QWidget*>(receiver)->window() == m_window)
            m_painted = true;
        ++m_depth;
        const bool handled = CCorvaneApp::notify(receiver, event);
        if (--m_depth == 0 && m_painted && m_paintedAt == 0) {
            m_paintedAt = QDateTime::currentMSecsSinceEpoch();
            QTimer::singleShot(0, this, &QCoreApplication::quit);
        }
        return handled;
    }

private:
    QWidget* m_window = nullptr;
    bool m_painted = false;
    int m_depth = 0;
    qint64 m_paintedAt = 0;
};

}  // namespace

int startToFirstPaint(int& argc, char** argv, qint64 entered) {
    FirstPaintApp app(argc, argv);
    QTemporaryDir dir;
    CorvaneSettings settings(dir.filePath(QStringLiteral("bench.ini")));
    CMainFrame frame(settings);
    app.watch(&frame);
    frame.showMaximized();
    frame.startRecovery(dir.filePath(QStringLiteral("recovery")));
    QTimer::singleShot(30'000, &app, &QCoreApplication::quit);
    FirstPaintApp::exec();
    if (app.paintedAt() == 0)
        return 1;
    std::printf("figure main-epoch-ms %lld\nfigure first-paint-epoch-ms %lld\n",
                static_cast<long long>(entered), static_cast<long long>(app.paintedAt()));
    std::fflush(stdout);
    return 0;
}

}  // namespace corvane
