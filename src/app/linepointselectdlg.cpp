#include "linepointselectdlg.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <optional>

#include "appicons.h"
#include "cellnumber.h"
#include "linepointselection.h"
#include "longoperation.h"
#include "looks.h"
#include "messagebox.h"
#include "numbertext.h"
#include "pointtable.h"
#include "vocabularies.h"

namespace corvane {
namespace {

enum ListColumn { kNameColumn = 0, kMileageColumn = 1, kRemarkColumn = 2 };

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool holdsSeparator(const QString& text) {
    return text.contains(u',') || text.contains(u'\n') || text.contains(u'\r');
}

// The list of stakes keeps the row the user picked as the dialog's mark; the row Qt
// makes current when the list gets the focus is not picked.
class StakeList : public QTableWidget {
public:
    StakeList(SelectionMark& mark, QWidget* parent) : QTableWidget(0, 3, parent), m_mark(mark) {}

protected:
    void mousePressEvent(QMouseEvent* event) override {
        QTableWidget::mousePressEvent(event);
        m_mark.mousePressed(*this, event->position().toPoint());
    }
    void keyPressEvent(QKeyEvent* event) override {
        const QModelIndex before = currentIndex();
        QTableWidget::keyPressEvent(event);
        m_mark.keyPressed(*this, before);
    }

private:
    SelectionMark& m_mark;
};

}  // namespace

CLinePointSelectDlg::CLinePointSelectDlg(PointTable& table, QWidget* parent)
    : QDialog(parent), m_table(table) {
    setWindowTitle(QStringLiteral("电力线点选择"));

    m_list = new StakeList(m_mark, this);
    m_list->setHorizontalHeaderLabels(
        {QStringLiteral("点名"), QStringLiteral("里程"), QStringLiteral("备注")});
    for (int c = 0; c < 3; ++c)
        m_list->setColumnWidth(c, 100);
    m_list->horizontalHeader()->setDefaultAlignment(Qt::AlignCenter);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setDefaultSectionSize(22);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    m_list->setIconSize(QSize(16, 16));
    m_list->setMinimumSize(330, 300);
    connect(m_list, &QTableWidget::itemChanged, this, &CLinePointSelectDlg::onItemChanged);

    auto* deleteButton = new QPushButton(QStringLiteral("删除点(&D)"), this);
    auto* startLabel = new QLabel(QStringLiteral("起始里程"), this);
    m_startEdit = new QLineEdit(QStringLiteral("0"), this);
    startLabel->setBuddy(m_startEdit);
    auto* upButton = new QPushButton(QStringLiteral("上移(&U)"), this);
    auto* downButton = new QPushButton(QStringLiteral("下移(&D)"), this);
    auto* ok = new QPushButton(QStringLiteral("确定(&O)"), this);
    auto* cancel = new QPushButton(QStringLiteral("取消(&C)"), this);
    ok->setDefault(true);
    m_problem = new QLabel(this);
    m_problem->setWordWrap(true);
    // Red, but never so dark that it cannot be read on a dark look.
    QPalette warning = m_problem->palette();
    warning.setColor(QPalette::WindowText,
                     readableOn(QColor(0xc0, 0x00, 0x00), warning.color(QPalette::Window)));
    m_problem->setPalette(warning);
    m_problem->hide();

    connect(deleteButton, &QPushButton::clicked, this, &CLinePointSelectDlg::OnDeletePoints);
    connect(upButton, &QPushButton::clicked, this, &CLinePointSelectDlg::OnMoveUp);
    connect(downButton, &QPushButton::clicked, this, &CLinePointSelectDlg::OnMoveDown);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_startEdit, &QLineEdit::textChanged, this, &CLinePointSelectDlg::onStartMileageEdited);

    auto* side = new QVBoxLayout;
    side->addWidget(deleteButton);
    side->addSpacing(12);
    side->addWidget(startLabel);
    side->addWidget(m_startEdit);
    side->addWidget(m_problem);
    side->addSpacing(12);
    side->addWidget(upButton);
    side->addWidget(downButton);
    side->addStretch();
    side->addWidget(ok);
    side->addWidget(cancel);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(side);

    gatherPoints();
}

std::vector<std::string> CLinePointSelectDlg::names() const {
    std::vector<std::string> out;
    out.reserve(m_list->rowCount());
    for (int r = 0; r < m_list->rowCount(); ++r)
        out.push_back(m_list->item(r, kNameColumn)->text().toStdString());
    return out;
}

QStringList CLinePointSelectDlg::mileageTexts() const {
    QStringList out;
    for (int r = 0; r < m_list->rowCount(); ++r)
        out.append(m_list->item(r, kMileageColumn)->text());
    return out;
}

