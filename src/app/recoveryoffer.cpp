#include "recoveryoffer.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMessageBox>
#include <QPushButton>

#include "longoperation.h"
#include "messagebox.h"
#include "pathtext.h"
#include "recoverycopy.h"
#include "recoverykeeper.h"

namespace corvane {
namespace {

void reportUnreadable(QWidget* parent, const QString& path, const std::string& reason) {
    const QString aside = moveRecoveryCopyAside(path);
    const QString where = aside.isEmpty()
                              ? QStringLiteral("副本未能移走，仍在“%1”。").arg(shownPath(path))
                              : QStringLiteral("副本已移到“%1”保留。").arg(shownPath(aside));
    showError(parent,
              QStringLiteral("一份恢复副本无法读取：%1").arg(QString::fromStdString(reason)),
              where);
}

}  // namespace

RecoveryChoice askAboutRecoveryCopy(QWidget* parent, const QString& source, qint64 takenAtMs,
                                    quint64 rowCount) {
    const QString file = source.isEmpty() ? QStringLiteral("（新建的表格）") : shownPath(source);
    const QString time = QDateTime::fromMSecsSinceEpoch(takenAtMs).toLocalTime().toString(
        QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    QMessageBox box(QMessageBox::Question, QStringLiteral("Corvane"),
                    QStringLiteral("Corvane 上次没有正常退出，留下了尚未导出的修改。是否恢复？"),
                    QMessageBox::Yes | QMessageBox::No | QMessageBox::Discard, parent);
    box.setInformativeText(QStringLiteral("文件：%1\n保存时间：%2\n点数：%3\n\n"
                                          "“以后再说”保留恢复副本，下次启动时再问；"
                                          "“放弃”删除恢复副本。")
                               .arg(file, time)
                               .arg(rowCount));
    box.button(QMessageBox::Yes)->setText(QStringLiteral("恢复(&R)"));
    box.button(QMessageBox::No)->setText(QStringLiteral("以后再说(&L)"));
    box.button(QMessageBox::Discard)->setText(QStringLiteral("放弃(&D)"));
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(QMessageBox::No);
    switch (box.exec()) {
        case QMessageBox::Yes:
            return RecoveryChoice::Restore;
        case QMessageBox::Discard:
            return RecoveryChoice::Discard;
        default:
            return RecoveryChoice::Later;
    }
}

QString moveRecoveryCopyAside(const QString& path) {
    const QFileInfo info(path);
    QDir damaged(info.dir().filePath(QStringLiteral("damaged")));
    if (!damaged.mkpath(QStringLiteral(".")))
        return QString();
    QString target = damaged.filePath(info.fileName());
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = damaged.filePath(QStringLiteral("%1-%2").arg(n).arg(info.fileName()));
    return QFile::rename(path, target) ? target : QString();
}

bool offerRecoveryCopies(QWidget* parent, RecoveryKeeper& keeper,
                         const std::function<void(RecoveryState)>& restore) {
    const QDir folder(keeper.folder());
    if (keeper.folder().isEmpty())
        return false;
    const QFileInfoList copies = folder.entryInfoList(
        {QLatin1Char('*') + RecoveryKeeper::copySuffix()}, QDir::Files, QDir::Time);
    bool restored = false;
    for (const QFileInfo& copy : copies) {
        if (restored)
            break;  // the others wait for a later start
        const QString path = copy.absoluteFilePath();
        if (path == QFileInfo(keeper.copyPath()).absoluteFilePath())
            continue;
        // Held while asking, so an editor started meanwhile does not ask about it too.
        QLockFile lock(folder.filePath(copy.completeBaseName() + RecoveryKeeper::lockSuffix()));
        lock.setStaleLockTime(0);
        if (!lock.tryLock(0))
            continue;  // its editor still runs
        Result<RecoveryInfo> info = readRecoveryInfo(localPath(path));
        if (!info) {
            reportUnreadable(parent, path, info.error().message);
            continue;
        }
        switch (askAboutRecoveryCopy(parent, QString::fromStdString(info->source), info->takenAtMs,
                                     info->rowCount)) {
            case RecoveryChoice::Later:
                break;
            case RecoveryChoice::Discard:
                QFile::remove(path);
                break;
            case RecoveryChoice::Restore: {
                // A large copy takes a second or two to read and check.
                Result<RecoveryState> state =
                    runLongOperation(parent, QStringLiteral("正在读取恢复副本……"),
                                     [&] { return readRecoveryFile(localPath(path)); });
                if (!state) {
                    reportUnreadable(parent, path, state.error().message);
                    break;
                }
                restore(std::move(state.value()));
                keeper.adopt(path);
                restored = true;
                break;
            }
        }
    }
    // Locks left by editors that ended without changes to keep.
    for (const QFileInfo& stale :
         folder.entryInfoList({QLatin1Char('*') + RecoveryKeeper::lockSuffix()}, QDir::Files)) {
        if (QFileInfo::exists(
                folder.filePath(stale.completeBaseName() + RecoveryKeeper::copySuffix())))
            continue;
        QLockFile lock(stale.absoluteFilePath());
        lock.setStaleLockTime(0);
        if (lock.tryLock(0))
            lock.unlock();
    }
    return restored;
}

}  // namespace corvane
