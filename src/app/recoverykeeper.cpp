#include "recoverykeeper.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QStandardPaths>

#include "longoperation.h"
#include "pathtext.h"
#include "pointtable.h"
#include "recoverycopy.h"

namespace corvane {
namespace {

// How soon the copy looks again while an edit runs on a worker thread.
constexpr int kRetryMs = 100;

}  // namespace

RecoveryKeeper::RecoveryKeeper(PointTable& table, int delaySeconds, QObject* parent)
    : QObject(parent), m_table(table) {
    m_idle.setSingleShot(true);
    m_idle.setInterval(std::max(delaySeconds, 1) * 1000);
    m_longest.setSingleShot(true);
    m_longest.setInterval(kLongestDelaySeconds * 1000);
    connect(&m_idle, &QTimer::timeout, this, &RecoveryKeeper::flush);
    connect(&m_longest, &QTimer::timeout, this, &RecoveryKeeper::flush);
    m_slice.setSingleShot(true);
    m_slice.setInterval(0);
    connect(&m_slice, &QTimer::timeout, this, &RecoveryKeeper::takeSlice);
    m_retry.setSingleShot(true);
    m_retry.setInterval(kRetryMs);
    connect(&m_retry, &QTimer::timeout, this, &RecoveryKeeper::flush);
}

void RecoveryKeeper::setDelays(std::chrono::milliseconds afterLastChange,
                               std::chrono::milliseconds longest) {
    m_idle.setInterval(afterLastChange);
    m_longest.setInterval(longest);
}

RecoveryKeeper::~RecoveryKeeper() {
    if (m_lock)
        m_table.removeListener(this);
    joinWriter();
    if (m_lock) {
        QFile::remove(copyPath());
        m_lock->unlock();
    }
}

QString RecoveryKeeper::defaultFolder() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation))
        .filePath(QStringLiteral("recovery"));
}

bool RecoveryKeeper::start(const QString& folder) {
    if (m_lock || folder.isEmpty() || !QDir().mkpath(folder))
        return false;
    // The process number makes the name easy to match with a running editor; the
    // random part keeps two editors of one process (tests) apart.
    const QString name = QStringLiteral("corvane-%1-%2")
                             .arg(QCoreApplication::applicationPid())
                             .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    auto lock = std::make_unique<QLockFile>(QDir(folder).filePath(name + lockSuffix()));
    // Only an editor that is gone gives its lock up: no age makes a held lock stale.
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0))
        return false;
    m_folder = folder;
    m_name = name;
    m_lock = std::move(lock);
    m_table.addListener(this);
    if (m_table.isModified())
        changed();
    return true;
}

QString RecoveryKeeper::copyPath() const {
    return m_lock ? QDir(m_folder).filePath(m_name + copySuffix()) : QString();
}

bool RecoveryKeeper::adopt(const QString& path) {
    if (!m_lock)
        return false;
    joinWriter();
    const QString own = copyPath();
    if (path == own)
        return true;
    QFile::remove(own);
    return QFile::rename(path, own);
}

void RecoveryKeeper::changed() {
    if (!m_lock)
        return;
    m_dirty = true;
    m_idle.start();
    if (!m_longest.isActive())
        m_longest.start();
}

void RecoveryKeeper::stateChanged() {
    if (!m_lock)
        return;
    if (m_table.isModified()) {
        changed();
        return;
    }
    // Exported, imported, a new table, or undone back to what was exported: nothing
    // is left to recover.
    m_idle.stop();
    m_longest.stop();
    m_dirty = false;
    m_flushAfter = false;
    removeCopy();
}

void RecoveryKeeper::writeNow() {
    m_dirty = true;
    flush();
}

void RecoveryKeeper::flush() {
    if (!m_lock)
        return;
    m_idle.stop();
    m_longest.stop();
    if (writing()) {
        m_flushAfter = true;
        return;
    }
    // An edit may be running on a worker thread (the window's event loop runs meanwhile):
    // the table is read neither for its state nor for the copy until it is done.
    if (longOperationRunning()) {
        m_retry.start();
        return;
    }
    if (!m_table.isModified()) {
        removeCopy();
        return;
    }
    if (!m_dirty)
        return;  // the copy in place is the table as it is
    m_dirty = false;
    m_state = std::make_shared<RecoveryState>(
        beginRecoveryState(m_table, QDateTime::currentMSecsSinceEpoch()));
    takeSlice();
}

void RecoveryKeeper::takeSlice() {
    if (!m_state)
        return;
    if (m_dirty) {
        // The table changed between two slices: the copy would mix two states.
        m_state.reset();
        flush();
        return;
    }
    if (longOperationRunning()) {
        m_slice.start(kRetryMs);
        return;
    }
    // Slices of a few milliseconds; rows are copied a block at a time between looks
    // at the clock.
    constexpr qint64 kSliceNs = 8'000'000;
    QElapsedTimer clock;
    clock.start();
    while (!copyRecoveryRows(m_table, *m_state, 4096)) {
        if (clock.nsecsElapsed() > kSliceNs) {
            m_slice.start(0);
            return;
        }
    }
    startWriter();
}

void RecoveryKeeper::startWriter() {
    joinWriter();
    m_writing = true;
    std::shared_ptr<RecoveryState> state = std::move(m_state);
    const std::string path = localPath(copyPath());
    m_writer = std::thread([this, state = std::move(state), path]() mutable {
        const Status written = writeRecoveryFile(path, *state);
        state.reset();  // a large copy is let go here, not on the window's thread
        const QString message =
            written ? QString() : QString::fromStdString(written.error().message);
        QMetaObject::invokeMethod(
            this, [this, ok = written.ok(), message] { finished(ok, message); },
            Qt::QueuedConnection);
    });
}

void RecoveryKeeper::finished(bool ok, const QString& message) {
    joinWriter();
    m_writing = false;
    if (ok) {
        m_failShown = false;
    } else if (!m_failShown) {
        m_failShown = true;
        emit statusMessage(QStringLiteral("恢复副本未能写入，保留上一份副本：%1").arg(message));
    }
    emit writeDone(ok);
    if (longOperationRunning()) {
        // Not a time to read the table; flush() looks again once the edit is done.
        m_flushAfter = false;
        m_retry.start();
    } else if (!m_table.isModified()) {
        removeCopy();
    } else if (m_flushAfter) {
        m_flushAfter = false;
        flush();
    } else if (m_dirty && !m_idle.isActive()) {
        m_idle.start();
    }
}

void RecoveryKeeper::removeCopy() {
    m_slice.stop();
    m_retry.stop();
    m_state.reset();
    // A write under way puts its file in place when it ends; finished() removes it then.
    if (!m_writing)
        QFile::remove(copyPath());
}

void RecoveryKeeper::joinWriter() {
    if (m_writer.joinable())
        m_writer.join();
}

}  // namespace corvane
