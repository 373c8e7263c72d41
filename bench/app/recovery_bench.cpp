// The recovery copy at a large survey: how long the window stops while the copy is
// taken and written (the longest gap between the ticks of a 1 ms timer), how long the
// copy takes on its thread, and how long a restore takes.
//
//   recovery-bench [--points N] [--runs N]
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "columns.h"
#include "corvanedoc.h"
#include "mainframe.h"
#include "pathtext.h"
#include "pointtable.h"
#include "processmemory.h"
#include "recoverycopy.h"
#include "recoverykeeper.h"
#include "settings.h"
#include "stallprobe.h"
#include "surveygenerator.h"

namespace corvane {
namespace {

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

double maxOf(const std::vector<double>& v) {
    return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

int run(int points, int runs) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("survey.ept"));
    {
        Survey survey = generateSurvey(
            SurveyShape{.points = static_cast<size_t>(points), .jStakes = 9000, .computed = true});
        const std::string bytes = surveyEptBytes(survey);
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly) ||
            out.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
                static_cast<qint64>(bytes.size()))
            return 3;
    }
    releaseFreeHeap();

    CorvaneSettings settings(dir.filePath(QStringLiteral("bench.ini")));
    CMainFrame frame(settings);
    frame.resize(1400, 900);
    frame.show();
    if (!frame.document()->importFile(file, PointFileFormat::Ept))
        return 1;
    frame.startRecovery(dir.filePath(QStringLiteral("recovery")));
    RecoveryKeeper* keeper = frame.recovery();
    if (!keeper)
        return 1;
    PointTable& table = frame.table();
    QCoreApplication::processEvents();

    std::vector<double> takes, stalls, writes, idle;
    StallProbe probe;
    for (int i = 0; i < runs; ++i) {
        // The same probe over an event loop with nothing to do: what the machine's
        // other work takes from the window anyway.
        // (A plain event loop: QTest::qWait sleeps 10 ms between its rounds.)
        probe.start();
        QEventLoop quiet;
        QTimer::singleShot(500, &quiet, &QEventLoop::quit);
        quiet.exec();
        idle.push_back(probe.stop().longestMs);

        table.setText(i, ColRemark, "改");
        QElapsedTimer clock;
        clock.start();
        RecoveryState state = takeRecoveryState(table, 0);
        takes.push_back(clock.nsecsElapsed() / 1e6);

        QSignalSpy done(keeper, &RecoveryKeeper::writeDone);
        probe.start();
        clock.restart();
        keeper->writeNow();
        if (!done.wait(60000) || !done.front().at(0).toBool())
            return 2;
        writes.push_back(clock.nsecsElapsed() / 1e6);
        stalls.push_back(probe.stop().longestMs);
    }
    const qint64 size = QFileInfo(keeper->copyPath()).size();

    std::vector<double> restores;
    for (int i = 0; i < std::min(runs, 3); ++i) {
        QElapsedTimer clock;
        clock.start();
        Result<RecoveryState> read = readRecoveryFile(localPath(keeper->copyPath()));
        if (!read)
            return 2;
        PointTable restored;
        restoreRecoveryState(restored, std::move(read.value()));
        restores.push_back(clock.nsecsElapsed() / 1e6);
    }

    std::printf("%d points, copy %.1f MB, %d runs\n", points, size / 1e6, runs);
    std::printf("longest stops, run by run:");
    for (double ms : stalls)
        std::printf(" %.1f", ms);
    std::printf(" ms\n");
    std::printf("| %-52s | %9s | %9s |\n|---|---|---|\n", "what", "median", "worst");
    std::printf("| %-52s | %6.1f ms | %6.1f ms |\n", "the copy taken on the window's thread",
                median(takes), maxOf(takes));
    std::printf("| %-52s | %6.1f ms | %6.1f ms |\n",
                "longest stop of the event loop, copy taken and written", median(stalls),
                maxOf(stalls));
    std::printf("| %-52s | %6.1f ms | %6.1f ms |\n",
                "longest stop of the event loop, nothing to do (500 ms)", median(idle),
                maxOf(idle));
    std::printf("| %-52s | %6.1f ms | %6.1f ms |\n", "until the copy is in place", median(writes),
                maxOf(writes));
    std::printf("| %-52s | %6.1f ms | %6.1f ms |\n", "a restore: the copy read and put back",
                median(restores), maxOf(restores));
    return 0;
}

}  // namespace
}  // namespace corvane

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int points = 1'000'000;
    int runs = 5;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i + 1 < args.size(); i += 2) {
        if (args[i] == QStringLiteral("--points"))
            points = args[i + 1].toInt();
        else if (args[i] == QStringLiteral("--runs"))
            runs = args[i + 1].toInt();
    }
    return corvane::run(points, runs);
}
