// corvane-cli: the ".org" and DXF exports and the merge, run as the user runs them.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <locale>

#include "bytefiles.h"
#include "clirunner.h"
#include "cp936.h"
#include "dxfexport.h"
#include "filemerge.h"
#include "orgwriter.h"
#include "pointfilereader.h"
#include "pointtable.h"
#include "tempdir.h"

namespace corvane {
namespace {

using test::CliRun;
using test::gbk;
using test::readFile;
using test::runCli;
using test::TempFolder;
using test::writeFile;

// A small computed survey: two J stakes, a house, a road and points with decimals.
std::string computedSurvey() {
    return gbk(
        "测量数据,示例\r\n"
        "J1,1000.25,2000.5,12.125,J1,J2,空格（无编码）,0.000,0.0000,J桩,无跨越物(0),0,0,"
        "1--[I],0,0,\r\n"
        "点1,1010.5,2001.75,12.5,J1,J2,空格（无编码）,10.312,-1.234,普通点,无跨越物(0),0,0,"
        "无杆型,0,0,\r\n"
        "房1,1020.5,1995.5,13.25,J1,J2,空格（无编码）,20.125,4.75,1点测路河塘房等,房屋(201),"
        "3.5,0.25,无杆型,12.5,6.5,\r\n"
        "路1,1030.5,2003.5,11.5,J1,J2,空格（无编码）,30.5,-2.5,1点测路河塘房等,公路(184),"
        "0,1.25,无杆型,0,7.25,\r\n"
        "J2,1100.75,2010.25,14.875,J2,J2,空格（无编码）,100.875,0.0000,J桩,无跨越物(0),0,0,"
        "2--[IJ],0,0,\r\n");
}

TEST(CliExports, OrgWithUnresolvedSegmentExitsOneAndLeavesTheOldFile) {
    TempFolder dir;
    const std::string in = dir.file("in.ept");
    const std::string out = dir.file("out.org");
    writeFile(
        in, computedSurvey() + gbk("点9,1,2,3,J1,J7,,0,0,普通点,无跨越物(0),0,0,无杆型,0,0,\r\n"));
    writeFile(out, "old");
    const CliRun r = runCli({"process", in, "-o", out});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("测量点 [ 点9 ] 没有找到所属的电力线点，请检查！"), std::string::npos)
        << r.err;
    EXPECT_EQ(readFile(out), "old");
}

TEST(CliExports, ProcessWritesOrgAndDxfByExtensionOrType) {
    TempFolder dir;
    const std::string in = dir.file("in.ept");
    writeFile(in, computedSurvey());
    Result<ImportedPoints> imported = readPointFile(in, PointFileFormat::Ept);
    ASSERT_TRUE(imported.ok());
    PointTable table;
    table.replaceAll(std::move(imported->rows), std::move(imported->otherLines));
    const std::string org = buildOrgFile(table).value();
    const std::string dxf = buildDxfFile(table).value();

    struct Case {
        std::vector<std::string> options;
        std::string output;
        const std::string& expected;
    };
    const Case cases[] = {
        {{}, "out.org", org},
        {{}, "OUT.DXF", dxf},
        {{"--type", "org"}, "out.txt", org},
        {{"--type", "dxf"}, "out", dxf},
    };
    for (const Case& c : cases) {
        const std::string out = dir.file(c.output);
        std::vector<std::string> args = {"process", in, "-o", out};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const CliRun r = runCli(args);
        ASSERT_EQ(r.status, 0) << c.output << ": " << r.err;
        EXPECT_EQ(readFile(out), c.expected) << c.output;
    }
    EXPECT_NE(org.find(gbk("0,J1,0.0000,0.0000,12.1250,96=00+96,0.0000,0.0000\r\nb,1,1.2340,")),
              std::string::npos);
}

TEST(CliExports, FileThatCannotBeCreatedIsReportedWithItsPath) {
    TempFolder dir;
    const std::string in = dir.file("in.ept");
    writeFile(in, computedSurvey());
    for (const char* name : {"out.org", "out.dxf"}) {
        const std::string out = dir.file(std::string("missing/") + name);
        const CliRun r = runCli({"process", in, "-o", out});
        EXPECT_EQ(r.status, 3) << name;
        EXPECT_NE(r.err.find(out), std::string::npos) << r.err;
    }
}

TEST(CliMerge, MergesReportsAndSetsTheExitStatus) {
    TempFolder dir;
    const std::string a = dir.file("a.ept");
    const std::string b = dir.file("b.ept");
    const std::string out = dir.file("out.ept");
    writeFile(a, computedSurvey());
    writeFile(b, computedSurvey() + "P100,1,2,3,J1,J2,,0,0,,,,,,,,\r\nlast,1,2,3,4,5,6,7,8,9,10");

    CliRun r = runCli({"merge", a, b, "-o", out});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "两个数据文件合并成果！第一个文件写入 6 行，第二个文件写入 2 行，舍去重复的 6 "
              "行。\n");
    EXPECT_EQ(readFile(out),
              computedSurvey() + "P100,1,2,3,J1,J2,,0,0,,,,,,,,\r\nlast,1,2,3,4,5,6,7,8,9,10\r\n");

