#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "columns.h"
#include "nameindex.h"
#include "nonfinite.h"
#include "row.h"
#include "textlines.h"

namespace corvane {

class TableListener;
struct TableCommandRecord;
class HeldNotifications;

/// Gives the cell texts to set in one row, in ascending column order. The texts must
/// stay valid until the filler's next call (it may keep them in its own buffers). A
/// filler whose result is not a finite number throws NonFiniteResult.
using RowFiller = std::function<void(int row, std::vector<CellText>& cells)>;

/// How PointTable::fillRows goes through its rows: shared out over the cores, or top
/// down on one thread for a filler that reads what it wrote into earlier rows.
enum class FillOrder { Parallel, TopDown };

/// Which rows a display filter shows.
enum class DisplayMode : int { AllPoints = 0, JStakes = 1, ZStakes = 2 };

/// Names the point a row holds, for panels that point at rows while the table changes:
/// it stays with its point through filters, sorts, moves, insertions, deletions, undo
/// and redo, and is never given to another point. The rows of an import get new keys
/// (undoing the import brings the former ones back).
struct RowKey {
    uint64_t table = 0;  // which import the point came with
    RowId id = kNoRow;
    friend bool operator==(const RowKey&, const RowKey&) = default;
};

/// The point table: rows of seventeen cells with a check mark, the line point list and
/// the other lines of the last imported file.
///
/// The table always holds every row; a display mode only decides which of them are
/// shown. Every read and edit below addresses the rows shown, in order, so commands
/// behave as on a table that holds just those rows, and whatever they change stays in
/// the full table. Every change goes through the edit functions; the edits made inside
/// one Command scope form one step of the undo history.
class PointTable {
public:
    PointTable();
    ~PointTable();
    PointTable(const PointTable&) = delete;
    PointTable& operator=(const PointTable&) = delete;

    // Reading the rows shown.
    int rowCount() const;
    std::string_view text(int row, int column) const;
    const Row& rowAt(int row) const;
    bool isChecked(int row) const;
    /// The checked rows shown, top down; fast when few rows are checked.
    std::vector<int> checkedRows() const;
    /// The first row shown whose name is exactly `name`, or -1; O(1) on average.
    int FindPointRow(std::string_view name) const;
    /// The shown rows of every name that more than one shown row has (the empty name
    /// too), each top down; the names in the order of their first rows.
    std::vector<std::vector<int>> rowsOfRepeatedNames() const;
    DisplayMode displayMode() const { return m_mode; }

    // Reading the full table, whatever is shown.
    int fullRowCount() const { return static_cast<int>(m_order.size()); }
    std::string_view fullText(int fullRow, int column) const;
    /// The row in full-table place `fullRow` (an empty row when out of range).
    const Row& fullRowAt(int fullRow) const;
    int findFullRow(std::string_view name) const;
    int fullRowOf(int row) const;
    int rowOfFull(int fullRow) const;

    // Holding on to points while the table changes.
    /// The key of the point in shown row `row`; a key that finds nothing when out of range.
    RowKey keyOf(int row) const;
    /// The shown row of the point, or -1: deleted, hidden by the filter, or of another import.
    int rowOf(RowKey key) const;
    /// The full-table row of the point, or -1: deleted or of another import.
    int fullRowOf(RowKey key) const;
    /// Which import the rows came with (RowKey::table); each import gets another.
    uint64_t importNumber() const { return m_generation; }

    const std::vector<std::string>& linePoints() const { return m_linePoints; }
    const TextLines& otherLines() const { return m_otherLines; }

    // Edits. Rows are indices of the rows shown; out of range indices are ignored.
    void setText(int row, int column, std::string_view text);
    /// Sets several cells of one row at once, `cells` in ascending column order (the
    /// calculations write a few cells of every row of a large table).
    void setTexts(int row, std::span<const CellText> cells);
    /// Sets cells of many rows in one edit, as the computations do for a whole table:
    /// row `rows[i]` (ascending) gets what the filler gives it. A large batch is filled
    /// on several threads at once: `makeFiller` is called once a thread and gives that
    /// thread's filler, which may then read its own row and every row the batch leaves
    /// unchanged, nothing else. The name column is not filled this way.
    /// A filler that fails takes the whole batch back: the table is as before and the
    /// batch leaves no undo step. A NonFiniteResult is returned as its cell (the topmost
    /// one that failed); any other exception is thrown on.
    std::optional<NonFiniteCell> fillRows(std::span<const int> rows,
                                          const std::function<RowFiller()>& makeFiller,
                                          FillOrder order = FillOrder::Parallel);
    /// As above, for every row shown.
    std::optional<NonFiniteCell> fillRows(const std::function<RowFiller()>& makeFiller,
                                          FillOrder order = FillOrder::Parallel);
    void setChecked(int row, bool checked);
    /// Inserts before shown row `row` (at the end when row == rowCount()). Under a
    /// filter the row goes right after the full-table place of the row above it.
    void insertRow(int row, Row content = Row(), bool checked = false);
    /// Inserts rows at the end of the table in one step.
    void appendRows(std::vector<Row> rows);
    void removeRows(std::vector<int> rows);
    /// Exchanges the texts of two rows; check marks stay with their places. The points
    /// trade places, so their keys go with them.
    void swapRowTexts(int a, int b);
    /// Puts the rows shown in a new order: row i becomes the row that was `order[i]`.
    /// Rows move with their check marks. Under a filter the shown rows trade places
    /// among the full-table places they occupy.
    void reorderRows(std::span<const int> order);
    /// Replaces everything (an import): rows, other lines, an empty line point list,
    /// all points shown, no check marks. Line breaks given in an other line are dropped.
    /// `source` names where the rows came from (the imported file); it belongs to the
    /// table's state, so undo brings the former back.
    void replaceAll(std::vector<Row> rows, TextLines otherLines, std::string source = {});
    /// The `source` of the last replaceAll in force; empty for a new table.
    const std::string& source() const { return m_source; }
    void setLinePoints(std::vector<std::string> names);
    /// Shows all points, the J stakes or the Z stakes. Not an edit of the data, so it
    /// is not in the history; like any rebuild of the shown rows it clears check marks.
    void setDisplayMode(DisplayMode mode);

