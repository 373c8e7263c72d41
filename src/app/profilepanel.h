#pragma once

#include <QWidget>

class QDoubleSpinBox;

namespace corvane {

class PointTable;
class ProfileView;

/// The longitudinal section with its controls: vertical exaggeration, fit, and the
/// export of the section as PNG or SVG.
class ProfilePanel : public QWidget {
    Q_OBJECT

public:
    explicit ProfilePanel(PointTable& table, QWidget* parent = nullptr);

    ProfileView* view() const { return m_view; }

    /// Asks for a file name and writes the section; `path` given skips the question.
    bool exportSection(QString path = QString());

private:
    ProfileView* m_view = nullptr;
    QDoubleSpinBox* m_exaggeration = nullptr;
};

}  // namespace corvane
