#include "checkpanel.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "autoselection.h"
#include "codepage.h"
#include "columns.h"
#include "longoperation.h"
#include "pointtable.h"

namespace corvane {
namespace {

QString toQString(const std::string& text) {
    return QString::fromStdString(text);
}

enum ItemColumn { ItemSeverity, ItemRow, ItemColumnName, ItemMessage, ItemFix };

}  // namespace

CheckPanel::CheckPanel(PointTable& table, QWidget* parent) : QWidget(parent), m_table(table) {
    m_table.addListener(this);
    auto* check = new QPushButton(QStringLiteral("检查(&K)"), this);
    auto* select = new QPushButton(QStringLiteral("自动选择电力线并检查"), this);
    m_limit = new QCheckBox(QStringLiteral("最大距离"), this);
    m_maxDistance = new QDoubleSpinBox(this);
    m_maxDistance->setRange(0.001, 100000.0);
    m_maxDistance->setDecimals(3);
    m_maxDistance->setValue(50.0);
    m_maxDistance->setSuffix(QStringLiteral(" m"));
    m_maxDistance->setEnabled(false);
    m_limit->setToolTip(QStringLiteral("离最近线段超过这个距离的点不分配电力线"));
    connect(m_limit, &QCheckBox::toggled, m_maxDistance, &QWidget::setEnabled);
    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("CheckSummary"));

    auto* controls = new QHBoxLayout;
    controls->addWidget(check);
    controls->addWidget(select);
    controls->addWidget(m_limit);
    controls->addWidget(m_maxDistance);
    controls->addWidget(m_summary, 1);

    m_list = new QTreeWidget(this);
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setAlternatingRowColors(true);
    m_list->setHeaderLabels({QStringLiteral("类别"), QStringLiteral("行"), QStringLiteral("列"),
                             QStringLiteral("问题"), QStringLiteral("改正方法")});
    m_list->header()->resizeSection(ItemSeverity, 60);
    m_list->header()->resizeSection(ItemRow, 60);
    m_list->header()->resizeSection(ItemColumnName, 90);
    m_list->header()->resizeSection(ItemMessage, 520);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(controls);
    layout->addWidget(m_list);

    connect(check, &QPushButton::clicked, this, &CheckPanel::refresh);
    connect(select, &QPushButton::clicked, this, &CheckPanel::autoSelectAndCheck);
    connect(m_list, &QTreeWidget::itemActivated, this, &CheckPanel::onItemActivated);
}

CheckPanel::~CheckPanel() {
    m_table.removeListener(this);
}

int CheckPanel::errorCount() const {
    return countSeverity(m_entries, CheckEntry::Severity::Error);
}

namespace {

CheckOptions codePageCheck() {
    CheckOptions options;
    options.firstUnencodable = cp936::firstUnencodable;
    return options;
}

}  // namespace

// The check only reads the table, so it runs beside the window, which keeps painting
// and holds back input (and with it every edit) until the entries are in.
std::vector<CheckEntry> CheckPanel::checkAside(
    const std::function<void(std::vector<CheckEntry>&)>& more) {
    return runLongOperation(this, QStringLiteral("正在检查数据……"), [&] {
        std::vector<CheckEntry> entries = checkTable(m_table, codePageCheck());
        if (more)
            more(entries);
        return entries;
    });
}

void CheckPanel::refresh() {
    // The rings of the points a line selection could not place stay: they go by
    // themselves as the points get their segments.
    show(checkAside());
}

void CheckPanel::autoSelectAndCheck() {
    AutoSelectionOptions options;
    if (m_limit->isChecked())
        options.maxDistance = m_maxDistance->value();
    AutoSelectionResult result;
    {
        // An edit of the table, made here on the window's thread.
        WaitCursor wait;
        PointTable::Command command(m_table, "自动选择电力线");
        result = autoSelectLines(m_table, options);
    }
    show(checkAside(
        [&](std::vector<CheckEntry>& entries) { addSelectionEntries(m_table, result, entries); }));
    emit unassignedRowsChanged(result.unassignedRows);
    QString message = QStringLiteral("自动选择电力线：%1 个点已指定电力线，%2 个点未能指定")
                          .arg(result.assigned)
                          .arg(static_cast<qsizetype>(result.unassignedRows.size()));
    if (!result.unassignedRows.empty())
        message += QStringLiteral("，已在平面图中用红圈标出");
    emit statusMessage(message);
}

