#include "pointprojectdlg.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "dialogbuttons.h"
#include "messagebox.h"
#include "numbertext.h"
#include "settings.h"

namespace corvane {

CPointProjectDlg::CPointProjectDlg(CorvaneSettings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_dLimit(settings.projectLimit()) {
    setWindowTitle(QStringLiteral("测点投影到电力线"));

    auto* group = new QGroupBox(QStringLiteral("投影距离限差"), this);
    auto* label = new QLabel(QStringLiteral("测点到电力线的距离限差[m]:"), group);
    m_edit = new QLineEdit(formatFieldNumber(m_dLimit), group);
    m_edit->setMinimumWidth(110);
    label->setBuddy(m_edit);
    auto* row = new QHBoxLayout(group);
    row->setContentsMargins(14, 18, 14, 18);
    row->addWidget(label);
    row->addWidget(m_edit);
    row->addStretch();

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(okCancelRow(this));
    m_edit->selectAll();
    m_edit->setFocus();
}

void CPointProjectDlg::accept() {
    std::optional<double> value = parseFieldNumber(m_edit->text());
    if (!value) {
        showWarning(this, numberPrompt());
        m_edit->setFocus();
        m_edit->selectAll();
        return;
    }
    m_dLimit = *value;
    m_settings.setProjectLimit(m_dLimit);
    QDialog::accept();
}

}  // namespace corvane
