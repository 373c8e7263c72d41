#include "filesystem.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace corvane {
namespace {

std::string quoted(const std::string& path) { return "“" + path + "”"; }

std::string reason(int err) { return std::strerror(err); }

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    int release() {
        int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

std::string folderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

Result<std::string> readWholeFile(const std::string& path) {
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        return Error::io("无法打开文件" + quoted(path) + "：" + reason(errno));
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0)
        return Error::io("无法读取文件" + quoted(path) + "：" + reason(errno));
    if (S_ISDIR(st.st_mode))
        return Error::io("无法读取" + quoted(path) + "：这是一个文件夹，不是文件。");
    std::string bytes;
    if (S_ISREG(st.st_mode))
        bytes.reserve(static_cast<size_t>(st.st_size));
    char buffer[1 << 16];
    for (;;) {
        // Read straight into the string's spare capacity when there is room.
        ssize_t n;
        if (bytes.capacity() - bytes.size() >= sizeof buffer) {
            size_t old = bytes.size();
            bytes.resize(bytes.capacity());
            n = ::read(fd.get(), bytes.data() + old, bytes.size() - old);
            bytes.resize(old + (n > 0 ? static_cast<size_t>(n) : 0));
        } else {
            n = ::read(fd.get(), buffer, sizeof buffer);
            if (n > 0)
                bytes.append(buffer, static_cast<size_t>(n));
        }
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return Error::io("读取文件" + quoted(path) + "时出错：" + reason(errno));
        }
    }
    return bytes;
}

Status writeFileAtomically(const std::string& path, std::string_view bytes) {
    if (path.empty())
        return Error::io("没有给出要写入的文件名。");
    struct stat target {};
    bool exists = ::stat(path.c_str(), &target) == 0;
    if (exists && S_ISDIR(target.st_mode))
        return Error::io("无法写入" + quoted(path) + "：这是一个文件夹。");

    std::string base = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
    std::string tmpl = folderOf(path) + "/." + base + ".XXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    FileDescriptor fd(::mkostemp(name.data(), O_CLOEXEC));
    if (fd.get() < 0)
        return Error::io("无法创建文件" + quoted(path) + "：" + reason(errno));
    std::string tmpPath(name.data());
    auto fail = [&](const std::string& what, int err) -> Status {
        ::unlink(tmpPath.c_str());
        return Error::io(what + quoted(path) + "：" + reason(err));
    };

    mode_t mode = 0;
    if (exists) {
        mode = target.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd.get(), mode);

    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd.get(), p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return fail("写入文件", errno);
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (::fsync(fd.get()) != 0)
        return fail("写入文件", errno);
    if (::close(fd.release()) != 0)
        return fail("写入文件", errno);
    if (::rename(tmpPath.c_str(), path.c_str()) != 0)
        return fail("无法保存文件", errno);
    return success();
}

}  // namespace corvane
