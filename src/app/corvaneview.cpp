#include "corvaneview.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QStyleHints>

#include <optional>
#include <string>

#include "autoselection.h"
#include "cellcommit.h"
#include "commandids.h"
#include "datacalculation.h"
#include "dividescaledlg.h"
#include "drawingarea.h"
#include "imagefiles.h"
#include "linepointselectdlg.h"
#include "listcommands.h"
#include "listctrlex.h"
#include "longoperation.h"
#include "messagebox.h"
#include "pointprojectdlg.h"
#include "pointtable.h"
#include "pointtablemodel.h"
#include "projection.h"
#include "rowoperations.h"
#include "settings.h"
#include "sorting.h"
#include "tableclipboard.h"
#include "tablework.h"
#include "vocabularies.h"

namespace corvane {
namespace {

QStringList toStringList(std::span<const std::string_view> texts) {
    QStringList list;
    list.reserve(static_cast<qsizetype>(texts.size()));
    for (std::string_view t : texts)
        list.push_back(QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size())));
    return list;
}

}  // namespace

CCorvaneView::CCorvaneView(PointTable& table, CorvaneSettings& settings, QWidget* parent)
    : QWidget(parent),
      m_table(table),
      m_settings(settings),
      m_aPointTypes(toStringList(pointTypes())),
      m_aPoleTypes(toStringList(poleTypes())),
      m_aCrossingObjects(toStringList(crossingObjects())),
      m_aLineClasses(toStringList(lineClasses())),
      m_nListPercent(settings.splitRatio()) {
    m_model = new PointTableModel(m_table, this);
    m_list = new CListCtrlEx(this);
    m_list->setModel(m_model);
    for (int c = 0; c < kColumnCount; ++c) {
        m_list->setColumnWidth(c, kColumns[c].width);
        switch (kColumns[c].editor) {
            case EditorKind::Text:
                m_list->setColumnEditor(c, CListCtrlEx::kTextEdit);
                break;
            case EditorKind::PointTypes:
                m_list->setColumnEditor(c, CListCtrlEx::kDropDownList, &m_aPointTypes);
                break;
            case EditorKind::Crossing:
                m_list->setColumnEditor(c, CListCtrlEx::kDropDownList, &m_aCrossingObjects);
                break;
            case EditorKind::PoleTypes:
                m_list->setColumnEditor(c, CListCtrlEx::kDropDownList, &m_aPoleTypes);
                break;
        }
    }
    m_list->installEventFilter(this);
    connect(m_list, &CListCtrlEx::cellEditing, this, &CCorvaneView::OnCellEditing);
    connect(m_list, &CListCtrlEx::cellChanged, this, &CCorvaneView::OnCellChanged);
    connect(m_list, &CListCtrlEx::checkBoxClicked, this, &CCorvaneView::OnCheckBoxClicked);
    connect(m_list, &CListCtrlEx::rightDoubleClicked, this, [this] {
        m_menuDelay.stop();
        OnCopyLineToChecked();
    });
    connect(m_list, &CListCtrlEx::contextMenuWanted, this, &CCorvaneView::onContextMenuWanted);
    connect(m_list, &CListCtrlEx::statusMessage, this, &CCorvaneView::statusMessage);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CCorvaneView::InvalidateDrawingArea);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &CCorvaneView::commandStateChanged);
    // A row picked in the table, a check entry or the section is shown in the plan.
    connect(m_list->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid() && m_drawing)
                    m_drawing->showRow(current.row());
            });
    connect(m_model, &PointTableModel::tableStateChanged, this, &CCorvaneView::commandStateChanged);

    m_drawing = new DrawingArea(m_table, this);
    m_drawing->setSelectionModel(m_list->selectionModel());
    connect(m_drawing, &DrawingArea::rowPicked, this, &CCorvaneView::OnRowPicked);
    connect(m_drawing, &DrawingArea::hiddenLabelsChanged, this, &CCorvaneView::hiddenLabelsChanged);

    m_listMenu = new QMenu(this);
    addMenuCommand(ID_LIST_INSERT_ROW, &CCorvaneView::OnInsertRow);
    addMenuCommand(ID_LIST_DELETE_CHECKED, &CCorvaneView::OnDeleteCheckedRows);
    m_listMenu->addSeparator();
    m_moveActions = {
        addMenuCommand(ID_LIST_MOVE_UP, &CCorvaneView::OnMoveRowUp),
        addMenuCommand(ID_LIST_MOVE_DOWN, &CCorvaneView::OnMoveRowDown),
        addMenuCommand(ID_LIST_MOVE_FIRST, &CCorvaneView::OnMoveRowFirst),
        addMenuCommand(ID_LIST_MOVE_LAST, &CCorvaneView::OnMoveRowLast),
    };
    m_listMenu->addSeparator();
    addMenuCommand(ID_LIST_COPY_LINE_TO_CHECKED, &CCorvaneView::OnCopyLineToChecked);
    connect(m_listMenu, &QMenu::aboutToShow, this, [this] {
        for (QAction* move : std::as_const(m_moveActions))
            move->setEnabled(OnUpdateMoveRow());
    });

    m_menuDelay.setSingleShot(true);
    connect(&m_menuDelay, &QTimer::timeout, this, &CCorvaneView::showListMenu);
}

