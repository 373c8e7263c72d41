#include "profilepanel.h"

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "imagefiles.h"
#include "profileview.h"

namespace corvane {

ProfilePanel::ProfilePanel(PointTable& table, QWidget* parent) : QWidget(parent) {
    m_view = new ProfileView(table, this);
    m_exaggeration = new QDoubleSpinBox(this);
    m_exaggeration->setRange(1.0, 1000.0);
    m_exaggeration->setDecimals(1);
    m_exaggeration->setSuffix(QStringLiteral(" 倍"));
    m_exaggeration->setValue(m_view->exaggeration());
    auto* fit = new QPushButton(QStringLiteral("全显"), this);
    auto* save = new QPushButton(QStringLiteral("导出图片..."), this);

    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel(QStringLiteral("竖向放大"), this));
    controls->addWidget(m_exaggeration);
    controls->addWidget(fit);
    controls->addWidget(save);
    controls->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(controls);
    layout->addWidget(m_view, 1);

    connect(m_exaggeration, &QDoubleSpinBox::valueChanged, m_view, &ProfileView::setExaggeration);
    connect(m_view, &ProfileView::exaggerationChanged, this, [this](double value) {
        QSignalBlocker block(m_exaggeration);
        m_exaggeration->setValue(value);
    });
    connect(fit, &QPushButton::clicked, m_view, &ProfileView::fitAll);
    connect(save, &QPushButton::clicked, this, [this] { exportSection(); });
}

bool ProfilePanel::exportSection(QString path) {
    return !exportPicture(this, QStringLiteral("导出纵断面"), path,
                          [this](const QString& file, QString* error) {
                              return m_view->exportTo(file, error);
                          })
                .isEmpty();
}

}  // namespace corvane
