#include "filesystem.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <optional>
#include <vector>

#include "filecalls.h"
#include "largebuffer.h"
#include "memoryroom.h"
#include "pendingfile.h"

namespace corvane {
namespace {

using namespace filecalls;

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

    if (const int err = keepRights(file.fd(), exists ? &target : nullptr))
        return fail("无法写入文件", err);

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