    /// One undoable step: every edit made while it lives is undone and redone together.
    /// When the outermost scope ends by an exception, its edits are taken back instead
    /// (with the history on; without it, nothing is kept to take them back with).
    class Command {
    public:
        Command(PointTable& table, std::string label);
        ~Command();
        Command(const Command&) = delete;
        Command& operator=(const Command&) = delete;

    private:
        PointTable& m_table;
        int m_exceptions;  // exceptions in flight when the scope began
    };

    bool canUndo() const { return m_historyPos > 0; }
    bool canRedo() const { return m_historyPos < m_history.size(); }
    std::string undoLabel() const;
    std::string redoLabel() const;
    void undo();
    void redo();
    void clearHistory();
    /// Without history (a batch run that needs no undo) edits keep no former texts;
    /// turning it off clears what there is. isModified() still follows the edits.
    void setHistoryEnabled(bool enabled);
    /// Bytes the undo history holds; grows with what the commands changed.
    size_t historyBytes() const;

    /// True when the data changed since the last markSaved() (or ever, when that
    /// state is no longer reachable through undo and redo).
    bool isModified() const;
    void markSaved();
    /// How many points differ from the state of the last markSaved(): rows edited,
    /// inserted, removed or moved, each counted once (check marks are not data). Every
    /// point of either table when a replaceAll lies between, and every point now when
    /// that state is out of the history's reach.
    int changedPointCount() const;

    void addListener(TableListener* listener);
    void removeListener(TableListener* listener);

    /// While held, listeners hear nothing, so a large edit may run on another thread
    /// while the listeners' thread goes on (and reads neither the table nor what the
    /// listeners built from it). Release tells them everything at once on the calling
    /// thread: a reset when rows came, went or moved, else the changed rectangles; then
    /// the state. Holds do not nest.
    void holdNotifications();
    void releaseNotifications();

    /// How many rows or cells the step that undo (redo) would take touches: large steps
    /// are worth taking off the user interface thread, small ones are not.
    size_t undoExtent() const;
    size_t redoExtent() const;

private:
    friend struct TableCommandRecord;
    friend class TableOps;

    RowId idAt(int row) const;
    int shownCount() const;
    bool validRow(int row) const { return row >= 0 && row < rowCount(); }
    bool matchesFilter(RowId id) const;
    void rebuildShown();
    void markDirty(int row, int column);
    void markCheckDirty(int row);
    void flushDirty();
    void notifyReset(bool begin);
    void notifyState();

    // Primitive changes used by the edits and by undo/redo.
    RowId newId();
    void placeIds(std::vector<std::pair<uint32_t, RowId>> sortedPlaces);
    void dropIds(const std::vector<RowId>& ids);
    void recomputePositions(size_t from);

    std::vector<Row> m_rows;         // by id; rows of ids not in the table are empty
    std::vector<uint8_t> m_checked;  // by id
    std::vector<uint8_t> m_shown;    // by id, used while a filter is active
    std::vector<RowId> m_order;      // the full table, top down
    std::vector<uint32_t> m_pos;     // by id: place in m_order, or kNoRow
    std::vector<RowId> m_visible;    // ids shown under a filter, in table order
    std::vector<uint32_t> m_visPos;  // by id: index in m_visible, or kNoRow
    NameIndex m_index;
    DisplayMode m_mode = DisplayMode::AllPoints;
    std::vector<std::string> m_linePoints;
    TextLines m_otherLines;
    std::string m_source;
    uint64_t m_generation = 0;      // the import whose rows are in the table (RowKey::table)
    uint64_t m_lastGeneration = 0;  // the latest import given one

    std::vector<std::unique_ptr<TableCommandRecord>> m_history;
    size_t m_historyPos = 0;
    bool m_keepHistory = true;
    long m_savedPos = 0;  // -1 when the saved state is gone
    std::unique_ptr<TableCommandRecord> m_pending;
    int m_depth = 0;

    struct Dirty {
        bool any = false;
        int r0 = 0, r1 = 0, c0 = 0, c1 = 0;
    } m_dirty, m_dirtyChecks;  // cell texts; check marks (rows only)
    std::vector<TableListener*> m_listeners;
    std::unique_ptr<HeldNotifications> m_held;
};

}  // namespace corvane
