// corvane-cli process: conversions between the point file layouts, usage errors and
// output that does not depend on the locale.

#include <gtest/gtest.h>

#include <locale.h>
#include <clocale>

#include <string>
#include <vector>
#include "bytefiles.h"
#include "clirunner.h"
#include "tempdir.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::runCli;
using test::TempFolder;
using test::writeFile;

const std::string kData = CORVANE_TEST_DATA "/files/";

TEST(CliProcess, Conversions) {
    const struct Case {
        const char* name;
        std::string input;   // fixture
        std::string copyAs;  // name the input gets in the work folder
        std::string output;  // output file name
        std::vector<std::string> options;
        std::string expected;  // fixture with the expected bytes
    } cases[] = {
        {"ept to ept", "survey.ept", "in.ept", "out.ept", {}, "survey.ept"},
        {"ept to csv table", "survey.ept", "in.ept", "out.csv", {}, "survey-expected.csv"},
        {"raw csv to ept", "rawsurvey.csv", "in.csv", "out.ept", {}, "rawsurvey-expected.ept"},
        {"extensions in any letter case",
         "rawsurvey.csv",
         "IN.CSV",
         "OUT.EPT",
         {},
         "rawsurvey-expected.ept"},
        {"layouts given by options",
         "rawsurvey.csv",
         "in.txt",
         "out.txt",
         {"--input-format", "csv", "--type", "ept"},
         "rawsurvey-expected.ept"},
        {"--type wins over the extension",
         "survey.ept",
         "in.ept",
         "out.ept",
         {"--type", "csv"},
         "survey-expected.csv"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        fs::copy_file(kData + c.input, folder / c.copyAs);
        std::vector<std::string> args = {"process", (folder / c.copyAs).string(), "-o",
                                         (folder / c.output).string()};
        args.insert(args.end(), c.options.begin(), c.options.end());
        test::CliRun run = runCli(args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(readFile(folder / c.output), readFile(kData + c.expected));
    }
}

// A code page 936 file whose only Chinese is "J桩" and "Z桩" is also valid UTF-8 (D7 AE
// is U+05EE); read as UTF-8 its stakes were no stakes and its written copy unreadable.
TEST(CliProcess, StakesOnlyFileKeepsItsStakesAndRoundTrips) {
    TempFolder folder;
    fs::copy_file(kData + "stakes-only.ept", folder / "in.ept");
    test::CliRun run =
        runCli({"process", (folder / "in.ept").string(), "-o", (folder / "out.org").string()});
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string org = readFile(folder / "out.org");
    for (const char* stake : {"0,J1,", "0,Z1,", "0,J2,"})
        EXPECT_NE(org.find(stake), std::string::npos) << stake << " in\n" << org;

    const std::string written = (folder / "written.ept").string();
    const std::string again = (folder / "again.ept").string();
    run = runCli({"process", (folder / "in.ept").string(), "-o", written});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(readFile(written), readFile(kData + "stakes-only.ept"));
    run = runCli({"process", written, "-o", again});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(readFile(again), readFile(written));
}

TEST(CliProcess, UsageErrors) {
    TempFolder folder;
    fs::copy_file(kData + "survey.ept", folder / "in.ept");
    const std::string in = (folder / "in.ept").string();
    const std::string out = (folder / "out.txt").string();
    const struct Case {
        std::vector<std::string> args;
        std::string message;
    } cases[] = {
        {{}, "请给出一个子命令"},
        {{"process", in}, "缺少必需的参数 --output"},
        {{"process", in, "-o", out}, "无法从"},
        {{"process", in, "-o", out, "--type", "xls"}, "选项 --type 的取值“xls”无效"},
        {{"process", in, "-o", out, "--input-format", "org"}, "“org”无效"},
        {{"process", in, "-o", out, "--no-such-option"}, "不认识的参数：--no-such-option"},
        {{"process", in, "-o", out, "--project"}, "选项 --project 缺少取值"},
        {{"process", in, "-o", out, "--project", "2m"}, "--project"},
        {{"merge", in}, "缺少必需的参数 SECOND"},
        {{"unknown"}, "子命令"},
    };
    for (const Case& c : cases) {
        test::CliRun run = runCli(c.args);
        EXPECT_EQ(run.status, 2) << ::testing::PrintToString(c.args) << run.err;
        EXPECT_NE((run.err + run.out).find(c.message), std::string::npos) << run.err;
    }
    EXPECT_EQ(test::folderEntries(folder.path()), std::vector<std::string>{"in.ept"});
    for (const std::vector<std::string>& help :
         {std::vector<std::string>{"--help"}, {"process", "--help"}, {"check", "-h"}}) {
        test::CliRun run = runCli(help);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_NE(run.out.find("用法"), std::string::npos) << run.out;
        EXPECT_EQ(run.out.find("Options"), std::string::npos) << run.out;
    }
}

TEST(CliProcess, OutputIsTheSameInAnyLocale) {
    // Qt hands the user's locale to the C library; a German locale writes numbers with
    // a decimal comma wherever the C library formats them.
    locale_t german = ::newlocale(LC_ALL_MASK, "de_DE.UTF-8", nullptr);
    if (!german)
        GTEST_SKIP() << "the locale de_DE.UTF-8 is not installed (scripts/setup makes it)";
    ::freelocale(german);
    TempFolder folder;
    fs::copy_file(kData + "survey.ept", folder / "in.ept");
    fs::copy_file(kData + "rawsurvey.csv", folder / "raw.csv");
    // The steps write computed numbers into the cells, the place where a locale would
    // show.
    const std::vector<std::string> steps = {"--line",    "all",           "--start-mileage",
                                            "1000.5",    "--auto-select", "--calculate",
                                            "--project", "2.5",           "--sort"};
    const struct Case {
        const char* input;
        const char* type;
        std::vector<std::string> options;
    } cases[] = {
        {"in.ept", "ept", {}},  {"in.ept", "csv", {}},    {"raw.csv", "ept", {}},
        {"raw.csv", "csv", {}}, {"in.ept", "ept", steps}, {"in.ept", "csv", steps},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.options));
        std::vector<std::string> outputs;
        for (const char* locale : {"C", "de_DE.UTF-8"}) {
            const fs::path out = folder / (std::string(locale) + "." + c.type);
            std::vector<std::string> args = {"process", (folder / c.input).string(), "-o",
                                             out.string()};
            args.insert(args.end(), c.options.begin(), c.options.end());
            test::CliRun run = runCli(args, {{}, {std::string("LC_ALL=") + locale}});
            ASSERT_EQ(run.status, 0) << run.err;
            outputs.push_back(readFile(out));
        }
        EXPECT_FALSE(outputs[0].empty());
        EXPECT_EQ(outputs[0], outputs[1]) << c.input << " as " << c.type;
    }
    // The computed mileage is written with a decimal point.
    EXPECT_NE(readFile(folder / "C.csv").find(",1000.500,"), std::string::npos);
}

}  // namespace
}  // namespace corvane
