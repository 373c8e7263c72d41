// The Windows side of replacing a file in one step. Windows has no unnamed files: the
// content waits in a named file beside the target, marked to be deleted with its last
// handle, is flushed to the disk (FlushFileBuffers) and moved over the target
// (MoveFileExW, which replaces it in one step and returns once the move is on the disk).

#include <windows.h>
// After windows.h, which they need.
#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <random>

#include "pendingfile.h"
#include "pendingname.h"
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

// A name beside the target with a random part seeded by the time and the process.
std::string temporaryName(const std::string& targetName) {
    static std::atomic<unsigned> counter{0};
    static thread_local std::mt19937_64 random(
        std::random_device{}() ^
        static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
        (static_cast<uint64_t>(::GetCurrentProcessId()) << 32));
    uint64_t bits = random() ^ counter.fetch_add(1);
    unsigned char part[10];
    for (unsigned char& p : part) {
        p = static_cast<unsigned char>(bits & 63);
        bits >>= 6;
    }
    return pendingNameBeside(targetName, part, sizeof part);
}

int lastError() {
    return errnoFromWindows(::GetLastError());
}

// A file marked for deletion goes when its last handle closes, however the process ends
// (Ctrl+C, a crash, being killed); the mark is taken off just before the move.
bool markForDeletion(HANDLE handle, bool gone) {
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = gone ? TRUE : FALSE;
    return ::SetFileInformationByHandle(handle, FileDispositionInfo, &disposition,
                                        sizeof disposition) != 0;
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
        const HANDLE handle =
            ::CreateFileW(widePath(m_folder + name).c_str(), GENERIC_WRITE | DELETE,
                          FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS)
                continue;
            return errnoFromWindows(error);
        }
        m_tempName = name;
        markForDeletion(handle, true);  // without it, discard() still removes the file
        m_fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
        if (m_fd < 0) {
            ::CloseHandle(handle);
            return EMFILE;
        }
        return 0;
    }
    return EEXIST;
}

int PendingFile::flush() {
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(m_fd));
    if (handle == INVALID_HANDLE_VALUE || !markForDeletion(handle, false) ||
        !::FlushFileBuffers(handle))
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
