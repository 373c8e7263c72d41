// corvane-cli process on bad input and failing files: each case ends with a clear
// message and the right exit status, and the output file is either the complete new
// file or the old one, byte for byte, with no temporary file left.

#include <gtest/gtest.h>

#include <sys/stat.h>

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

const std::string kOld = "old output\r\n";

// A survey file larger than the small limits below.
std::string biggerSurvey() {
    std::string text = "测量数据\r\n";
    for (int i = 0; i < 600; ++i)
        text += "P" + std::to_string(i) +
                ",3456018.8937,512074.9799,102.051,J1,J2,空格（无编码）,76.042,-14.019,普通点,"
                "无跨越物(0),0.0000,0.0000,无杆型,0.0000,0.0000,\r\n";
    return gbk(text);
}

CliRun process(const fs::path& in, const fs::path& out, const CliStart& start = {}) {
    return runCli({"process", in.string(), "-o", out.string()}, start);
}

TEST(CliProcessFailures, BadInput) {
    const std::string fiftyMegabytes(50u << 20, 'x');
    const std::string commas = "P" + std::string(100000, ',') + "\r\n";
    const struct Case {
        const char* name;
        std::string input;
        int status;
        std::string message;  // in stderr
        std::string output;   // the output file afterwards
    } cases[] = {
        {"invalid GBK bytes: read, reported, and refused by the writer", "P\xFF,1,2,3,,,,,,,\r\n",
         1, "有 1 处无效字节已替换为", kOld},
        {"where the writer refuses them", "P\xFF,1,2,3,,,,,,,\r\n", 1, "第 1 行“点名”列中的字符",
         kOld},
        {"UTF-8 with byte order mark", "\xEF\xBB\xBF点,1,2,3,,,,,,,\r\n", 0, "",
         gbk("点,1,2,3,,,,,,,,,,,,,\r\n")},
        {"a 50 MB line", fiftyMegabytes, 0, "", fiftyMegabytes + "\r\n"},
        {"a line of 100,000 commas", commas, 0, "", "P" + std::string(16, ',') + "\r\n"},
        {"1e400 and nan are kept as texts", "N,1e400,nan,,,,,,,,,,,,,,\r\n", 0, "",
         "N,1e400,nan,,,,,,,,,,,,,,\r\n"},
        {"an empty file", "", 1, "文件是空的", kOld},
        {"CR-only line ends", "t\rP,1,2,3,,,,,,,\r", 0, "", "t\r\nP,1,2,3,,,,,,,,,,,,,\r\n"},
        {"a zero byte", std::string("t\r\nP,1,2\0,3,,,,,,,\r\n", 19), 1, "第 9 个字节处含有零字节",
         kOld},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        writeFile(folder / "in.ept", c.input);
        writeFile(folder / "out.ept", kOld);
        CliRun run = process(folder / "in.ept", folder / "out.ept");
        EXPECT_EQ(run.status, c.status) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
        const std::string out = readFile(folder / "out.ept");
        EXPECT_EQ(out.size(), c.output.size());
        EXPECT_TRUE(out == c.output);
        EXPECT_EQ(folderEntries(folder.path()), (Names{"in.ept", "out.ept"}));
    }
}

