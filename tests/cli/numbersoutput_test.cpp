// corvane-cli on numbers that are not finite, on a standard output or error that cannot
// be written, and on what a ".org" file leaves out: each is said, with its exit status.

#include <gtest/gtest.h>

#include <string>
#include <vector>
#include "bytefiles.h"
#include "clirunner.h"
#include "tempdir.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using test::CliRun;
using test::folderEntries;
using test::readFile;
using test::runCli;
using test::TempFolder;
using test::writeFile;
using Args = std::vector<std::string>;

const std::string kOld = "old output\r\n";

// UTF-8 with a byte order mark, so the reading does not depend on guessing.
std::string survey(const std::string& lines) {
    return "\xEF\xBB\xBF" + lines;
}

// J1 (0, 0) to J2 (0, 100), a segment running east, with its rows computed.
const std::string kEastLine =
    "J1,0,0,0,J1,J2,,0.000,0.0000,J桩,,,,,,,\r\n"
    "J2,0,100,0,J2,J2,,100.000,0.0000,J桩,,,,,,,\r\n";

TEST(CliNonFinite, IsADataProblemAndWritesNothing) {
    const struct Case {
        const char* name;
        std::string rows;
        Args steps;
        const char* output;
        std::string message;
    } cases[] = {
        {"a calculated distance that overflows",
         kEastLine + "P,1e308,-1e308,0,J1,J2,,,,普通点,,,,,,,\r\n",
         {"--calculate"},
         "out.ept",
         "第 3 行“累距[m]”列的计算结果不是有限的数（坐标或里程过大）"},
        {"a line mileage that overflows",
         "J1,0,0,0,,,,,,J桩,,,,,,,\r\nJ2,1e308,1e308,0,,,,,,J桩,,,,,,,\r\n",
         {"--line", "all"},
         "out.csv",
         "第 2 行“累距[m]”列的计算结果不是有限的数"},
        {"a projected coordinate that overflows",
         kEastLine + "P,1.7e308,5,0,J1,J2,,,5e307,普通点,,,,,,,\r\n",
         {"--project", "1e308"},
         "out.dxf",
         "第 3 行“北坐标X[m]”列的计算结果不是有限的数"},
        {"a crossing angle the .org file cannot hold",
         kEastLine + "X,0,5,0,J1,J2,,5.000,0,1点测标跨越物,,,1e308,,,,\r\n",
         {},
         "out.org",
         "第 3 行“角度[Rad]”列要写出的数不是有限的数"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        writeFile(folder / "in.ept", survey(c.rows));
        writeFile(folder / c.output, kOld);
        Args args{"process", (folder / "in.ept").string(), "-o", (folder / c.output).string()};
        args.insert(args.end(), c.steps.begin(), c.steps.end());
        const CliRun run = runCli(args);
        EXPECT_EQ(run.status, 1) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        EXPECT_EQ(readFile(folder / c.output), kOld);
        EXPECT_EQ(folderEntries(folder.path()), (std::vector<std::string>{"in.ept", c.output}));
    }
}

TEST(CliNonFinite, MaxDistanceMustBeAFiniteNumberNotBelowZero) {
    TempFolder folder;
    writeFile(folder / "in.ept", survey(kEastLine));
    const struct Case {
        std::string value;
        int status;
    } cases[] = {{"-1", 2},    {"-0.5", 2}, {"inf", 2}, {"nan", 2},
                 {"1e400", 2}, {"0", 0},    {"2.5", 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const CliRun run =
            runCli({"process", (folder / "in.ept").string(), "-o", (folder / "out.ept").string(),
                    "--auto-select", "--max-distance=" + c.value});
        EXPECT_EQ(run.status, c.status) << run.err;
        if (c.status == 2) {
            EXPECT_NE(run.err.find("不是一个不小于 0 的数"), std::string::npos) << run.err;
        }
    }
}

TEST(CliOutput, AFailedWriteToStandardOutputOrErrorExitsThree) {
    TempFolder folder;
    writeFile(folder / "in.ept", survey(kEastLine + "P,5,50,0,J1,J2,,,,普通点,,,,,,,\r\n"));
    writeFile(folder / "other.ept", survey("Q,1,2,0,,,,,,普通点,,,,,,,\r\n"));
    const std::string in = (folder / "in.ept").string();
    const std::string merged = (folder / "merged.ept").string();
    const struct Case {
        const char* name;
        Args args;
        test::CliStreams streams;
        int status;
        std::string err;  // in stderr, when it is collected
    } cases[] = {
        {"check --json into a full disk",
         {"check", in, "--json"},
         {"/dev/full", ""},
         3,
         "无法写出标准输出"},
        {"check as text into a full disk", {"check", in}, {"/dev/full", ""}, 3, "无法写出标准输出"},
        {"check with a working output", {"check", in, "--json"}, {"", ""}, 0, ""},
        {"merge's summary into a full disk",
         {"merge", in, (folder / "other.ept").string(), "-o", merged},
         {"/dev/full", ""},
         3,
         "无法写出标准输出"},
        {"process's notes into a full disk",
         {"process", in, "-o", (folder / "out.org").string()},
         {"", "/dev/full"},
         3,
         ""},
        {"check's data error into a full disk",
         {"check", in, "--line", "J1,J9"},
         {"", "/dev/full"},
         3,
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CliRun run = runCli(c.args, {}, c.streams);
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_NE(run.err.find(c.err), std::string::npos) << run.err;
    }
}

TEST(CliOrgReport, SaysWhatTheFileLeavesOut) {
    TempFolder folder;
    writeFile(folder / "in.ept",
              survey(kEastLine + "P,5,50,0,J1,J2,,50.000,-5.000,普通点,,,,,,,\r\n"
                                 "E,5,51,0,J1,J2,,51.000,-5.000,,,,,,,,\r\n"
                                 "F,5,52,0,J1,J2,,52.000,-5.000,树,,,,,,,\r\n"));
    const std::string in = (folder / "in.ept").string();
    const std::string out = (folder / "out.org").string();

    CliRun run = runCli({"process", in, "-o", out});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("2 行未写出：点类型不是已知的类型。"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("没有电力线点列表，没有写出转角记录。"), std::string::npos) << run.err;
    const std::string written = readFile(out);
    EXPECT_EQ(written,
              "0,J1,0.0000,0.0000,0.0000,96=00+96,0.0000,0.0000\r\n"
              "0,J2,0.0000,100.0000,0.0000,96=00+96,0.0000,0.0000\r\n"
              "b,1,5.0000,50.0000,0.0000,13=00+13,0,0,0\r\n");

    // With the line chosen the turn note goes; the rows left out are still counted.
    run = runCli({"process", in, "-o", out, "--line", "all", "--auto-select", "--calculate"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err.find("转角"), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("2 行未写出"), std::string::npos) << run.err;

    // Other formats write every row and say nothing of it.
    run = runCli({"process", in, "-o", (folder / "out.ept").string()});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
}

}  // namespace
}  // namespace corvane