void CheckPanel::show(std::vector<CheckEntry> entries) {
    m_entries = std::move(entries);
    m_checked = true;
    m_stale = false;
    m_points.clear();
    m_points.reserve(m_entries.size());
    for (const CheckEntry& e : m_entries)
        m_points.push_back(m_table.keyOf(e.row));
    m_list->clear();
    // A very long list is cut: the first entries say enough, the count says the rest.
    constexpr size_t kShown = 5000;
    QList<QTreeWidgetItem*> items;
    const QIcon error = style()->standardIcon(QStyle::SP_MessageBoxCritical);
    const QIcon warning = style()->standardIcon(QStyle::SP_MessageBoxWarning);
    for (size_t i = 0; i < m_entries.size() && i < kShown; ++i) {
        const CheckEntry& e = m_entries[i];
        auto* item = new QTreeWidgetItem;
        const bool isError = e.severity == CheckEntry::Severity::Error;
        item->setIcon(ItemSeverity, isError ? error : warning);
        item->setText(ItemSeverity, isError ? QStringLiteral("错误") : QStringLiteral("警告"));
        item->setText(
            ItemColumnName,
            e.column >= 0 && e.column < kColumnCount
                ? QString::fromUtf8(kColumns[e.column].header.data(),
                                    static_cast<qsizetype>(kColumns[e.column].header.size()))
                : QString());
        item->setText(ItemMessage, toQString(e.message));
        item->setToolTip(ItemMessage, toQString(e.message));
        item->setText(ItemFix, toQString(e.fix));
        items.push_back(item);
    }
    m_list->addTopLevelItems(items);
    renumber();
    const int errors = errorCount();
    const int warnings = countSeverity(m_entries, CheckEntry::Severity::Warning);
    QString text = m_entries.empty()
                       ? QStringLiteral("没有发现问题。")
                       : QStringLiteral("%1 个错误，%2 个警告").arg(errors).arg(warnings);
    if (m_entries.size() > kShown)
        text += QStringLiteral("（只列出前 %1 条）").arg(kShown);
    m_summary->setText(text);
}

void CheckPanel::tableChanged() {
    renumber();
    if (!m_checked || m_stale)
        return;
    m_stale = true;
    m_summary->setText(m_summary->text() + QStringLiteral("（表已改动，请重新检查）"));
}

void CheckPanel::renumber() {
    for (int i = 0; i < m_list->topLevelItemCount(); ++i) {
        QString text;
        if (m_entries[static_cast<size_t>(i)].row >= 0) {
            const RowKey point = m_points[static_cast<size_t>(i)];
            const int row = m_table.rowOf(point);
            if (row >= 0)
                text = QString::number(row + 1);
            else
                text = m_table.fullRowOf(point) >= 0 ? QStringLiteral("未显示")
                                                     : QStringLiteral("已删除");
        }
        QTreeWidgetItem* item = m_list->topLevelItem(i);
        if (item->text(ItemRow) != text)
            item->setText(ItemRow, text);
    }
}

void CheckPanel::onItemActivated(QTreeWidgetItem* item) {
    const size_t i = static_cast<size_t>(m_list->indexOfTopLevelItem(item));
    if (i >= m_entries.size() || m_entries[i].row < 0)
        return;
    const int row = m_table.rowOf(m_points[i]);
    if (row >= 0)
        emit rowActivated(row);
    else if (m_table.fullRowOf(m_points[i]) >= 0)
        emit statusMessage(
            QStringLiteral("这一条所指的点在当前显示方式下未显示，请先“显示所有点”。"));
    else
        emit statusMessage(QStringLiteral("这一条所指的点已不在表中；请重新检查。"));
}

}  // namespace corvane
