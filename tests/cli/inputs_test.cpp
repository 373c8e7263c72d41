// corvane-cli on how an input is to be read: --input-format in any letter case, line
// ends, inputs larger than the memory, and failures nobody foresaw.

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <optional>
#include <string>
#include <vector>
#include "bytefiles.h"
#include "clirunner.h"
#include "cp936.h"
#include "tempdir.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using test::CliRun;
using test::CliStart;
using test::folderEntries;
using test::gbk;
using test::readFile;
using test::runCli;
using test::TempFolder;
using test::writeFile;
using Names = std::vector<std::string>;

const std::string kData = CORVANE_TEST_DATA "/files/";

TEST(CliInputs, InputFormatInAnyLetterCaseMeansTheSameLayout) {
    TempFolder folder;
    // Neither name says what the file holds: only the option does.
    fs::copy_file(kData + "rawsurvey.csv", folder / "raw.txt");
    fs::copy_file(kData + "survey.ept", folder / "points.txt");
    const struct Case {
        std::string value;
        std::string input;     // in the folder
        std::string expected;  // the fixture process writes as .ept
    } cases[] = {
        {"csv", "raw.txt", "rawsurvey-expected.ept"}, {"CSV", "raw.txt", "rawsurvey-expected.ept"},
        {"Csv", "raw.txt", "rawsurvey-expected.ept"}, {"cSV", "raw.txt", "rawsurvey-expected.ept"},
        {"ept", "points.txt", "survey.ept"},          {"EPT", "points.txt", "survey.ept"},
        {"Ept", "points.txt", "survey.ept"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        const fs::path in = folder / c.input;
        const fs::path out = folder / "out.ept";
        CliRun run =
            runCli({"process", in.string(), "-o", out.string(), "--input-format", c.value});
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(readFile(out), readFile(kData + c.expected));
        // check reads the file the same way: its report is the one of the lower-case value.
        const std::string lower = c.expected == "survey.ept" ? "ept" : "csv";
        CliRun checked = runCli({"check", in.string(), "--json", "--input-format", c.value});
        CliRun reference = runCli({"check", in.string(), "--json", "--input-format", lower});
        EXPECT_EQ(checked.status, reference.status);
        EXPECT_EQ(checked.out, reference.out);
        EXPECT_NE(checked.out, "");
    }
    for (const char* value : {"org", "", "csvx", "e pt"}) {
        SCOPED_TRACE(value);
        for (const char* command : {"process", "check"}) {
            std::vector<std::string> args{command, (folder / "raw.txt").string()};
            if (std::string(command) == "process")
                args.insert(args.end(), {"-o", (folder / "bad.ept").string()});
            args.insert(args.end(), {"--input-format", value});
            CliRun run = runCli(args);
            EXPECT_EQ(run.status, 2) << run.err;
            EXPECT_NE(run.err.find("--input-format"), std::string::npos) << run.err;
        }
    }
    EXPECT_FALSE(fs::exists(folder / "bad.ept"));
}

TEST(CliInputs, RecordsEndedByACarriageReturnAreNotSwallowed) {
    TempFolder folder;
    writeFile(folder / "in.ept",
              gbk("标题\r\nP1,1,2,3,,,,,,,\rP2,4,5,6,,,,,,,\r\r\nP3,7,8,9,,,,,,,"));
    CliRun run =
        runCli({"process", (folder / "in.ept").string(), "-o", (folder / "out.ept").string()});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(folder / "out.ept"),
              gbk("标题\r\nP1,1,2,3,,,,,,,,,,,,,\r\nP2,4,5,6,,,,,,,,,,,,,\r\n"
                  "P3,7,8,9,,,,,,,,,,,,,\r\n"));
}

// A file that claims more bytes than the machine can hold is refused at once, before
// any memory is asked for: a sparse file of 64 GB costs no disk.
TEST(CliInputs, AnInputLargerThanTheMemoryIsRefused) {
    TempFolder folder;
    const fs::path huge = folder / "huge.ept";
    writeFile(huge, "");
    fs::resize_file(huge, uint64_t{64} << 30);
    writeFile(folder / "small.ept", gbk("P,1,2,3,,,,,,,\r\n"));
    writeFile(folder / "out.ept", "old\r\n");
    const std::vector<std::vector<std::string>> commands = {
        {"process", huge.string(), "-o", (folder / "out.ept").string()},
        {"check", huge.string()},
        {"merge", (folder / "small.ept").string(), huge.string(), "-o",
         (folder / "out.ept").string()},
    };
    for (const auto& args : commands) {
        SCOPED_TRACE(args[0]);
        const auto start = std::chrono::steady_clock::now();
        CliRun run = runCli(args);
        const auto seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start);
        EXPECT_EQ(run.status, 3) << run.err;
        EXPECT_NE(run.err.find("huge.ept"), std::string::npos) << run.err;
        EXPECT_NE(run.err.find("文件有 64.0 GB，超出了本机可用的内存"), std::string::npos)
            << run.err;
        // Reading even a part of 64 GB would take minutes.
        EXPECT_LT(seconds.count(), 30.0);
    }
    EXPECT_EQ(readFile(folder / "out.ept"), "old\r\n");
    EXPECT_EQ(folderEntries(folder.path()), (Names{"huge.ept", "out.ept", "small.ept"}));
}

[[maybe_unused]] std::optional<uint64_t> memAvailable() {
    std::ifstream in("/proc/meminfo");
    std::string key;
    uint64_t kib = 0;
    std::string unit;
    while (in >> key >> kib >> unit)
        if (key == "MemAvailable:")
            return kib * 1024;
    return std::nullopt;
}

// Memory the process may not have after all (here: a limit on its address space that
// the machine's memory does not show) ends in a message and exit 3, never an abort.
TEST(CliInputs, RunningOutOfMemoryEndsWithAMessage) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    GTEST_SKIP() << "a sanitizer needs more address space than the limit allows";
#else
    const std::optional<uint64_t> available = memAvailable();
    if (!available || *available < (uint64_t{8} << 30))
        GTEST_SKIP() << "needs 8 GB of available memory for a file that passes the size check";
    TempFolder folder;
    const fs::path big = folder / "big.ept";
    writeFile(big, "");
    fs::resize_file(big, uint64_t{3} << 30);  // within half of what is there, sparse
    CliRun run = runCli({"process", big.string(), "-o", (folder / "out.ept").string()},
                        CliStart{{"prlimit", "--as=1073741824", "--"}, {}});
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_NE(run.err.find("内存不足，操作未完成"), std::string::npos) << run.err;
    EXPECT_EQ(folderEntries(folder.path()), Names{"big.ept"});
#endif
}

}  // namespace
}  // namespace corvane
