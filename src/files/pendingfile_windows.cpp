// The Windows side of replacing a file in one step. Windows has no unnamed files: the
// content waits in a named file beside the target, is flushed to the disk
// (FlushFileBuffers) and moved over the target (MoveFileExW, which replaces it in one
// step and returns once the move is on the disk).

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <random>

#include "pendingfile.h"
#include "windowsapi.h"

namespace corvane {
namespace {

// The folder part with its separator ("" for the working folder); Windows takes
// either slash, and "C:name" is a name in the working folder of drive C.
std::string folderOf(const std::string& path) {
    const size_t cut = path.find_last_of("/\\:");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string baseOf(const std::string& path) {
    const size_t cut = path.find_last_of("/\\:");
    return path.substr(cut == std::string::npos ? 0 : cut + 1);
}

// A name beside the target, short enough for any file system even when the target's
// own name is long, with a random part no other writer will choose.
std::string temporaryName(const std::string& targetName) {
    std::string base = targetName;
    if (base.size() > 100) {
        size_t cut = 100;
        while (cut > 0 && (static_cast<unsigned char>(base[cut]) & 0xC0) == 0x80)
            --cut;  // keep whole UTF-8 characters
        base.resize(cut);
    }
    static std::atomic<unsigned> counter{0};
    static thread_local std::mt19937_64 random(
        std::random_device{}() ^
        static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (static_cast<uint64_t>(::GetCurrentProcessId()) << 32));
    static const char kDigits[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789-_";
    uint64_t bits = random() ^ counter.fetch_add(1);
    std::string name = "." + base + ".";
    for (int i = 0; i < 10; ++i, bits >>= 6)
        name += kDigits[bits & 63];
    return name;
}

int lastError() {
    return errnoFromWindows(::GetLastError());
}

}  // namespace

PendingFile::~PendingFile() {
    discard();
}

void PendingFile::discard() {
    if (m_fd >= 0)
        ::_close(m_fd);
    m_fd = -1;
    if (!m_tempName.empty())
        ::DeleteFileW(widePath(m_folder + m_tempName).c_str());
    m_tempName.clear();
}

int PendingFile::open(const std::string& target, PendingFileKind) {
    m_folder = folderOf(target);
    m_targetName = baseOf(target);
    return openNamed();
}

int PendingFile::openNamed() {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = temporaryName(m_targetName);
        m_fd = ::_wopen(widePath(m_folder + name).c_str(),
                        _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                        _S_IREAD | _S_IWRITE);
        if (m_fd >= 0) {
            m_tempName = name;
            return 0;
        }
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

int PendingFile::flush() {
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(m_fd));
    if (handle == INVALID_HANDLE_VALUE || !::FlushFileBuffers(handle))
        return lastError();
    const int fd = m_fd;
    m_fd = -1;
    return ::_close(fd) == 0 ? 0 : errno;
}

int PendingFile::place() {
    if (!::MoveFileExW(widePath(m_folder + m_tempName).c_str(),
                       widePath(m_folder + m_targetName).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return lastError();
    m_tempName.clear();
    return 0;
}

}  // namespace corvane
