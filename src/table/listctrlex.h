#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTableView>

#include <vector>

#include "celltext.h"
#include "selectionmark.h"

namespace corvane {

/// How the cells of one column are edited in place.
struct tagSUBITEMINFO {
    int nEditKind = 0;                      // CListCtrlEx::kNotEditable, kTextEdit, kDropDownList
    const QStringList* pChoices = nullptr;  // the drop-down's choices; owned by the list's owner
};

/// A table whose cells are edited in place: a check box in the first column, whole
/// rows selected, and per column no editor, a text edit or a drop-down list, opened by
/// a double-click. Before an editor opens, `cellEditing` lets the owner adjust the
/// column's choices; when an editor ends with a changed text, the list stores it,
/// keeps the former text in m_strPrevText and emits `cellChanged`. Over a
/// PointTableModel, storing and everything the owner does on `cellChanged` form one
/// step of the table's history.
class CListCtrlEx : public QTableView {
    Q_OBJECT

public:
    enum EditKind { kNotEditable = 0, kTextEdit = 1, kDropDownList = 2 };

    explicit CListCtrlEx(QWidget* parent = nullptr);
    ~CListCtrlEx() override;

    /// Describes the editor of `column`; a column without a description is not edited.
    void setColumnEditor(int column, int nEditKind, const QStringList* pChoices = nullptr);
    const tagSUBITEMINFO* subItemInfo(int column) const;
    tagSUBITEMINFO* subItemInfo(int column);

    /// The row under `point` (viewport coordinates) or -1; `column` gets its column.
    int CellFromPoint(const QPoint& point, int* column) const;
    /// Opens the editor of cell (row, column) as a double-click would; false when the
    /// column has no editor or the cell cannot be shown.
    bool BeginCellEdit(int row, int column);
    /// Stores `text` in the cell and remembers the former text in m_strPrevText.
    void OnEndLabelEdit(int row, int column, const QString& text);

    /// Where the check box of `row` is drawn, in viewport coordinates.
    QRect checkBoxRect(int row) const;

    /// The row the user last clicked or moved to with the keys, or a command marked;
    /// -1 when none. The row Qt makes current when the list gets the focus is not it.
    int selectionMark() const { return m_mark.row(); }
    /// Marks `row` without touching the selection; -1 takes the mark away.
    void setSelectionMark(int row);
    /// Marks and selects `row` alone and shows it; `atTop` scrolls it to the top.
    void selectRow(int row, bool atTop = false);

    void setModel(QAbstractItemModel* model) override;

    /// The editor currently open, if any.
    QWidget* openEditor() const { return m_pOpenEditor; }
    /// Ends the open edit as a focus loss would, storing its text; commands call it
    /// before they change the table under the editor.
    void commitOpenEdit();

    QString m_strPrevText;

    // Used by the editors' delegate.
    void notifyCellEditing(int row, int column);
    void editorOpened(QWidget* editor);
    void endCellEdit(int row, int column, const QString& text, const QString& initText);

public slots:
    /// Reports a refused text in the status bar.
    void refuseCellText();

signals:
    /// UM_CELLEDITING: an editor is about to open on (row, column).
    void cellEditing(int row, int column);
    /// UM_CELLCHANGED: the edit of (row, column) stored a changed text.
    void cellChanged(int row, int column);
    /// A click on the check box of `row`. When nobody listens, the list toggles it.
    void checkBoxClicked(int row);
    /// A double-click with the right button.
    void rightDoubleClicked(int row);
    /// The context menu was asked for, by the mouse or by the keyboard.
    void contextMenuWanted(const QPoint& globalPos, bool byMouse);
    void statusMessage(const QString& text);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    bool onCheckBox(const QPoint& point, int* row) const;
    void takeFocusBeforeScrolling();

    std::vector<tagSUBITEMINFO> m_aSubItemInfo;
    QPointer<QWidget> m_pOpenEditor;
    SelectionMark m_mark;
    bool m_bSwallowRelease = false;
};

}  // namespace corvane
