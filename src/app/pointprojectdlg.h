#pragma once

#include <QDialog>

class QLineEdit;

namespace corvane {

class CorvaneSettings;

/// Asks for the distance limit of the point projection. Opens with the stored limit;
/// OK takes a text that begins with a number and stores it with three decimals.
class CPointProjectDlg : public QDialog {
    Q_OBJECT

public:
    CPointProjectDlg(CorvaneSettings& settings, QWidget* parent = nullptr);

    /// The limit in metres: the stored one, or the one accepted by OK.
    double limit() const { return m_dLimit; }
    QLineEdit* limitEdit() const { return m_edit; }

    void accept() override;

private:
    CorvaneSettings& m_settings;
    double m_dLimit = 0;
    QLineEdit* m_edit = nullptr;
};

}  // namespace corvane
