#pragma once

#include <QDialog>

class QSlider;

namespace corvane {

/// Sets the split between the table and the drawing with a slider from 0 to 100.
/// The ratio changes only when the dialog is accepted.
class CDivideScaleDlg : public QDialog {
    Q_OBJECT

public:
    CDivideScaleDlg(int ratio, QWidget* parent = nullptr);

    /// The ratio it was opened with, or the slider's position after OK.
    int ratio() const { return m_nRatio; }
    QSlider* slider() const { return m_slider; }

    void accept() override;

private:
    void showPosition(int position);

    int m_nRatio = 0;
    QSlider* m_slider = nullptr;
};

}  // namespace corvane