void CLinePointSelectDlg::gatherPoints() {
    m_bFilling = true;
    m_list->setRowCount(0);
    const QIcon icon = appIcon(QStringLiteral("jstake"));
    std::vector<std::string> stakes = gatherJStakes(m_table);
    m_list->setRowCount(static_cast<int>(stakes.size()));
    for (int r = 0; r < m_list->rowCount(); ++r) {
        auto* name = new QTableWidgetItem(icon, toQString(stakes[r]));
        auto* mileage = new QTableWidgetItem;
        auto* remark = new QTableWidgetItem(toQString(kJStake));
        name->setFlags(name->flags() & ~Qt::ItemIsEditable);
        remark->setFlags(remark->flags() & ~Qt::ItemIsEditable);
        for (QTableWidgetItem* item : {name, mileage, remark})
            item->setTextAlignment(Qt::AlignCenter);
        m_list->setItem(r, kNameColumn, name);
        m_list->setItem(r, kMileageColumn, mileage);
        m_list->setItem(r, kRemarkColumn, remark);
    }
    m_bFilling = false;
    recomputeMileages();
}

void CLinePointSelectDlg::recomputeMileages() {
    std::vector<double> mileages = lineMileages(m_table, names(), m_dStartMileage);
    m_bFilling = true;
    for (int r = 0; r < m_list->rowCount(); ++r) {
        QString text = QString::fromStdString(formatFixed(mileages[r], 3));
        QTableWidgetItem* item = m_list->item(r, kMileageColumn);
        item->setText(text);
        item->setData(Qt::UserRole, text);
    }
    m_bFilling = false;
}

void CLinePointSelectDlg::onStartMileageEdited(const QString& text) {
    std::optional<double> value = parseFieldNumber(text);
    if (value) {
        m_dStartMileage = *value;
        m_problem->hide();
    } else {
        // Said beside the field rather than in a box at every keystroke; the previous
        // start mileage stays in force meanwhile.
        showProblem(numberPrompt());
    }
    recomputeMileages();
}

void CLinePointSelectDlg::onItemChanged(QTableWidgetItem* item) {
    if (m_bFilling || item->column() != kMileageColumn)
        return;
    if (holdsSeparator(item->text())) {
        m_bFilling = true;
        item->setText(item->data(Qt::UserRole).toString());
        m_bFilling = false;
        showProblem(QStringLiteral("里程中不能含有逗号或换行。"));
        return;
    }
    item->setData(Qt::UserRole, item->text());
}

void CLinePointSelectDlg::showProblem(const QString& text) {
    m_problem->setText(text);
    m_problem->show();
}

void CLinePointSelectDlg::swapWithRow(int row, int other) {
    m_bFilling = true;
    for (int c : {kNameColumn, kMileageColumn}) {
        QTableWidgetItem* a = m_list->takeItem(row, c);
        QTableWidgetItem* b = m_list->takeItem(other, c);
        m_list->setItem(row, c, b);
        m_list->setItem(other, c, a);
    }
    m_bFilling = false;
    QItemSelectionModel* selection = m_list->selectionModel();
    selection->select(m_list->model()->index(row, 0),
                      QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    selection->setCurrentIndex(m_list->model()->index(other, 0),
                               QItemSelectionModel::Select | QItemSelectionModel::Rows);
    m_mark.set(m_list->model()->index(other, 0));
    recomputeMileages();
}

void CLinePointSelectDlg::OnMoveUp() {
    const int mark = m_mark.row();
    if (mark <= 0)
        return;
    swapWithRow(mark, mark - 1);
}

void CLinePointSelectDlg::OnMoveDown() {
    const int mark = m_mark.row();
    if (mark < 0 || mark >= m_list->rowCount() - 1)
        return;
    swapWithRow(mark, mark + 1);
}

void CLinePointSelectDlg::OnDeletePoints() {
    QModelIndexList rows = m_list->selectionModel()->selectedRows();
    if (!rows.isEmpty() && askYesNo(this, QStringLiteral("确实要删除当前选择的列表项吗？"))) {
        std::vector<int> doomed;
        for (const QModelIndex& index : rows)
            doomed.push_back(index.row());
        std::sort(doomed.begin(), doomed.end());
        for (auto it = doomed.rbegin(); it != doomed.rend(); ++it)
            m_list->removeRow(*it);
    }
    recomputeMileages();
}

void CLinePointSelectDlg::accept() {
    // Nothing is written unless the start mileage is a number.
    if (!parseFieldNumber(m_startEdit->text())) {
        showWarning(this, numberPrompt());
        m_startEdit->setFocus();
        m_startEdit->selectAll();
        return;
    }
    // A mileage that is no finite number (coordinates or start mileage too large) would
    // be written as no number at all: the table stays as it is.
    const std::vector<std::string> chainNames = names();
    if (std::optional<NonFiniteCell> cell = nonFiniteMileage(
            m_table, chainNames, lineMileages(m_table, chainNames, m_dStartMileage))) {
        showError(this, QString::fromStdString(nonFiniteMessage(*cell)),
                  QStringLiteral("表格没有改动。"));
        return;
    }
    std::vector<std::pair<std::string, std::string>> chain;
    const QStringList mileages = mileageTexts();
    for (int r = 0; r < m_list->rowCount(); ++r)
        chain.emplace_back(m_list->item(r, kNameColumn)->text().toStdString(),
                           mileages.at(r).toStdString());
    {
        WaitCursor wait;
        applyLinePointSelection(m_table, chain);
    }
    QDialog::accept();
}

}  // namespace corvane
