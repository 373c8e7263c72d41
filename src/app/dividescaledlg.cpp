#include "dividescaledlg.h"

#include <QGroupBox>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QToolTip>
#include <QVBoxLayout>

#include <algorithm>

#include "dialogbuttons.h"

namespace corvane {

CDivideScaleDlg::CDivideScaleDlg(int ratio, QWidget* parent)
    : QDialog(parent), m_nRatio(std::clamp(ratio, 0, 100)) {
    setWindowTitle(QStringLiteral("视图分隔比例"));

    auto* group = new QGroupBox(QStringLiteral("拖动设置视图分隔比例"), this);
    m_slider = new QSlider(Qt::Horizontal, group);
    m_slider->setRange(0, 100);
    m_slider->setTickPosition(QSlider::NoTicks);
    m_slider->setValue(m_nRatio);
    m_slider->setMinimumWidth(320);
    m_slider->setToolTip(QStringLiteral("%1%").arg(m_nRatio));
    connect(m_slider, &QSlider::valueChanged, this, &CDivideScaleDlg::showPosition);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->setContentsMargins(12, 22, 12, 22);
    groupLayout->addWidget(m_slider);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(okCancelRow(this));
}

void CDivideScaleDlg::showPosition(int position) {
    QString text = QStringLiteral("%1%").arg(position);
    m_slider->setToolTip(text);
    if (!m_slider->isSliderDown() || !m_slider->isVisible())
        return;
    // Like a track bar's own tool tip: the position above the thumb while dragging.
    QStyleOptionSlider option;
    option.initFrom(m_slider);
    option.orientation = Qt::Horizontal;
    option.minimum = m_slider->minimum();
    option.maximum = m_slider->maximum();
    option.sliderPosition = position;
    option.sliderValue = position;
    QRect handle = m_slider->style()->subControlRect(QStyle::CC_Slider, &option,
                                                     QStyle::SC_SliderHandle, m_slider);
    QToolTip::showText(m_slider->mapToGlobal(handle.topLeft()), text, m_slider);
}

void CDivideScaleDlg::accept() {
    m_nRatio = m_slider->value();
    QDialog::accept();
}

}  // namespace corvane