TEST(CliProcessFailures, PathsThatCannotBeUsed) {
    TempFolder folder;
    writeFile(folder / "in.ept", gbk("P,1,2,3,,,,,,,\r\n"));
    writeFile(folder / "plain", "x");
    fs::create_directory(folder / "dir.ept");
    const struct Case {
        const char* name;
        fs::path in;
        fs::path out;
        std::string message;
    } cases[] = {
        {"input is a folder", folder / "dir.ept", folder / "out.ept", "这是一个文件夹，不是文件"},
        {"input does not exist", folder / "none.ept", folder / "out.ept", "文件或文件夹不存在"},
        {"input below a regular file", folder / "plain" / "in.ept", folder / "out.ept",
         "不是文件夹"},
        {"output folder missing", folder / "in.ept", folder / "missing" / "out.ept",
         "文件或文件夹不存在"},
        {"output below a regular file", folder / "in.ept", folder / "plain" / "out.ept",
         "路径中的某一部分不是文件夹"},
        {"output is a folder", folder / "in.ept", folder / "dir.ept", "这是一个文件夹"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CliRun run = process(c.in, c.out);
        EXPECT_EQ(run.status, 3) << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    EXPECT_EQ(folderEntries(folder.path()), (Names{"dir.ept", "in.ept", "plain"}));
    EXPECT_TRUE(folderEntries(folder / "dir.ept").empty());
}

TEST(CliProcessFailures, FileSizeLimitKeepsTheOldFile) {
    TempFolder folder;
    writeFile(folder / "in.ept", biggerSurvey());
    writeFile(folder / "out.ept", kOld);
    CliRun run = process(folder / "in.ept", folder / "out.ept",
                         CliStart{{"prlimit", "--fsize=8192", "--"}, {}});
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_NE(run.err.find("文件超出了允许的大小"), std::string::npos) << run.err;
    EXPECT_EQ(readFile(folder / "out.ept"), kOld);
    EXPECT_EQ(folderEntries(folder.path()), (Names{"in.ept", "out.ept"}));
}

TEST(CliProcessFailures, FullDiskKeepsTheOldFile) {
    TempFolder folder;
    writeFile(folder / "in.ept", biggerSurvey());
    test::SmallTmpfs disk(folder / "disk", 64 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    const std::string old(30000, 'o');
    writeFile(folder / "disk" / "out.ept", old);
    CliRun run = process(folder / "in.ept", folder / "disk" / "out.ept");
    EXPECT_EQ(run.status, 3) << run.err;
    EXPECT_NE(run.err.find("磁盘空间不足"), std::string::npos) << run.err;
    EXPECT_EQ(readFile(folder / "disk" / "out.ept"), old);
    EXPECT_EQ(folderEntries(folder / "disk"), Names{"out.ept"});
}

TEST(CliProcessFailures, ReadOnlyMount) {
    TempFolder folder;
    writeFile(folder / "in.ept", gbk("P,1,2,3,,,,,,,\r\n"));
    test::SmallTmpfs disk(folder / "disk", 64 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    writeFile(folder / "disk" / "out.ept", kOld);
    ASSERT_TRUE(disk.makeReadOnly());
    for (const char* name : {"out.ept", "new.ept"}) {
        CliRun run = process(folder / "in.ept", folder / "disk" / name);
        EXPECT_EQ(run.status, 3) << run.err;
        EXPECT_NE(run.err.find("文件系统是只读的"), std::string::npos) << run.err;
    }
    EXPECT_EQ(readFile(folder / "disk" / "out.ept"), kOld);
    EXPECT_EQ(folderEntries(folder / "disk"), Names{"out.ept"});
}

TEST(CliProcessFailures, PermissionsOfAnotherUser) {
    const auto prefix = test::unprivileged();
    if (!prefix)
        GTEST_SKIP() << "cannot run the program as a user without privileges here";
    TempFolder folder;
    ::chmod(folder.path().c_str(), 0755);
    writeFile(folder / "secret.ept", gbk("P,1,2,3,,,,,,,\r\n"));
    // Root runs the program as "nobody", to whom the file of root is closed; anyone
    // else runs it as themselves, to whom their own file is closed only without modes.
    ::chmod((folder / "secret.ept").c_str(), ::geteuid() == 0 ? 0600 : 0);
    writeFile(folder / "in.ept", gbk("P,1,2,3,,,,,,,\r\n"));
    ::chmod((folder / "in.ept").c_str(), 0644);
    fs::create_directory(folder / "closed");
    ::chmod((folder / "closed").c_str(), 0555);
    // A folder anyone may write to, holding a file nobody but its owner may change: the
    // rename of a temporary file would replace it all the same, so it must be refused.
    fs::create_directory(folder / "open");
    ::chmod((folder / "open").c_str(), 0777);
    writeFile(folder / "open" / "locked.ept", kOld);
    ::chmod((folder / "open" / "locked.ept").c_str(), 0444);
    const CliStart start{*prefix, {}};
    const struct Case {
        const char* name;
        fs::path in;
        fs::path out;
    } cases[] = {
        {"unreadable input", folder / "secret.ept", folder / "open" / "x.ept"},
        {"read-only target", folder / "in.ept", folder / "open" / "locked.ept"},
        {"folder without write permission", folder / "in.ept", folder / "closed" / "new.ept"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CliRun run = process(c.in, c.out, start);
        EXPECT_EQ(run.status, 3) << run.err;
        EXPECT_NE(run.err.find("没有访问权限"), std::string::npos) << run.err;
    }
    EXPECT_EQ(readFile(folder / "open" / "locked.ept"), kOld);
    EXPECT_TRUE(folderEntries(folder / "closed").empty());
    EXPECT_EQ(folderEntries(folder / "open"), Names{"locked.ept"});
    EXPECT_EQ(folderEntries(folder.path()), (Names{"closed", "in.ept", "open", "secret.ept"}));
}

}  // namespace
}  // namespace corvane
