#include "dialogbuttons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

namespace corvane {

QHBoxLayout* okCancelRow(QDialog* dialog) {
    auto* ok = new QPushButton(QStringLiteral("确定(&O)"), dialog);
    auto* cancel = new QPushButton(QStringLiteral("取消(&C)"), dialog);
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

}  // namespace corvane
