#pragma once

#include <QIcon>
#include <QString>

namespace corvane {

/// The program's icon `name` ("corvane", "import", ...): the drawing itself where Qt
/// reads SVG, pictures of it drawn at build time where it does not (the Windows build).
QIcon appIcon(const QString& name);

}  // namespace corvane
