#include "filesystem.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#ifdef _WIN32
#include <io.h>
#ifndef S_ISDIR  // MSVC's C library has only the masks
#define S_ISDIR(m) (((m)&_S_IFMT) == _S_IFDIR)
#define S_ISREG(m) (((m)&_S_IFMT) == _S_IFREG)
#endif
#else
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <vector>

#include "largebuffer.h"
#include "memoryroom.h"
#include "pendingfile.h"
#ifdef _WIN32
#include "windowsapi.h"
#endif

namespace corvane {
namespace {

// The few system calls of reading and checking files, with paths in UTF-8; Windows
// takes them as UTF-16 and reads in binary mode.
#ifdef _WIN32
using FileStatus = struct _stat64;
int openForReading(const std::string& path) {
    return ::_wopen(widePath(path).c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
}
int statusOf(const std::string& path, FileStatus* st) {
    return ::_wstat64(widePath(path).c_str(), st);
}
int statusOf(int fd, FileStatus* st) {
    return ::_fstat64(fd, st);
}
int mayWrite(const std::string& path) {
    return ::_waccess(widePath(path).c_str(), 2);
}
long long readSome(int fd, char* into, size_t size) {
    return ::_read(fd, into, static_cast<unsigned>(std::min<size_t>(size, INT_MAX)));
}
long long writeSome(int fd, const char* from, size_t size) {
    return ::_write(fd, from, static_cast<unsigned>(std::min<size_t>(size, INT_MAX)));
}
int closeFile(int fd) {
    return ::_close(fd);
}
#else
using FileStatus = struct stat;
int openForReading(const std::string& path) {
    // Non-blocking, so that opening a pipe does not wait for a writer.
    return ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
}
int statusOf(const std::string& path, FileStatus* st) {
    return ::stat(path.c_str(), st);
}
int statusOf(int fd, FileStatus* st) {
    return ::fstat(fd, st);
}
int mayWrite(const std::string& path) {
    return ::access(path.c_str(), W_OK);
}
long long readSome(int fd, char* into, size_t size) {
    return ::read(fd, into, size);
}
long long writeSome(int fd, const char* from, size_t size) {
    return ::write(fd, from, size);
}
int closeFile(int fd) {
    return ::close(fd);
}
#endif

std::string quoted(const std::string& path) {
    return "“" + path + "”";
}

// The system's reason in the user's language; the messages around it are Chinese, so
// the usual causes are said in Chinese too, whatever the locale.
std::string reason(int err) {
    switch (err) {
        case ENOENT:
            return "文件或文件夹不存在。";
        case ENOTDIR:
            return "路径中的某一部分不是文件夹。";
        case EACCES:
        case EPERM:
            return "没有访问权限。";
        case EROFS:
            return "文件系统是只读的。";
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
            return "磁盘空间不足。";
        case EFBIG:
            return "文件超出了允许的大小。";
        case EISDIR:
            return "这是一个文件夹，不是文件。";
        case ENAMETOOLONG:
            return "文件名太长。";
#ifdef ELOOP
        case ELOOP:
            return "符号链接的层数太多。";
#endif
        case EMFILE:
        case ENFILE:
            return "打开的文件太多。";
        case EIO:
            return "读写设备时出错。";
        default:
            return "系统错误 " + std::to_string(err) + "（" + std::strerror(err) + "）。";
    }
}

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0)
            closeFile(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }
    int release() {
        int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

// Writing past a file size limit (ulimit -f) raises SIGXFSZ, which ends the process
// by default and would leave the temporary file behind. While this guard lives the
// signal is blocked for the calling thread, so the write fails with EFBIG instead; a
// signal raised meanwhile is taken back before the old mask returns.
#ifdef _WIN32
// Windows has no file size signal: a write past a limit just fails.
struct FileSizeSignalGuard {
    FileSizeSignalGuard() {}
};
#else
class FileSizeSignalGuard {
public:
    FileSizeSignalGuard() {
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, SIGXFSZ);
        m_active = pthread_sigmask(SIG_BLOCK, &set, &m_old) == 0 && !sigismember(&m_old, SIGXFSZ);
    }
    ~FileSizeSignalGuard() {
        if (!m_active)
            return;
        sigset_t set;
        sigemptyset(&set);
        sigaddset(&set, SIGXFSZ);
        const timespec none{0, 0};
        while (sigtimedwait(&set, nullptr, &none) == SIGXFSZ) {
        }
        pthread_sigmask(SIG_SETMASK, &m_old, nullptr);
    }
    FileSizeSignalGuard(const FileSizeSignalGuard&) = delete;
    FileSizeSignalGuard& operator=(const FileSizeSignalGuard&) = delete;

private:
    sigset_t m_old;
    bool m_active = false;
};
#endif

// A symbolic link is written through: its target gets the new content, the link stays.
std::string resolveLink(const std::string& path) {
#ifdef _WIN32
    return path;  // Windows' links are followed by the system itself
#else
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
#endif
}

}  // namespace

Result<std::string> readWholeFile(const std::string& path) {
    FileDescriptor fd(openForReading(path));
    if (fd.get() < 0) {
        const int err = errno;
        // Windows refuses to open a folder as a file; say what it is.
        FileStatus st{};
        if (statusOf(path, &st) == 0 && S_ISDIR(st.st_mode))
            return Error::io("无法读取" + quoted(path) + "：这是一个文件夹，不是文件。");
        return Error::io("无法打开文件" + quoted(path) + "：" + reason(err));
    }
    FileStatus st{};
    if (statusOf(fd.get(), &st) != 0)
        return Error::io("无法读取文件" + quoted(path) + "：" + reason(errno));
    if (S_ISDIR(st.st_mode))
        return Error::io("无法读取" + quoted(path) + "：这是一个文件夹，不是文件。");
    // A device or a pipe may never end; only regular files are point files.
    if (!S_ISREG(st.st_mode))
        return Error::io("无法读取" + quoted(path) + "：这不是普通文件。");
    const uint64_t size = static_cast<uint64_t>(st.st_size);
    // Reading a file takes its size in memory and what is made of it as much again: a
    // file beyond half the memory there is cannot be read, and is refused before
    // anything is asked of the allocator (a sparse file may claim any size).
    const std::optional<uint64_t> room = availableMemory();
    if (size >= std::string().max_size() / 2 || (room && size > *room / 2))
        return Error::io("无法读入文件" + quoted(path) + "：文件有 " + sizeText(size) +
                         "，超出了本机可用的内存" +
                         (room ? "（可用 " + sizeText(*room) + "）" : std::string()) + "。");
    std::string bytes;
    // One byte more than the size, so that the read that finds the end needs no room.
    bytes.reserve(static_cast<size_t>(st.st_size) + 1);
    adviseLargeBuffer(bytes.data(), bytes.capacity());
    bytes.resize(static_cast<size_t>(st.st_size) + 1);
    size_t used = 0;
    for (;;) {
        if (used == bytes.size())
            bytes.resize(bytes.size() * 2);  // the file grew while being read
        const long long n = readSome(fd.get(), bytes.data() + used, bytes.size() - used);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Error::io("读取文件" + quoted(path) + "时出错：" + reason(errno));
        }
        used += static_cast<size_t>(n);
    }
    bytes.resize(used);
    return bytes;
}

