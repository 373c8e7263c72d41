#pragma once

#include <QDialog>
#include <QString>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QPlainTextEdit;

namespace corvane {

/// Chooses the coordinate system of the table's X and Y: the usual systems by name
/// from PROJ's database, or "其他" for an EPSG code, a WKT or a PROJ string. OK is
/// refused with the reason while PROJ does not know what was typed.
class CrsChooser : public QDialog {
    Q_OBJECT

public:
    /// Starts at `current` (a code of the list or any other text; empty for the first).
    CrsChooser(const QString& current, QWidget* parent = nullptr);

    /// The system's text as the user chose it, e.g. "EPSG:4547".
    QString chosenText() const;

    QComboBox* systemList() const { return m_list; }
    QPlainTextEdit* otherText() const { return m_other; }

    void accept() override;

private:
    void showChoice();

    QComboBox* m_list;
    QPlainTextEdit* m_other;
    QLabel* m_problem;
};

/// Asks for a coordinate system, starting at `current`; nothing when cancelled.
/// Replaceable so that tests can answer it.
using CrsQuestion = std::function<std::optional<QString>(QWidget* parent, const QString& current)>;
std::optional<QString> askCrs(QWidget* parent, const QString& current);

/// Latitude or longitude as 度分秒, e.g. 30°32'24.77"N.
QString degreesMinutesSeconds(double degrees, bool latitude);

}  // namespace corvane
