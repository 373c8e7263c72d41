// Reading whole files and writing them atomically: every failure is a message and
// leaves the target as it was, with no temporary file behind.

#include "filesystem.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "filetestutil.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;
using filetest::folderEntries;
using filetest::readFile;
using filetest::TempFolder;
using filetest::writeFile;
using Names = std::vector<std::string>;

TEST(ReadWholeFile, ReadsEveryByte) {
    TempFolder folder;
    std::string bytes;
    for (int i = 0; i < 200000; ++i)
        bytes += static_cast<char>(i * 7);
    writeFile(folder / "a.bin", bytes);
    writeFile(folder / "empty", "");
    Result<std::string> read = readWholeFile((folder / "a.bin").string());
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.value(), bytes);
    read = readWholeFile((folder / "empty").string());
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.value(), "");
}

TEST(ReadWholeFile, RefusesWhatIsNoFile) {
    TempFolder folder;
    fs::create_directory(folder / "dir");
    ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
    writeFile(folder / "file", "x");
    const struct Case {
        std::string path;
        std::string message;
    } cases[] = {
        {(folder / "missing.ept").string(), "文件或文件夹不存在"},
        {(folder / "dir").string(), "这是一个文件夹，不是文件"},
        {(folder / "pipe").string(), "这不是普通文件"},  // must not wait for a writer
        {"/dev/zero", "这不是普通文件"},                 // must not read forever
        {(folder / "file" / "below").string(), "不是文件夹"},
    };
    for (const Case& c : cases) {
        Result<std::string> read = readWholeFile(c.path);
        ASSERT_FALSE(read.ok()) << c.path;
        EXPECT_EQ(read.error().kind, Error::Kind::Io);
        EXPECT_NE(read.error().message.find(c.message), std::string::npos) << read.error().message;
        EXPECT_NE(read.error().message.find("“" + c.path + "”"), std::string::npos);
    }
}

TEST(WriteFileAtomically, CreatesAndReplaces) {
    TempFolder folder;
    const fs::path target = folder / "out.ept";
    ASSERT_TRUE(writeFileAtomically(target.string(), "first").ok());
    EXPECT_EQ(readFile(target), "first");
    ::chmod(target.c_str(), 0640);
    ASSERT_TRUE(writeFileAtomically(target.string(), "second, longer").ok());
    EXPECT_EQ(readFile(target), "second, longer");
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));  // the mode is kept
    ASSERT_TRUE(writeFileAtomically(target.string(), "").ok());
    EXPECT_EQ(readFile(target), "");
    EXPECT_EQ(folderEntries(folder.path()), Names{"out.ept"});
}

TEST(WriteFileAtomically, WritesThroughSymbolicLinks) {
    TempFolder folder;
    writeFile(folder / "real.ept", "old");
    fs::create_symlink("real.ept", folder / "link.ept");
    ASSERT_TRUE(writeFileAtomically((folder / "link.ept").string(), "new").ok());
    EXPECT_TRUE(fs::is_symlink(folder / "link.ept"));
    EXPECT_EQ(readFile(folder / "real.ept"), "new");
}

TEST(WriteFileAtomically, FailuresLeaveEverythingAsItWas) {
    TempFolder folder;
    writeFile(folder / "plain", "keep");
    fs::create_directory(folder / "dir");
    const struct Case {
        std::string path;
        std::string message;
    } cases[] = {
        {(folder / "missing" / "out.ept").string(), "无法创建文件"},
        {(folder / "plain" / "out.ept").string(), "路径中的某一部分不是文件夹"},
        {(folder / "dir").string(), "这是一个文件夹"},
        {"", "没有给出要写入的文件名"},
    };
    for (const Case& c : cases) {
        Status written = writeFileAtomically(c.path, "data");
        ASSERT_FALSE(written.ok()) << c.path;
        EXPECT_EQ(written.error().kind, Error::Kind::Io);
        EXPECT_NE(written.error().message.find(c.message), std::string::npos)
            << written.error().message;
    }
    EXPECT_EQ(folderEntries(folder.path()), (Names{"dir", "plain"}));
    EXPECT_TRUE(folderEntries(folder / "dir").empty());
    EXPECT_EQ(readFile(folder / "plain"), "keep");
}

TEST(WriteFileAtomically, FileSizeLimitIsAnErrorNotTheEndOfTheProgram) {
    // Past the limit the kernel sends SIGXFSZ, which would end the process and leave
    // the temporary file behind.
    TempFolder folder;
    const fs::path target = folder / "out.ept";
    writeFile(target, "old");
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    Status written = writeFileAtomically(target.string(), std::string(100000, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &old);
    ASSERT_FALSE(written.ok());
    EXPECT_NE(written.error().message.find("文件超出了允许的大小"), std::string::npos)
        << written.error().message;
    EXPECT_EQ(readFile(target), "old");
    EXPECT_EQ(folderEntries(folder.path()), Names{"out.ept"});
}

TEST(WriteFileAtomically, FullDisk) {
    TempFolder folder;
    filetest::SmallTmpfs disk(folder / "disk", 64 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    const fs::path target = folder / "disk" / "out.ept";
    const std::string old(20000, 'o');
    writeFile(target, old);
    Status written = writeFileAtomically(target.string(), std::string(100000, 'n'));
    ASSERT_FALSE(written.ok());
    EXPECT_NE(written.error().message.find("磁盘空间不足"), std::string::npos)
        << written.error().message;
    EXPECT_EQ(readFile(target), old);
    EXPECT_EQ(folderEntries(folder / "disk"), Names{"out.ept"});
}

TEST(WriteFileAtomically, ReadOnlyFileSystem) {
    TempFolder folder;
    filetest::SmallTmpfs disk(folder / "disk", 64 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    const fs::path target = folder / "disk" / "out.ept";
    writeFile(target, "old");
    ASSERT_TRUE(disk.makeReadOnly());
    for (const fs::path& path : {target, folder / "disk" / "new.ept"}) {
        Status written = writeFileAtomically(path.string(), "new");
        ASSERT_FALSE(written.ok());
        EXPECT_NE(written.error().message.find("文件系统是只读的"), std::string::npos)
            << written.error().message;
    }
    EXPECT_EQ(readFile(target), "old");
    EXPECT_EQ(folderEntries(folder / "disk"), Names{"out.ept"});
}

}  // namespace
}  // namespace corvane
