#pragma once

// The few system calls of reading, checking and writing files, with paths in UTF-8.
// Each system has a file of its own: filecalls_posix.cpp, filecalls_windows.cpp
// (UTF-16 paths, binary mode).

#include <sys/stat.h>

#include <cstddef>
#include <memory>
#include <string>

#ifdef _WIN32
#ifndef S_ISDIR  // MSVC's C library has only the masks
#define S_ISDIR(m) (((m)&_S_IFMT) == _S_IFDIR)
#define S_ISREG(m) (((m)&_S_IFMT) == _S_IFREG)
#endif
#endif

namespace corvane::filecalls {

#ifdef _WIN32
using FileStatus = struct _stat64;
#else
using FileStatus = struct stat;
#endif

/// A descriptor, or -1 with errno set. A pipe is opened without waiting for a writer.
int openForReading(const std::string& path);
int statusOf(const std::string& path, FileStatus* st);
int statusOf(int fd, FileStatus* st);
/// 0 when the user may write `path`, else -1 with errno set.
int mayWrite(const std::string& path);
long long readSome(int fd, char* into, size_t size);
long long writeSome(int fd, const char* from, size_t size);
int closeFile(int fd);

/// The target of a symbolic link, which is written through; any other path as it is.
std::string resolveLink(const std::string& path);

/// Gives the new file `fd` the mode and owner of the file it replaces (`replaced`, or
/// null for a new file, which gets the usual rights under the umask). 0 or an errno.
/// Windows gives a new file the rights of its folder and has no owner to keep.
int keepRights(int fd, const FileStatus* replaced);

/// While it lives, a write past a file size limit fails with EFBIG instead of ending
/// the process by signal (which would leave the temporary file behind).
class FileSizeSignalGuard {
public:
    FileSizeSignalGuard();
    ~FileSizeSignalGuard();
    FileSizeSignalGuard(const FileSizeSignalGuard&) = delete;
    FileSizeSignalGuard& operator=(const FileSizeSignalGuard&) = delete;

private:
    struct Saved;
    std::unique_ptr<Saved> m_saved;
};

}  // namespace corvane::filecalls
