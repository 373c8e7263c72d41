#include "filecalls.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>

namespace corvane::filecalls {

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

std::string resolveLink(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

int keepRights(int fd, const FileStatus* replaced) {
    mode_t mode = 0;
    if (replaced) {
        mode = replaced->st_mode & 07777;
        // Keep the owner when root rewrites someone else's file; harmless when it fails.
        if (::fchown(fd, replaced->st_uid, replaced->st_gid) != 0) {
        }
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    return ::fchmod(fd, mode) == 0 ? 0 : errno;
}

// Writing past a file size limit (ulimit -f) raises SIGXFSZ, which ends the process by
// default. The signal is blocked for the calling thread, so the write fails with EFBIG
// instead; a signal raised meanwhile is taken back before the old mask returns.
struct FileSizeSignalGuard::Saved {
    sigset_t old;
};

FileSizeSignalGuard::FileSizeSignalGuard() {
    auto saved = std::make_unique<Saved>();
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGXFSZ);
    if (pthread_sigmask(SIG_BLOCK, &set, &saved->old) == 0 && !sigismember(&saved->old, SIGXFSZ))
        m_saved = std::move(saved);
}

FileSizeSignalGuard::~FileSizeSignalGuard() {
    if (!m_saved)
        return;
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGXFSZ);
    const timespec none{0, 0};
    while (sigtimedwait(&set, nullptr, &none) == SIGXFSZ) {
    }
    pthread_sigmask(SIG_SETMASK, &m_saved->old, nullptr);
}

}  // namespace corvane::filecalls
