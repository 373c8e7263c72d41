#pragma once

#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

#include "nonfinite.h"
#include "pointtable.h"

class QMenu;
class QAction;

namespace corvane {

class CListCtrlEx;
class CorvaneSettings;
class DrawingArea;
class PointTableModel;
enum class RowMove;

/// The one view of the main window: the point table above the drawing of the line,
/// split by a settable ratio, and the handlers of the commands that work on them.
/// Every command that changes the table is one undoable step of its history.
class CCorvaneView : public QWidget {
    Q_OBJECT

public:
    CCorvaneView(PointTable& table, CorvaneSettings& settings, QWidget* parent = nullptr);
    ~CCorvaneView() override;

    /// Runs `edit`; when it reset the list (rows came, went or moved, as an undone sort
    /// does), the points selected before are selected again where they are now.
    void keepSelectionOver(const std::function<void()>& edit);

    CListCtrlEx* list() const { return m_list; }
    DrawingArea* drawingArea() const { return m_drawing; }
    PointTableModel* model() const { return m_model; }
    PointTable& table() const { return m_table; }
    /// The marked row (the one the user last clicked or a command moved to), or -1.
    int selectionMark() const;

    /// The table's share of the height in percent, and a new one laid out at once.
    int listPercent() const { return m_nListPercent; }
    void setListPercent(int percent);

    /// Whether the four moves are enabled: only while all points are shown.
    bool OnUpdateMoveRow() const;

    /// The list's context menu (the row commands).
    QMenu* listMenu() const { return m_listMenu; }

    /// Replaces the Yes/No question box, e.g. in tests; true means Yes.
    void setQuestionHandler(std::function<bool(const QString&)> ask);

    /// Asks for a file name and writes the plan drawing as PNG or SVG; `path` given
    /// skips the question. A failure is shown in a message box.
    bool exportPlan(QString path = QString());

public slots:
    void OnInsertRow();
    void OnDeleteCheckedRows();
    void OnMoveRowUp();
    void OnMoveRowDown();
    void OnMoveRowFirst();
    void OnMoveRowLast();
    void OnCopyLineToChecked();
    void OnDataCalculation();
    void OnAutoSelectLine();
    void OnLinePointSelect();
    void OnPointProject();
    void OnShowAllPoints();
    void OnShowJStakes();
    void OnShowZStakes();
    void OnSortByDistance();
    void OnSplitRatio();
    void OnFitView();
    void OnFitAll() { OnFitView(); }
    void OnExportPlan() { exportPlan(); }
    /// Ctrl+A: every row checked (unchecked when the first row is checked) and selected.
    void OnCheckAllRows();
    /// Ctrl+C: the selected rows as tab-separated text.
    void OnEditCopy();
    /// Ctrl+V: a tab-separated block into the cells from the current cell on.
    void OnEditPaste();

    /// UM_CELLEDITING: chooses the list column 10 offers for this row.
    void OnCellEditing(int row, int column);
    /// UM_CELLCHANGED: updates what depends on the edited cell.
    void OnCellChanged(int row, int column);
    /// A click on a row's check box: with several rows selected all of them follow it.
    void OnCheckBoxClicked(int row);
    /// The drawing picked a row: select it alone and bring it to the top.
    void OnRowPicked(int row);
    void InvalidateDrawingArea();

signals:
    void statusMessage(const QString& text);
    void hiddenLabelsChanged(const QString& text);
    /// The display mode, the history or the marked row changed: menus may update.
    void commandStateChanged();

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// The selected points, the current cell's and the mark's, held by their keys over a
    /// change that resets the list.
    struct SelectedPoints {
        std::vector<RowKey> rows;
        RowKey current;
        int currentColumn = 0;
        RowKey mark;
    };
    SelectedPoints selectedPoints() const;
    /// Selects the points again where they are now.
    void reselect(const SelectedPoints& points);

    void layoutChildren();
    void runMove(RowMove move);
    void markRow(int row);
    void onContextMenuWanted(const QPoint& globalPos, bool byMouse);
    void showListMenu();
    bool ask(const QString& question);
    /// A computation whose result is no finite number left the table as it was: the
    /// row is selected and the message names the cell.
    void reportNonFinite(NonFiniteCell cell);
    QAction* addMenuCommand(int id, void (CCorvaneView::*slot)());

    PointTable& m_table;
    CorvaneSettings& m_settings;
    QStringList m_aPointTypes;
    QStringList m_aPoleTypes;
    QStringList m_aCrossingObjects;
    QStringList m_aLineClasses;
    PointTableModel* m_model = nullptr;
    size_t rowsShown() const { return static_cast<size_t>(m_table.rowCount()); }

    CListCtrlEx* m_list = nullptr;
    DrawingArea* m_drawing = nullptr;
    int m_nListPercent = 30;
    QMenu* m_listMenu = nullptr;
    QList<QAction*> m_moveActions;
    QTimer m_menuDelay;  // a right click waits to see whether it becomes a double click
    QPoint m_menuPos;
    std::function<bool(const QString&)> m_ask;
};

}  // namespace corvane
