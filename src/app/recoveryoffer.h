#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace corvane {

class RecoveryKeeper;
struct RecoveryState;

/// What the user chose for a recovery copy at start.
enum class RecoveryChoice { Restore, Later, Discard };

/// The question about one copy, naming its file and time; Escape keeps it for later.
RecoveryChoice askAboutRecoveryCopy(QWidget* parent, const QString& source, qint64 takenAtMs,
                                    quint64 rowCount);

/// Goes through the recovery copies in the keeper's folder whose editors are gone,
/// newest first, and asks about each until one is restored: `restore` puts the state
/// into the table, and the copy becomes the keeper's own. A copy that cannot be read
/// is reported and moved into the folder's "damaged" folder, never deleted. Copies of
/// running editors are left alone. Returns whether a copy was restored.
bool offerRecoveryCopies(QWidget* parent, RecoveryKeeper& keeper,
                         const std::function<void(RecoveryState)>& restore);

/// Moves a copy that cannot be read into the "damaged" folder beside it; the new path,
/// or an empty text when it could not be moved.
QString moveRecoveryCopyAside(const QString& path);

}  // namespace corvane