    const std::string missing = dir.file("missing.ept");
    const std::string out2 = dir.file("out2.ept");
    r = runCli({"merge", a, missing, "-o", out2});
    EXPECT_EQ(r.status, 3);
    EXPECT_NE(r.err.find(missing), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(out2));

    r = runCli({"merge", a, b});
    EXPECT_EQ(r.status, 2);
}

// The same bytes under a German locale (decimal comma) as under C.
TEST(CliExports, OutputDoesNotDependOnTheLocale) {
    TempFolder dir;
    const std::string in = dir.file("in.ept");
    writeFile(in, computedSurvey());
    const std::vector<std::string> commands[] = {
        {"process", in, "-o", dir.file("OUT.org")},
        {"process", in, "-o", dir.file("OUT.dxf")},
        {"merge", in, in, "-o", dir.file("OUT.ept")},
    };
    const char* outputs[] = {"OUT.org", "OUT.dxf", "OUT.ept"};
    for (size_t i = 0; i < 3; ++i) {
        std::string bytes[2];
        const char* locales[] = {"C", "de_DE.UTF-8"};
        for (int l = 0; l < 2; ++l) {
            const CliRun r = runCli(commands[i], {{}, {std::string("LC_ALL=") + locales[l]}});
            ASSERT_EQ(r.status, 0) << locales[l] << ": " << r.err;
            bytes[l] = readFile(dir.file(outputs[i]));
        }
        EXPECT_FALSE(bytes[0].empty());
        EXPECT_EQ(bytes[0], bytes[1]) << outputs[i];
    }
}

// The writers run inside the desktop program too, which takes the user's locale.
TEST(CliExports, WritersIgnoreAProcessWideLocale) {
    TempFolder dir;
    const std::string in = dir.file("in.ept");
    writeFile(in, computedSurvey());
    auto build = [&] {
        Result<ImportedPoints> imported = readPointFile(in, PointFileFormat::Ept);
        EXPECT_TRUE(imported.ok());
        PointTable table;
        table.replaceAll(std::move(imported->rows), std::move(imported->otherLines));
        return buildOrgFile(table).value() + buildDxfFile(table).value() +
               mergePointFiles(in, in).value().bytes;
    };
    const std::string inC = build();
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "the locale de_DE.UTF-8 is not installed (scripts/setup makes it)";
    std::locale::global(std::locale("de_DE.UTF-8"));
    char probe[16];
    std::snprintf(probe, sizeof probe, "%.1f", 1.5);
    const std::string inGerman = build();
    std::locale::global(std::locale::classic());
    std::setlocale(LC_ALL, "C");
    ASSERT_STREQ(probe, "1,5");  // the locale really was in force
    EXPECT_EQ(inGerman, inC);
}

}  // namespace
}  // namespace corvane