CCorvaneView::~CCorvaneView() {
    // The list's editors and selection model refer to the model; take them down first.
    delete m_list;
    m_list = nullptr;
}

QAction* CCorvaneView::addMenuCommand(int id, void (CCorvaneView::*slot)()) {
    const ListCommandText texts = listCommandText(id);
    QAction* action = m_listMenu->addAction(texts.text);
    action->setStatusTip(texts.prompt);
    connect(action, &QAction::triggered, this, slot);
    return action;
}

int CCorvaneView::selectionMark() const {
    return m_list ? m_list->selectionMark() : -1;
}

void CCorvaneView::setQuestionHandler(std::function<bool(const QString&)> ask) {
    m_ask = std::move(ask);
}

bool CCorvaneView::ask(const QString& question) {
    return m_ask ? m_ask(question) : askYesNo(this, question);
}

// ---------------------------------------------------------------------------
// Layout

void CCorvaneView::setListPercent(int percent) {
    m_nListPercent = std::clamp(percent, 0, 100);
    layoutChildren();
}

void CCorvaneView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layoutChildren();
}

void CCorvaneView::layoutChildren() {
    // 3 pixels of margin left, right and above, 3 between the table and the drawing,
    // none below; the table gets its share of the height with the fraction dropped.
    const int w = width();
    const int h = height();
    const int listHeight = h * m_nListPercent / 100;
    m_list->setGeometry(3, 3, std::max(0, w - 6), listHeight);
    m_drawing->setGeometry(3, listHeight + 6, std::max(0, w - 6), std::max(0, h - listHeight - 6));
}

void CCorvaneView::OnSplitRatio() {
    CDivideScaleDlg dialog(m_nListPercent, this);
    dialog.exec();
    // Cancel leaves the dialog's ratio as it opened, so the layout stays.
    setListPercent(dialog.ratio());
    m_settings.setSplitRatio(m_nListPercent);
}

// ---------------------------------------------------------------------------
// The list's notifications

void CCorvaneView::OnCellEditing(int row, int column) {
    if (column != ColCrossing)
        return;
    tagSUBITEMINFO* info = m_list->subItemInfo(column);
    if (!info)
        return;
    const bool crossedLine = m_table.text(row, ColPointType) == kOnePointCrossedObject;
    info->pChoices = crossedLine ? &m_aLineClasses : &m_aCrossingObjects;
}

void CCorvaneView::OnCellChanged(int row, int column) {
    const std::string previous = m_list->m_strPrevText.toStdString();
    if (std::optional<NonFiniteCell> failed = commitCellChange(m_table, row, column, previous)) {
        // The typed text would put the point at no number: it is not kept.
        m_table.setText(row, column, previous);
        reportNonFinite(*failed);
    }
    InvalidateDrawingArea();
}

