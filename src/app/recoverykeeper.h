#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>
#include <QTimer>

#include <chrono>

#include <memory>
#include <thread>

#include "tablelistener.h"

namespace corvane {

class PointTable;
struct RecoveryState;

/// Keeps this editor's recovery copy of the table while it holds changes that were not
/// exported: written some seconds after the changes stop (and at least every two
/// minutes while they go on), removed once nothing is left unexported and at a clean
/// exit. The copy is taken on the user interface thread, which only copies the rows'
/// texts, a slice at a time between events so that the window never stops for long
/// (a change meanwhile starts the copy again), and written on a thread of its own,
/// atomically, so a crash during the write leaves the copy before it.
///
/// Each editor holds a lock file beside its copy while it runs; a copy whose lock can
/// be taken belongs to an editor that is gone (see recoveryoffer.h).
class RecoveryKeeper : public QObject, private TableListener {
    Q_OBJECT

public:
    /// `delaySeconds`: how long after the last change the copy is written.
    RecoveryKeeper(PointTable& table, int delaySeconds, QObject* parent = nullptr);
    /// A clean exit: waits for a write under way, then removes the copy and the lock.
    ~RecoveryKeeper() override;

    /// The longest time changes go without a copy while they keep coming.
    static constexpr int kLongestDelaySeconds = 120;
    /// Other waits than the settings' and the two minutes above, for tests.
    void setDelays(std::chrono::milliseconds afterLastChange, std::chrono::milliseconds longest);

    /// "recovery" in the user's application data folder.
    static QString defaultFolder();
    /// Makes the folder and takes this editor's lock in it; false (and no copies kept)
    /// when that cannot be done.
    bool start(const QString& folder = defaultFolder());

    QString folder() const { return m_folder; }
    /// This editor's copy; it exists only while there are changes to keep.
    QString copyPath() const;
    static QString copySuffix() { return QStringLiteral(".cvr"); }
    static QString lockSuffix() { return QStringLiteral(".lock"); }

    /// Makes the copy at `path` (a restored one) this editor's, in place of its own.
    bool adopt(const QString& path);

    /// Takes and writes the copy now, without waiting for the changes to stop.
    void writeNow();
    /// While the copy is taken or written.
    bool writing() const { return m_state != nullptr || m_writing; }

signals:
    /// A line for the status bar: a write that failed, once until one succeeds again.
    void statusMessage(const QString& text);
    /// A copy was written (true) or failed (false).
    void writeDone(bool ok);

private:
    // TableListener: every change restarts the wait; the state change also tells when
    // nothing is left unexported.
    void cellsChanged(int, int, int, int) override { changed(); }
    void checksChanged(int, int) override { changed(); }
    void rowsInserted() override { changed(); }
    void rowsRemoved() override { changed(); }
    void resetDone() override { changed(); }
    void stateChanged() override;

    void changed();
    void flush();
    void takeSlice();
    void startWriter();
    void finished(bool ok, const QString& message);
    void removeCopy();
    void joinWriter();

    PointTable& m_table;
    QString m_folder;
    QString m_name;  // this editor's copy and lock, without their suffixes
    std::unique_ptr<QLockFile> m_lock;
    QTimer m_idle;                           // restarted by each change
    QTimer m_longest;                        // started by the first change after a copy
    QTimer m_slice;                          // the next slice of the copy being taken
    QTimer m_retry;                          // the next look while an edit runs on a worker
    std::shared_ptr<RecoveryState> m_state;  // the copy being taken
    std::thread m_writer;
    bool m_writing = false;
    bool m_dirty = false;       // changes since the copy was last taken
    bool m_flushAfter = false;  // a write was due while one was under way
    bool m_failShown = false;   // the failure was said; quiet until a write succeeds
};

}  // namespace corvane
