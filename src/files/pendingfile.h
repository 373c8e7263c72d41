#pragma once

#include <functional>
#include <string>

#include "filesystem.h"

namespace corvane {

/// Where the new content of a file waits until it replaces the target.
enum class PendingFileKind {
    /// A file with no name at all until it is put in place, so nothing is left behind
    /// even when the process is killed or the power fails; a named one where the file
    /// system cannot do that.
    Unnamed,
    /// A hidden temporary file beside the target, removed on failure and on SIGINT,
    /// SIGTERM and SIGHUP (not on SIGKILL or a power failure).
    Named,
};

/// The new content of a file, written in the target's folder and then put in place of
/// the target in one step. Every system detail of that lives here. Functions return 0
/// or the errno of what failed. What is not put in place is discarded on destruction.
class PendingFile {
public:
    PendingFile() = default;
    ~PendingFile();
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;

    /// Creates the file, mode 0600, in the folder of `target`, whose last part must not
    /// be a symbolic link (it would be replaced, not written through).
    int open(const std::string& target, PendingFileKind kind);
    /// The descriptor to write to.
    int fd() const { return m_fd; }
    /// True when the file has a name in the folder while it is written.
    bool named() const { return !m_tempName.empty(); }
    /// Flushes the content to the disk and waits for it.
    int flush();
    /// Puts the file in place of the target (or under its name when there is none yet)
    /// and makes that durable as far as the folder allows.
    int place();

private:
    int openNamed();
    int linkUnder(const std::string& name);
    void discard();

    int m_dir = -1;
    bool m_dirSyncable = false;
    int m_fd = -1;
    std::string m_targetName;
    std::string m_tempName;  // empty while the file has no name
    int m_slot = -1;         // its entry among the names removed on a signal
    std::string m_folder;    // Windows: the target's folder with its separator
};

/// A folder of files being written (a writer that makes several files, or one that
/// names its own), removed with its files when SIGINT, SIGTERM or SIGHUP ends the
/// process while this lives, as a named pending file is. The owner removes it on every
/// other way out. Not built for Windows.
class FolderRemovedOnSignal {
public:
    explicit FolderRemovedOnSignal(const std::string& folder);
    ~FolderRemovedOnSignal();
    FolderRemovedOnSignal(const FolderRemovedOnSignal&) = delete;
    FolderRemovedOnSignal& operator=(const FolderRemovedOnSignal&) = delete;

private:
    int m_dir = -1;
    int m_slot = -1;
};

/// writeFileAtomically with the kind of pending file chosen; the public functions ask
/// for an unnamed one. Lets the tests take the named way where both would work.
Status writeFileAtomicallyAs(PendingFileKind kind, const std::string& path,
                             const std::function<Status(const ByteSink&)>& produce);

}  // namespace corvane
