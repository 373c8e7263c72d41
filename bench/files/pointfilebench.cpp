// Measures the point file import and the .ept export on a synthetic survey against
// iconv converting the same bytes, and the memory the imported table takes. Each
// measurement runs in a fresh process (this program started again in a child mode),
// so the memory figures of one do not leak into the next.

#include <CLI/CLI.hpp>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "childprocess.h"
#include "exportformat.h"
#include "filesystem.h"
#include "pointfilereader.h"
#include "pointfilewriter.h"
#include "pointtable.h"
#include "surveygenerator.h"

extern char** environ;

namespace corvane {
namespace {

using Clock = std::chrono::steady_clock;

// VmRSS or VmHWM of this process in bytes.
size_t statusBytes(const char* key) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const std::string prefix = std::string(key) + ":";
    while (std::getline(in, line)) {
        if (line.rfind(prefix, 0) == 0)
            return std::stoull(line.substr(prefix.size())) * 1024;
    }
    return 0;
}

// Runs argv with stdout to `output`; returns the wall-clock seconds.
double runTimed(const std::vector<std::string>& argv, const std::string& output, int& status) {
    const ProcessRun run = runProcess(argv, output);
    status = run.status;
    return run.wall;
}

bool sameBytes(const std::string& a, const std::string& b) {
    auto x = readWholeFile(a);
    auto y = readWholeFile(b);
    return x && y && x.value() == y.value();
}

// Child: import the file into a point table; print seconds, RSS before, RSS after, peak.
int childImport(const std::string& path) {
    const size_t before = statusBytes("VmRSS");
    auto start = Clock::now();
    PointTable table;
    {
        Result<ImportedPoints> imported = readPointFile(path, PointFileFormat::Ept);
        if (!imported) {
            std::cerr << imported.error().message << '\n';
            return 1;
        }
        table.replaceAll(std::move(imported->rows), std::move(imported->otherLines));
    }
    const double seconds = secondsSince(start);
    std::cout << seconds << ' ' << before << ' ' << statusBytes("VmRSS") << ' '
              << statusBytes("VmHWM") << ' ' << table.rowCount() << '\n';
    return 0;
}

// Child: import (not timed), then the .ept export as the program makes it (encoded in
// blocks and written as it goes, atomically); for the record also the whole text built
// in memory alone. Prints the seconds of that building and of the export.
int childExport(const std::string& path, const std::string& out) {
    PointTable table;
    {
        Result<ImportedPoints> imported = readPointFile(path, PointFileFormat::Ept);
        if (!imported) {
            std::cerr << imported.error().message << '\n';
            return 1;
        }
        table.replaceAll(std::move(imported->rows), std::move(imported->otherLines));
    }
    auto start = Clock::now();
    if (Result<std::string> bytes = buildEptFile(table); !bytes) {
        std::cerr << bytes.error().message << '\n';
        return 1;
    }
    const double build = secondsSince(start);
    auto exportStart = Clock::now();
    if (Status written = exportTable(table, ExportType::Ept, out); !written) {
        std::cerr << written.error().message << '\n';
        return 1;
    }
    std::cout << build << ' ' << secondsSince(exportStart) << '\n';
    return 0;
}

void printRatio(const char* what, double ours, double theirs, double target) {
    const double ratio = ours / theirs;
    std::printf("%-44s %8.3f s  iconv %7.3f s  ratio %5.2f x  (target <= %.1f x: %s)\n", what, ours,
                theirs, ratio, target, ratio <= target ? "met" : "MISSED");
}

int runAll(const std::string& self, size_t points, const std::string& dir, int repeat) {
    const std::string ept = dir + "/survey.ept";
    const std::string utf8 = dir + "/survey-utf8.txt";
    const std::string out = dir + "/export.ept";
    const std::string scratch = dir + "/iconv-out.txt";

    SurveyShape shape;
    shape.points = points;
    shape.computed = true;
    if (Status s = writeFileAtomically(ept, surveyEptBytes(generateSurvey(shape))); !s) {
        std::cerr << s.error().message << '\n';
        return 1;
    }
    const size_t size = fileSize(ept);
    std::printf("survey: %zu points, %s, %.1f MB in code page 936, %d runs each (median)\n", points,
                ept.c_str(), size / 1e6, repeat);

    int status = 0;
    runTimed({"iconv", "-f", "CP936", "-t", "UTF-8", ept}, utf8, status);
    if (status != 0) {
        std::cerr << "iconv failed\n";
        return 1;
    }

    std::vector<double> iconvIn, ours, iconvOut, build, exportAll;
    std::vector<double> importRun;
    for (int i = 0; i < repeat; ++i) {
        iconvIn.push_back(runTimed({"iconv", "-f", "CP936", "-t", "UTF-8", ept}, scratch, status));
        importRun = runChild({self, "--child-import", ept});
        ours.push_back(importRun[0]);
        iconvOut.push_back(
            runTimed({"iconv", "-f", "UTF-8", "-t", "CP936", utf8}, scratch, status));
        std::vector<double> e = runChild({self, "--child-export", ept, out});
        build.push_back(e[0]);
        exportAll.push_back(e[1]);
    }
    unlink(scratch.c_str());

    printRatio("import (read, decode, split, table)", median(ours), median(iconvIn), 2.5);
    printRatio(".ept export (encode + atomic write, fsync)", median(exportAll), median(iconvOut),
               2.0);
    std::printf("  building the whole text in memory alone: %.3f s\n", median(build));
    std::printf("  export identical to the imported file: %s\n",
                sameBytes(ept, out) ? "yes" : "NO");

    const double before = importRun[1];
    const double after = importRun[2];
    const double peak = importRun[3];
    std::printf("%-44s %8.1f MB  = %4.2f x file (target <= 2.0 x: %s)\n",
                "memory of the loaded table (RSS growth)", (after - before) / 1e6,
                (after - before) / size, (after - before) / size <= 2.0 ? "met" : "MISSED");
    std::printf("%-44s %8.1f MB  = %4.2f x file (target <= 3.0 x: %s)\n",
                "peak memory during import (VmHWM growth)", (peak - before) / 1e6,
                (peak - before) / size, (peak - before) / size <= 3.0 ? "met" : "MISSED");
    std::printf("  process RSS before %.1f MB, after %.1f MB, peak %.1f MB\n", before / 1e6,
                after / 1e6, peak / 1e6);
    unlink(out.c_str());
    return 0;
}

}  // namespace
}  // namespace corvane

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--child-import")
        return corvane::childImport(argv[2]);
    if (argc == 4 && std::string(argv[1]) == "--child-export")
        return corvane::childExport(argv[2], argv[3]);

    CLI::App app("Point file import and export against iconv", "corvane-bench-pointfiles");
    size_t points = 1'000'000;
    std::string dir = "/tmp";
    int repeat = 3;
    app.add_option("--points", points, "points of the synthetic survey");
    app.add_option("--dir", dir, "folder for the survey and the exports")
        ->check(CLI::ExistingDirectory);
    app.add_option("--repeat", repeat, "runs of each measurement (the median is shown)")
        ->check(CLI::PositiveNumber);
    CLI11_PARSE(app, argc, argv);
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return 1;
    self[n] = '\0';
    return corvane::runAll(self, points, dir, repeat);
}
