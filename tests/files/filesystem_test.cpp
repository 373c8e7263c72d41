// Reading whole files and writing them atomically: every failure is a message and
// leaves the target as it was, with no temporary file behind.

#include "filesystem.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "bytefiles.h"
#include "longpath.h"
#include "pendingfile.h"
#include "pendingname.h"
#include "tempdir.h"

namespace corvane {

void PrintTo(PendingFileKind kind, std::ostream* out) {
    *out << (kind == PendingFileKind::Unnamed ? "unnamed" : "named");
}

namespace {

namespace fs = std::filesystem;
using test::folderEntries;
using test::readFile;
using test::TempFolder;
using test::writeFile;
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

// Every guarantee holds for both kinds of pending file: the unnamed one the program
// asks for, and the named one it falls back to where the file system has no unnamed files.
class WriteFileAtomically : public testing::TestWithParam<PendingFileKind> {
protected:
    Status write(const std::string& path, std::string_view bytes) {
        return writeFileAtomicallyAs(GetParam(), path, [bytes](const ByteSink& sink) {
            sink(bytes);
            return success();
        });
    }
};

TEST_P(WriteFileAtomically, CreatesAndReplaces) {
    TempFolder folder;
    const fs::path target = folder / "out.ept";
    ASSERT_TRUE(write(target.string(), "first").ok());
    EXPECT_EQ(readFile(target), "first");
    ::chmod(target.c_str(), 0640);
    ASSERT_TRUE(write(target.string(), "second, longer").ok());
    EXPECT_EQ(readFile(target), "second, longer");
    EXPECT_EQ(fs::status(target).permissions(), fs::perms(0640));  // the mode is kept
    ASSERT_TRUE(write(target.string(), "").ok());
    EXPECT_EQ(readFile(target), "");
    EXPECT_EQ(folderEntries(folder.path()), Names{"out.ept"});
}

TEST_P(WriteFileAtomically, WritesThroughSymbolicLinks) {
    TempFolder folder;
    writeFile(folder / "real.ept", "old");
    fs::create_symlink("real.ept", folder / "link.ept");
    ASSERT_TRUE(write((folder / "link.ept").string(), "new").ok());
    EXPECT_TRUE(fs::is_symlink(folder / "link.ept"));
    EXPECT_EQ(readFile(folder / "real.ept"), "new");
}

TEST_P(WriteFileAtomically, FailuresLeaveEverythingAsItWas) {
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
        Status written = write(c.path, "data");
        ASSERT_FALSE(written.ok()) << c.path;
        EXPECT_EQ(written.error().kind, Error::Kind::Io);
        EXPECT_NE(written.error().message.find(c.message), std::string::npos)
            << written.error().message;
    }
    EXPECT_EQ(folderEntries(folder.path()), (Names{"dir", "plain"}));
    EXPECT_TRUE(folderEntries(folder / "dir").empty());
    EXPECT_EQ(readFile(folder / "plain"), "keep");
}

TEST_P(WriteFileAtomically, FileSizeLimitIsAnErrorNotTheEndOfTheProgram) {
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
    Status written = write(target.string(), std::string(100000, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &old);
    ASSERT_FALSE(written.ok());
    EXPECT_NE(written.error().message.find("文件超出了允许的大小"), std::string::npos)
        << written.error().message;
    EXPECT_EQ(readFile(target), "old");
    EXPECT_EQ(folderEntries(folder.path()), Names{"out.ept"});
}

TEST_P(WriteFileAtomically, FullDisk) {
    TempFolder folder;
    test::SmallTmpfs disk(folder / "disk", 64 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    const fs::path target = folder / "disk" / "out.ept";
    const std::string old(20000, 'o');
    writeFile(target, old);
    Status written = write(target.string(), std::string(100000, 'n'));
    ASSERT_FALSE(written.ok());
    EXPECT_NE(written.error().message.find("磁盘空间不足"), std::string::npos)
        << written.error().message;
    EXPECT_EQ(readFile(target), old);
    EXPECT_EQ(folderEntries(folder / "disk"), Names{"out.ept"});
}

TEST_P(WriteFileAtomically, ReadOnlyFileSystem) {
    TempFolder folder;
    test::SmallTmpfs disk(folder / "disk", 64 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    const fs::path target = folder / "disk" / "out.ept";
    writeFile(target, "old");
    ASSERT_TRUE(disk.makeReadOnly());
    for (const fs::path& path : {target, folder / "disk" / "new.ept"}) {
        Status written = write(path.string(), "new");
        ASSERT_FALSE(written.ok());
        EXPECT_NE(written.error().message.find("文件系统是只读的"), std::string::npos)
            << written.error().message;
    }
    EXPECT_EQ(readFile(target), "old");
    EXPECT_EQ(folderEntries(folder / "disk"), Names{"out.ept"});
}

// Whether the folder's file system makes unnamed files (tmpfs, ext4, xfs and btrfs do).
bool hasUnnamedFiles(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

TEST_P(WriteFileAtomically, WhileWritingOnlyTheNamedKindShowsInTheFolder) {
    TempFolder folder;
    const bool unnamed = GetParam() == PendingFileKind::Unnamed;
    if (unnamed && !hasUnnamedFiles(folder.path()))
        GTEST_SKIP() << "the temporary folder's file system has no unnamed files";
    const mode_t mask = ::umask(0);
    ::umask(mask);
    for (const bool old : {false, true}) {
        const fs::path target = folder / "out.ept";
        if (old)
            writeFile(target, "old");
        Names during;
        Status written =
            writeFileAtomicallyAs(GetParam(), target.string(), [&](const ByteSink& sink) {
                sink("new");
                during = folderEntries(folder.path());
                return success();
            });
        ASSERT_TRUE(written.ok()) << written.error().message;
        Names expected;
        if (old)
            expected.push_back("out.ept");
        if (unnamed) {
            EXPECT_EQ(during, expected);
        } else {
            ASSERT_EQ(during.size(), expected.size() + 1);
            EXPECT_EQ(during[0].rfind(".out.ept.", 0), 0u) << during[0];
        }
        EXPECT_EQ(readFile(target), "new");
        EXPECT_EQ(folderEntries(folder.path()), Names{"out.ept"});
        if (!old) {  // a new file gets the mode any new file would get
            EXPECT_EQ(fs::status(target).permissions(), fs::perms(0666 & ~mask));
        }
        fs::remove(target);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, WriteFileAtomically,
                         testing::Values(PendingFileKind::Unnamed, PendingFileKind::Named),
                         [](const testing::TestParamInfo<PendingFileKind>& info) {
                             return info.param == PendingFileKind::Unnamed ? "Unnamed" : "Named";
                         });

// The hidden name beside a target: a long target name is cut, never inside a UTF-8
// character, and each random byte gives one letter or digit.
TEST(PendingName, IsHiddenShortAndKeepsWholeCharacters) {
    const std::string han = "\xE7\xBA\xBF";  // one three-byte character
    std::string hans;
    for (int i = 0; i < 34; ++i)
        hans += han;  // 102 bytes; byte 100 is inside the 34th character
    const struct {
        std::string target;
        std::string base;
    } cases[] = {
        {"out.ept", "out.ept"},
        {std::string(100, 'a'), std::string(100, 'a')},
        {std::string(130, 'a'), std::string(100, 'a')},
        {std::string(100, 'a') + han, std::string(100, 'a')},
        {hans, hans.substr(0, 99)},
    };
    const unsigned char random[] = {0, 25, 26, 61, 62, 63, 64 + 1, 255};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target.size());
        EXPECT_EQ(pendingNameBeside(c.target, random, sizeof random), "." + c.base + ".azA9-_b_");
    }
}

// Long Windows paths: drive and share paths take the extended-length prefix, with
// backslashes only; anything else is left to the system as it is.
TEST(LongPath, ExtendedLengthFormOfFullPaths) {
    const struct {
        std::wstring full;
        std::wstring extended;
    } cases[] = {
        {L"C:\\测量\\a.ept", L"\\\\?\\C:\\测量\\a.ept"},
        {L"z:/tmp/a b/c.org", L"\\\\?\\z:\\tmp\\a b\\c.org"},
        {L"\\\\server\\share\\d\\a.ept", L"\\\\?\\UNC\\server\\share\\d\\a.ept"},
        {L"\\\\?\\C:\\a.ept", L"\\\\?\\C:\\a.ept"},
        {L"\\\\.\\pipe\\x", L"\\\\.\\pipe\\x"},
        {L"relative\\a.ept", L"relative\\a.ept"},
        {L"C:a.ept", L"C:a.ept"},
        {L"", L""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(extendedLengthPath(c.full), c.extended) << c.full.size();
}

// A folder of files being written goes with its files when a signal ends the writer;
// after the guard is gone the signal leaves it to its owner.
TEST(FolderRemovedOnSignal, GoesWithItsFilesOnTheSignalsThatEndTheWriter) {
    for (const bool guarded : {true, false}) {
        for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
            SCOPED_TRACE(std::to_string(signal) + (guarded ? " guarded" : " released"));
            TempFolder dir;
            const fs::path folder = dir.path() / ".out.shp.Ab12Cd";
            int ready[2];
            ASSERT_EQ(::pipe(ready), 0);
            const pid_t child = ::fork();
            if (child == 0) {
                ::close(ready[0]);
                fs::create_directory(folder);
                {
                    FolderRemovedOnSignal guard(folder.string());
                    for (const char* name : {"out.shp", "out.shx", "out.dbf", "out.prj"})
                        writeFile(folder / name, std::string(5000, 'x'));
                    if (guarded) {
                        const char one = 1;
                        if (::write(ready[1], &one, 1) != 1)
                            ::_exit(4);
                        ::pause();
                    }
                }
                const char one = 1;
                if (::write(ready[1], &one, 1) != 1)
                    ::_exit(4);
                ::pause();
                ::_exit(0);
            }
            ::close(ready[1]);
            char byte = 0;
            ASSERT_EQ(::read(ready[0], &byte, 1), 1);
            ::close(ready[0]);
            ::kill(child, signal);
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal);
            EXPECT_EQ(fs::exists(folder), !guarded);
            EXPECT_EQ(folderEntries(dir.path()).size(), guarded ? 0u : 1u);
        }
    }
}

// An export in a child process, ended by `signal` once it has written a megabyte;
// returns the child's status. `ownHandler`: the program handles the signal itself.
int interruptedExport(const fs::path& target, PendingFileKind kind, int signal,
                      bool ownHandler = false) {
    int ready[2];
    if (::pipe(ready) != 0)
        return -1;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ready[0]);
        if (ownHandler)
            ::signal(signal, [](int) { ::_exit(7); });
        const std::string block(1 << 20, 'n');
        Status written = writeFileAtomicallyAs(kind, target.string(), [&](const ByteSink& sink) {
            sink(block);
            const char one = 1;
            if (::write(ready[1], &one, 1) != 1)
                ::_exit(4);
            for (int i = 0; i < 1000; ++i) {  // ten seconds at most
                sink(std::string_view(block).substr(0, 4096));
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
            return success();
        });
        ::_exit(written.ok() ? 0 : 3);
    }
    ::close(ready[1]);
    char byte = 0;
    const bool started = ::read(ready[0], &byte, 1) == 1;
    ::close(ready[0]);
    if (started)
        ::kill(child, signal);
    int status = 0;
    ::waitpid(child, &status, 0);
    return started ? status : -1;
}

TEST(InterruptedExport, LeavesTheOldFileAndNothingElse) {
    // Killing leaves nothing only with an unnamed file; the named one is removed by a
    // handler of the signals that can be caught.
    const struct Case {
        PendingFileKind kind;
        int signal;
        bool oldTarget;
    } cases[] = {
        {PendingFileKind::Unnamed, SIGKILL, true}, {PendingFileKind::Unnamed, SIGKILL, false},
        {PendingFileKind::Unnamed, SIGTERM, true}, {PendingFileKind::Unnamed, SIGINT, true},
        {PendingFileKind::Named, SIGTERM, true},   {PendingFileKind::Named, SIGINT, true},
        {PendingFileKind::Named, SIGHUP, false},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        if (c.kind == PendingFileKind::Unnamed && !hasUnnamedFiles(folder.path()))
            continue;
        const std::string label = (c.kind == PendingFileKind::Unnamed ? "unnamed, " : "named, ") +
                                  std::string(strsignal(c.signal));
        const fs::path target = folder / "out.ept";
        if (c.oldTarget)
            writeFile(target, "old");
        const int status = interruptedExport(target, c.kind, c.signal);
        ASSERT_NE(status, -1) << label << ": the export did not start";
        ASSERT_TRUE(WIFSIGNALED(status)) << label << ": status " << status;
        EXPECT_EQ(WTERMSIG(status), c.signal) << label;  // ended as by the signal itself
        if (c.oldTarget) {
            EXPECT_EQ(readFile(target), "old") << label;
            EXPECT_EQ(folderEntries(folder.path()), Names{"out.ept"}) << label;
        } else {
            EXPECT_EQ(folderEntries(folder.path()), Names{}) << label;
        }
    }
}

TEST(InterruptedExport, SignalsTheProgramHandlesStayItsOwn) {
    // The desktop may handle SIGTERM itself; the removal of named files must not take
    // that over.
    TempFolder folder;
    const int status = interruptedExport(folder / "out.ept", PendingFileKind::Named, SIGTERM, true);
    ASSERT_NE(status, -1) << "the export did not start";
    ASSERT_TRUE(WIFEXITED(status)) << status;
    EXPECT_EQ(WEXITSTATUS(status), 7);
}

}  // namespace
}  // namespace corvane