void CCorvaneView::OnCheckBoxClicked(int row) {
    const bool checked = !m_table.isChecked(row);
    const QItemSelection selection = m_list->selectionModel()->selection();
    qsizetype selected = 0;
    for (const QItemSelectionRange& range : selection)
        selected += range.height();
    PointTable::Command command(m_table, "勾选");
    if (selected > 1) {
        for (const QItemSelectionRange& range : selection)
            for (int r = range.top(); r <= range.bottom(); ++r)
                m_table.setChecked(r, checked);
    }
    m_table.setChecked(row, checked);
}

void CCorvaneView::OnCheckAllRows() {
    const int n = m_table.rowCount();
    if (n == 0)
        return;
    const bool checked = !m_table.isChecked(0);
    runTableEdit(this, m_table, QStringLiteral("正在勾选……"), static_cast<size_t>(n), [&] {
        PointTable::Command command(m_table, checked ? "全部勾选" : "全部取消勾选");
        for (int r = 0; r < n; ++r)
            m_table.setChecked(r, checked);
    });
    m_list->selectAll();
}

void CCorvaneView::onContextMenuWanted(const QPoint& globalPos, bool byMouse) {
    m_menuPos = globalPos;
    if (!byMouse) {
        showListMenu();
        return;
    }
    // A second right click soon after is a double click: it copies the segment instead.
    m_menuDelay.start(QApplication::styleHints()->mouseDoubleClickInterval());
}

void CCorvaneView::showListMenu() {
    m_listMenu->popup(m_menuPos);
}

void CCorvaneView::OnRowPicked(int row) {
    m_list->selectRow(row, true);
}

void CCorvaneView::InvalidateDrawingArea() {
    m_drawing->invalidateDrawing();
}

