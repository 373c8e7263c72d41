// The Linux side of replacing a file in one step: an unnamed O_TMPFILE linked into the
// folder when it is complete, or a hidden named file that a signal handler removes.

#include "pendingfile.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>

#include "pendingname.h"

namespace corvane {
namespace {

// ---- Names to remove when the process is ended by a signal ----------------------------
//
// A fixed table the handler can read without locks: a slot is claimed (1), filled, then
// published (2); the handler removes the published names and ends the process as the
// signal would have. Exports rarely overlap, so a few slots are plenty; a name that
// finds none is still removed on every other way out.

constexpr int kSlots = 32;
constexpr int kFree = 0;
constexpr int kFilling = 1;
constexpr int kLive = 2;

struct Slot {
    std::atomic<int> state{kFree};
    int dir = -1;
    bool folder = false;  // a folder of files, removed with them
    char name[NAME_MAX + 1] = {};
};

Slot g_slots[kSlots];
static_assert(std::atomic<int>::is_always_lock_free, "the signal handler reads the slots");

constexpr int kCleanedSignals[] = {SIGINT, SIGTERM, SIGHUP};

// Removes the files of a folder and the folder, with system calls only: no directory
// stream, which would allocate, inside a signal handler.
void removeFolderInHandler(int dir, const char* name) {
    const int folder = ::openat(dir, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        alignas(8) char entries[4096];
        for (;;) {
            const long got = ::syscall(SYS_getdents64, folder, entries, sizeof entries);
            if (got <= 0)
                break;
            for (long at = 0; at < got;) {
                // struct linux_dirent64: inode, offset, record length, type, name.
                unsigned short length = 0;
                std::memcpy(&length, entries + at + 16, sizeof length);
                const char* entry = entries + at + 19;
                if (std::strcmp(entry, ".") != 0 && std::strcmp(entry, "..") != 0)
                    ::unlinkat(folder, entry, 0);
                at += length;
            }
        }
        ::close(folder);
    }
    ::unlinkat(dir, name, AT_REMOVEDIR);
}

extern "C" void removePendingNames(int sig) {
    const int savedErrno = errno;
    for (Slot& slot : g_slots)
        if (slot.state.load(std::memory_order_acquire) == kLive) {
            if (slot.folder)
                removeFolderInHandler(slot.dir, slot.name);
            else
                ::unlinkat(slot.dir, slot.name, 0);
        }
    // End as the signal would have: the default action, taken when the handler returns
    // and the signal is unblocked.
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    sigemptyset(&dfl.sa_mask);
    ::sigaction(sig, &dfl, nullptr);
    ::raise(sig);
    errno = savedErrno;
}

// Takes over only signals that would end the process unhandled: one the program handles
// or ignores itself (the desktop, a shell's nohup) stays as it is, and then a named file
// may be left behind by it, as before.
void installHandlers() {
    for (int sig : kCleanedSignals) {
        struct sigaction old {};
        if (::sigaction(sig, nullptr, &old) != 0)
            continue;
        if ((old.sa_flags & SA_SIGINFO) != 0 || old.sa_handler != SIG_DFL)
            continue;
        struct sigaction ours {};
        ours.sa_handler = removePendingNames;
        sigfillset(&ours.sa_mask);  // one removal at a time
        ours.sa_flags = SA_RESTART;
        ::sigaction(sig, &ours, nullptr);
    }
}

int claimSlot(int dir, const std::string& name, bool folder = false) {
    static std::once_flag installed;
    std::call_once(installed, installHandlers);
    if (name.size() > NAME_MAX)
        return -1;
    for (int i = 0; i < kSlots; ++i) {
        int expected = kFree;
        if (!g_slots[i].state.compare_exchange_strong(expected, kFilling,
                                                      std::memory_order_acquire))
            continue;
        g_slots[i].dir = dir;
        g_slots[i].folder = folder;
        std::memcpy(g_slots[i].name, name.c_str(), name.size() + 1);
        g_slots[i].state.store(kLive, std::memory_order_release);
        return i;
    }
    return -1;
}

void releaseSlot(int& slot) {
    if (slot >= 0)
        g_slots[slot].state.store(kFree, std::memory_order_release);
    slot = -1;
}

// ---- Names -------------------------------------------------------------------------

std::string folderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return path.substr(slash == std::string::npos ? 0 : slash + 1);
}

// A hidden name beside the target with a random part from the system's source.
std::string temporaryName(const std::string& targetName) {
    static std::atomic<unsigned> counter{0};
    unsigned char random[9] = {};
    if (::getrandom(random, sizeof random, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof random)) {
        // No entropy yet (early boot): the time, the process and a counter still differ.
        const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
        const unsigned long long mix =
            static_cast<unsigned long long>(now) * 0x9E3779B97F4A7C15ULL ^
            (static_cast<unsigned long long>(::getpid()) << 20) ^ counter.fetch_add(1);
        for (size_t i = 0; i < sizeof random; ++i)
            random[i] = static_cast<unsigned char>(mix >> (8 * (i % 8)) ^ i);
    }
    return pendingNameBeside(targetName, random, sizeof random);
}

// Linking an unnamed file goes through its /proc entry, which needs no privilege.
bool procFdsAvailable() {
    static const bool available = ::access("/proc/self/fd", X_OK) == 0;
    return available;
}

}  // namespace