Status writeFileAtomically(const std::string& path, std::string_view bytes) {
    return writeFileAtomically(path, [bytes](const ByteSink& sink) {
        sink(bytes);
        return success();
    });
}

Status writeFileAtomically(const std::string& path,
                           const std::function<Status(const ByteSink&)>& produce) {
    return writeFileAtomicallyAs(PendingFileKind::Unnamed, path, produce);
}

Status writeFileAtomicallyAs(PendingFileKind kind, const std::string& requestedPath,
                             const std::function<Status(const ByteSink&)>& produce) {
    if (requestedPath.empty())
        return Error::io("没有给出要写入的文件名。");
    const std::string& shownPath = requestedPath;
    const std::string path = resolveLink(requestedPath);
    FileStatus target{};
    const bool exists = statusOf(path, &target) == 0;
    if (exists && S_ISDIR(target.st_mode))
        return Error::io("无法写入" + quoted(shownPath) + "：这是一个文件夹。");
    if (exists && !S_ISREG(target.st_mode))
        return Error::io("无法写入" + quoted(shownPath) + "：这不是普通文件。");
    // The rename would replace a file the user may not change; refuse as writing would.
    if (exists && mayWrite(path) != 0)
        return Error::io("无法写入文件" + quoted(shownPath) + "：" + reason(errno));

    // Whatever fails from here on, the pending file goes with this scope.
    PendingFile file;
    if (const int err = file.open(path, kind))
        return Error::io("无法创建文件" + quoted(shownPath) + "：" + reason(err));
    auto fail = [&](const std::string& what, int err) -> Status {
        return Error::io(what + quoted(shownPath) + "：" + reason(err));
    };

#ifndef _WIN32
    // Windows gives a new file the rights of its folder and has no owner to keep.
    mode_t mode = 0;
    if (exists) {
        mode = target.st_mode & 07777;
        // Keep the owner when root rewrites someone else's file; harmless when it fails.
        if (::fchown(file.fd(), target.st_uid, target.st_gid) != 0) {
        }
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(file.fd(), mode) != 0)
        return fail("无法写入文件", errno);
#endif

    {
        FileSizeSignalGuard guard;
        int writeError = 0;
        const ByteSink sink = [&](std::string_view bytes) {
            const char* p = bytes.data();
            size_t left = bytes.size();
            while (writeError == 0 && left > 0) {
                const long long n = writeSome(file.fd(), p, left);
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0) {
                    writeError = n < 0 ? errno : EIO;
                    break;
                }
                p += n;
                left -= static_cast<size_t>(n);
            }
            return writeError == 0;
        };
        Status produced = produce(sink);
        if (writeError != 0)
            return fail("写入文件", writeError);
        if (!produced)
            return produced;
    }
    if (const int err = file.flush())
        return fail("写入文件", err);
    if (const int err = file.place())
        return fail("无法保存文件", err);
    return success();
}

}  // namespace corvane