bool CCorvaneView::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_list && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->matches(QKeySequence::SelectAll)) {
            OnCheckAllRows();
            return true;
        }
        if (key->matches(QKeySequence::Copy)) {
            OnEditCopy();
            return true;
        }
        if (key->matches(QKeySequence::Paste)) {
            OnEditPaste();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Row operations

void CCorvaneView::markRow(int row) {
    const QModelIndex index = m_model->index(row, 0);
    QItemSelectionModel* selection = m_list->selectionModel();
    selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    selection->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    m_list->setSelectionMark(row);
    m_list->scrollTo(index);
}

void CCorvaneView::OnInsertRow() {
    m_list->commitOpenEdit();
    const int mark = selectionMark();
    if (mark >= 0)
        m_list->selectionModel()->select(m_model->index(mark, 0),
                                         QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    markRow(insertRowAfter(m_table, mark));
}

void CCorvaneView::OnDeleteCheckedRows() {
    m_list->commitOpenEdit();
    if (!m_list->selectionModel()->hasSelection())
        return;
    if (!ask(QStringLiteral("确实要删除当前勾选的列表项吗？")))
        return;
    runTableEdit(this, m_table, QStringLiteral("正在删除勾选行……"), m_table.checkedRows().size(),
                 [&] { deleteCheckedRows(m_table); });
    InvalidateDrawingArea();
}

bool CCorvaneView::OnUpdateMoveRow() const {
    return m_table.displayMode() == DisplayMode::AllPoints;
}

void CCorvaneView::runMove(RowMove move) {
    m_list->commitOpenEdit();
    if (!OnUpdateMoveRow())
        return;
    const int mark = selectionMark();
    const int target = moveRow(m_table, move, mark);
    if (target < 0)
        return;
    m_list->selectionModel()->select(m_model->index(mark, 0),
                                     QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    markRow(target);
}

void CCorvaneView::OnMoveRowUp() {
    runMove(RowMove::Up);
}
void CCorvaneView::OnMoveRowDown() {
    runMove(RowMove::Down);
}
void CCorvaneView::OnMoveRowFirst() {
    runMove(RowMove::First);
}
void CCorvaneView::OnMoveRowLast() {
    runMove(RowMove::Last);
}

void CCorvaneView::OnCopyLineToChecked() {
    m_list->commitOpenEdit();
    copyLineToChecked(m_table, selectionMark());
}

// ---------------------------------------------------------------------------
// Copy and paste

void CCorvaneView::OnEditCopy() {
    m_list->commitOpenEdit();
    QList<QItemSelectionRange> ranges = m_list->selectionModel()->selection();
    if (ranges.isEmpty())
        return;
    std::sort(ranges.begin(), ranges.end(),
              [](const auto& a, const auto& b) { return a.top() < b.top(); });
    WaitCursor wait;
    std::string text;
    int rows = 0;
    int next = 0;  // ranges of whole rows may overlap after extended selection
    for (const QItemSelectionRange& range : std::as_const(ranges)) {
        for (int r = std::max(range.top(), next); r <= range.bottom(); ++r, ++rows)
            appendRowAsTabText(m_table, r, text);
        next = std::max(next, range.bottom() + 1);
    }
    QGuiApplication::clipboard()->setText(QString::fromStdString(text));
    emit statusMessage(QStringLiteral("已复制 %1 行").arg(rows));
}

void CCorvaneView::OnEditPaste() {
    m_list->commitOpenEdit();
    // The cell the user clicked; Qt's own current cell after a focus change is not it.
    const QModelIndex current = m_list->currentIndex();
    if (!current.isValid() || current.row() != selectionMark()) {
        emit statusMessage(QStringLiteral("请先单击要粘贴到的单元格。"));
        return;
    }
    const std::string text = QGuiApplication::clipboard()->text().toStdString();
    const PasteOutcome outcome = pasteTabText(m_table, current.row(), current.column(), text);
    switch (outcome.status) {
        case PasteOutcome::Status::Refused:
            emit statusMessage(refusedCellTextMessage());
            return;
        case PasteOutcome::Status::Empty:
            return;
        case PasteOutcome::Status::Pasted:
            break;
    }
    QString message = QStringLiteral("已粘贴 %1 行").arg(outcome.rows);
    if (outcome.clippedRows > 0 || outcome.clippedColumns > 0)
        message += QStringLiteral("；超出表格的 %1 行、%2 个单元格未粘贴")
                       .arg(outcome.clippedRows)
                       .arg(outcome.clippedColumns);
    emit statusMessage(message);
    InvalidateDrawingArea();
}

// ---------------------------------------------------------------------------
// Computations, filters and the drawing

void CCorvaneView::OnDataCalculation() {
    m_list->commitOpenEdit();
    const std::optional<NonFiniteCell> failed =
        runTableEdit(this, m_table, QStringLiteral("正在进行电力数据计算……"), rowsShown(),
                     [&] { return calculateData(m_table); });
    if (failed)
        reportNonFinite(*failed);
}

void CCorvaneView::reportNonFinite(NonFiniteCell cell) {
    if (cell.row >= 0 && cell.row < m_table.rowCount())
        m_list->selectRow(cell.row, true);
    showError(this, QString::fromStdString(nonFiniteMessage(cell)),
              QStringLiteral("表格没有改动。"));
}

void CCorvaneView::OnAutoSelectLine() {
    m_list->commitOpenEdit();
    const AutoSelectionResult result =
        runTableEdit(this, m_table, QStringLiteral("正在自动选择电力线……"), rowsShown(),
                     [&] { return autoSelectLines(m_table); });
    // The points left without a segment are ringed in the plan until the table changes.
    m_drawing->setMarkedRows(result.unassignedRows);
    QString message = QStringLiteral("自动选择电力线：%1 个点已指定电力线").arg(result.assigned);
    if (!result.unassignedRows.empty())
        message += QStringLiteral("，%1 个点不在任何电力线段的范围内，已在平面图中用红圈标出")
                       .arg(static_cast<qsizetype>(result.unassignedRows.size()));
    emit statusMessage(message);
}

void CCorvaneView::OnLinePointSelect() {
    m_list->commitOpenEdit();
    CLinePointSelectDlg dialog(m_table, this);
    dialog.exec();
    InvalidateDrawingArea();
}

void CCorvaneView::OnPointProject() {
    m_list->commitOpenEdit();
    CPointProjectDlg dialog(m_settings, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const double limit = dialog.limit();
    const ProjectionResult result =
        runTableEdit(this, m_table, QStringLiteral("正在将测点投影到电力线……"), rowsShown(),
                     [&] { return projectPoints(m_table, limit); });
    if (result.nonFinite)
        reportNonFinite(*result.nonFinite);
    InvalidateDrawingArea();
}

void CCorvaneView::OnShowAllPoints() {
    m_list->commitOpenEdit();
    m_table.setDisplayMode(DisplayMode::AllPoints);
    InvalidateDrawingArea();
}

void CCorvaneView::OnShowJStakes() {
    m_list->commitOpenEdit();
    m_table.setDisplayMode(DisplayMode::JStakes);
    InvalidateDrawingArea();
}

void CCorvaneView::OnShowZStakes() {
    m_list->commitOpenEdit();
    m_table.setDisplayMode(DisplayMode::ZStakes);
    InvalidateDrawingArea();
}

void CCorvaneView::OnSortByDistance() {
    m_list->commitOpenEdit();
    WaitCursor wait;
    // The new order resets the list, which forgets its selection: each selected point
    // stays selected where it goes, and so does the current cell and the mark.
    keepSelectionOver([&] {
        runTableEdit(this, m_table, QStringLiteral("正在按累距排序……"), rowsShown(),
                     [&] { sortByDistance(m_table); });
    });
}

void CCorvaneView::keepSelectionOver(const std::function<void()>& edit) {
    const SelectedPoints selected = selectedPoints();
    bool reset = false;
    const QMetaObject::Connection watch =
        connect(m_model, &QAbstractItemModel::modelReset, this, [&reset] { reset = true; });
    edit();
    disconnect(watch);
    if (reset)
        reselect(selected);
}

CCorvaneView::SelectedPoints CCorvaneView::selectedPoints() const {
    SelectedPoints points;
    const QItemSelectionModel* selection = m_list->selectionModel();
    for (const QItemSelectionRange& range : selection->selection())
        for (int r = range.top(); r <= range.bottom(); ++r)
            points.rows.push_back(m_table.keyOf(r));
    const QModelIndex current = selection->currentIndex();
    points.current = m_table.keyOf(current.isValid() ? current.row() : -1);
    points.currentColumn = current.isValid() ? current.column() : 0;
    points.mark = m_table.keyOf(selectionMark());
    return points;
}

void CCorvaneView::reselect(const SelectedPoints& points) {
    std::vector<int> rows;
    rows.reserve(points.rows.size());
    for (RowKey key : points.rows)
        if (const int row = m_table.rowOf(key); row >= 0)
            rows.push_back(row);
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QItemSelection selection;
    const int lastColumn = m_model->columnCount() - 1;
    for (size_t i = 0; i < rows.size();) {
        size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1)
            ++j;
        selection.select(m_model->index(rows[i], 0), m_model->index(rows[j], lastColumn));
        i = j + 1;
    }
    QItemSelectionModel* model = m_list->selectionModel();
    if (const int current = m_table.rowOf(points.current); current >= 0)
        model->setCurrentIndex(m_model->index(current, points.currentColumn),
                               QItemSelectionModel::NoUpdate);
    model->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    if (const int mark = m_table.rowOf(points.mark); mark >= 0) {
        m_list->setSelectionMark(mark);
        m_list->scrollTo(m_model->index(mark, 0));
    }
}

void CCorvaneView::OnFitView() {
    m_drawing->fitAll();
}

bool CCorvaneView::exportPlan(QString path) {
    const QString written = exportPicture(
        this, QStringLiteral("导出平面图"), path,
        [this](const QString& file, QString* error) { return m_drawing->exportTo(file, error); });
    if (written.isEmpty())
        return false;
    emit statusMessage(QStringLiteral("平面图已导出到 %1").arg(QDir::toNativeSeparators(written)));
    return true;
}

}  // namespace corvane