FolderRemovedOnSignal::FolderRemovedOnSignal(const std::string& folder) {
    m_dir = ::open(folderOf(folder).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (m_dir >= 0)
        m_slot = claimSlot(m_dir, baseOf(folder), true);
}

FolderRemovedOnSignal::~FolderRemovedOnSignal() {
    releaseSlot(m_slot);
    if (m_dir >= 0)
        ::close(m_dir);
}

PendingFile::~PendingFile() {
    discard();
    if (m_dir >= 0)
        ::close(m_dir);
}

void PendingFile::discard() {
    if (m_fd >= 0)
        ::close(m_fd);  // an unnamed file ends with its last descriptor
    m_fd = -1;
    if (!m_tempName.empty())
        ::unlinkat(m_dir, m_tempName.c_str(), 0);
    m_tempName.clear();
    releaseSlot(m_slot);
}

int PendingFile::open(const std::string& target, PendingFileKind kind) {
    m_targetName = baseOf(target);
    const std::string folder = folderOf(target);
    m_dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    m_dirSyncable = m_dir >= 0;
    if (m_dir < 0 && errno == EACCES)  // a folder one may enter and write but not list
        m_dir = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (m_dir < 0)
        return errno;
    if (kind == PendingFileKind::Unnamed && procFdsAvailable()) {
        m_fd = ::openat(m_dir, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
        if (m_fd >= 0)
            return 0;
        // The file system (or an old kernel, which sees a folder) has no unnamed files.
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            return errno;
    }
    return openNamed();
}

int PendingFile::openNamed() {
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = temporaryName(m_targetName);
        // Listed before it exists, so no moment passes in which a signal would leave it.
        m_slot = claimSlot(m_dir, name);
        m_fd = ::openat(m_dir, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (m_fd >= 0) {
            m_tempName = name;
            return 0;
        }
        const int err = errno;
        releaseSlot(m_slot);
        if (err != EEXIST)
            return err;
    }
    return EEXIST;
}

int PendingFile::flush() {
    if (::fsync(m_fd) != 0)
        return errno;
    if (named()) {
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0)
            return errno;
    }
    return 0;
}

int PendingFile::linkUnder(const std::string& name) {
    const std::string self = "/proc/self/fd/" + std::to_string(m_fd);
    return ::linkat(AT_FDCWD, self.c_str(), m_dir, name.c_str(), AT_SYMLINK_FOLLOW) == 0 ? 0
                                                                                         : errno;
}

int PendingFile::place() {
    if (!named()) {
        // No target yet: the file takes its name in one step and never has another.
        int err = linkUnder(m_targetName);
        if (err == 0) {
            discard();
        } else if (err != EEXIST) {
            return err;
        } else {
            // Replacing needs a name to rename from; it exists only for this moment.
            for (int attempt = 0; attempt < 100; ++attempt) {
                const std::string name = temporaryName(m_targetName);
                m_slot = claimSlot(m_dir, name);
                err = linkUnder(name);
                if (err == 0) {
                    m_tempName = name;
                    break;
                }
                releaseSlot(m_slot);
                if (err != EEXIST)
                    return err;
            }
            if (err != 0)
                return err;
            ::close(m_fd);  // the data is flushed and now reachable by its name
            m_fd = -1;
        }
    }
    if (named()) {
        if (::renameat(m_dir, m_tempName.c_str(), m_dir, m_targetName.c_str()) != 0)
            return errno;
        m_tempName.clear();
        releaseSlot(m_slot);
    }
    // Makes the new name durable; the data itself is flushed already, and the target is
    // replaced whatever this says, so it is not an error to report.
    if (m_dirSyncable)
        ::fsync(m_dir);
    return 0;
}

}  // namespace corvane
