#include "filecalls.h"

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <climits>

#include "windowsapi.h"

namespace corvane::filecalls {

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

std::string resolveLink(const std::string& path) {
    return path;  // Windows' links are followed by the system itself
}

int keepRights(int, const FileStatus*) {
    return 0;
}

// Windows has no file size signal: a write past a limit just fails.
struct FileSizeSignalGuard::Saved {};

FileSizeSignalGuard::FileSizeSignalGuard() = default;

FileSizeSignalGuard::~FileSizeSignalGuard() = default;

}  // namespace corvane::filecalls
