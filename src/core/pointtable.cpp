#include "pointtable.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <numeric>

#include "heldnotifications.h"
#include "largebuffer.h"
#include "tablehistory.h"
#include "tablelistener.h"
#include "vocabularies.h"

namespace corvane {

/// Applies undo records to the table; each application toggles the record.
class TableOps {
public:
    static void apply(PointTable& t, TableOp& op, bool forward);
    static void setCellRaw(PointTable& t, RowId id, int column, std::string_view text);
    /// `cells` in ascending column order, as Row::setCells takes them.
    static void setCellsRaw(PointTable& t, RowId id, std::span<const CellText> cells);

private:
    static void apply(PointTable& t, CellChanges& c, bool forward);
    static void apply(PointTable& t, CheckChanges& c, bool forward);
    static void apply(PointTable& t, RowPresence& p);
    static void apply(PointTable& t, RowSwap& s);
    static void apply(PointTable& t, RowOrder& o);
    static void apply(PointTable& t, LinePointChange& l);
    static void apply(PointTable& t, WholeTable& w);
    static int shownRowOf(const PointTable& t, RowId id);
};

namespace {

const Row kEmptyRow;

// Other lines are written back one a record, like rows: a line break inside one would
// make two lines of it. As in cells, one given is dropped.
TextLines withoutLineBreaks(TextLines lines) {
    const std::string_view text = lines.text();
    if (text.find('\r') == std::string_view::npos && text.find('\n') == std::string_view::npos)
        return lines;
    TextLines kept;
    std::string line;
    for (std::string_view given : lines) {
        line.clear();
        for (char c : given)
            if (c != '\r' && c != '\n')
                line += c;
        kept.push_back(line);
    }
    return kept;
}

template <class T>
size_t vectorBytes(const std::vector<T>& v) {
    return v.capacity() * sizeof(T);
}

}  // namespace

size_t TableCommandRecord::bytes() const {
    size_t total = sizeof(*this) + label.capacity() + vectorBytes(ops);
    for (const TableOp& op : ops) {
        std::visit(
            [&](const auto& o) {
                using T = std::decay_t<decltype(o)>;
                if constexpr (std::is_same_v<T, CellChanges>) {
                    total += vectorBytes(o.ids) + vectorBytes(o.columns) + o.texts.capacity() +
                             vectorBytes(o.ends);
                } else if constexpr (std::is_same_v<T, CheckChanges>) {
                    total += vectorBytes(o.ids) + vectorBytes(o.values);
                } else if constexpr (std::is_same_v<T, RowPresence>) {
                    total += vectorBytes(o.places) + vectorBytes(o.rows) + vectorBytes(o.checks) +
                             vectorBytes(o.shown);
                    for (const Row& r : o.rows)
                        total += r.joined(',').size();
                } else if constexpr (std::is_same_v<T, RowOrder>) {
                    total += vectorBytes(o.order);
                } else if constexpr (std::is_same_v<T, LinePointChange>) {
                    for (const auto& n : o.names)
                        total += sizeof(n) + n.capacity();
                } else if constexpr (std::is_same_v<T, WholeTable>) {
                    total += vectorBytes(o.rows) + vectorBytes(o.order) + vectorBytes(o.checked) +
                             vectorBytes(o.shown);
                    for (const Row& r : o.rows)
                        total += r.joined(',').size();
                    total += o.otherLines.heapBytes();
                    total += o.source.capacity();
                }
            },
            op);
    }
    return total;
}

// ---------------------------------------------------------------------------
// Construction and reading

PointTable::PointTable() : m_index(m_rows, m_pos) {
    m_index.rebuild(m_order);
}

PointTable::~PointTable() = default;

int PointTable::shownCount() const {
    return static_cast<int>(m_mode == DisplayMode::AllPoints ? m_order.size() : m_visible.size());
}

int PointTable::rowCount() const {
    return shownCount();
}

RowId PointTable::idAt(int row) const {
    return m_mode == DisplayMode::AllPoints ? m_order[row] : m_visible[row];
}

const Row& PointTable::rowAt(int row) const {
    return validRow(row) ? m_rows[idAt(row)] : kEmptyRow;
}

std::string_view PointTable::text(int row, int column) const {
    return validRow(row) ? m_rows[idAt(row)].cell(column) : std::string_view();
}

bool PointTable::isChecked(int row) const {
    return validRow(row) && m_checked[idAt(row)];
}

std::vector<int> PointTable::checkedRows() const {
    // Check marks are few in a large table: skip the unmarked stretches a block at a
    // time instead of asking every row.
    std::vector<int> rows;
    const uint8_t* const begin = m_checked.data();
    const uint8_t* const end = begin + m_checked.size();
    for (const uint8_t* p = begin; p < end; ++p) {
        p = static_cast<const uint8_t*>(std::memchr(p, 1, static_cast<size_t>(end - p)));
        if (p == nullptr)
            break;
        const RowId id = static_cast<RowId>(p - begin);
        uint32_t row = m_pos[id];
        if (m_mode != DisplayMode::AllPoints)
            row = id < m_visPos.size() ? m_visPos[id] : kNoRow;
        if (row != kNoRow)
            rows.push_back(static_cast<int>(row));
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

int PointTable::FindPointRow(std::string_view name) const {
    RowId id = m_index.first(name);
    if (m_mode == DisplayMode::AllPoints)
        return id == kNoRow ? -1 : static_cast<int>(m_pos[id]);
    for (; id != kNoRow; id = m_index.next(id))
        if (m_visPos[id] != kNoRow)
            return static_cast<int>(m_visPos[id]);
    return -1;
}

std::vector<std::vector<int>> PointTable::rowsOfRepeatedNames() const {
    std::vector<std::vector<int>> out;
    for (const std::vector<RowId>& ids : m_index.repeated()) {
        std::vector<int> rows;
        for (RowId id : ids) {
            const uint32_t row = m_mode == DisplayMode::AllPoints ? m_pos[id] : m_visPos[id];
            if (row != kNoRow)
                rows.push_back(static_cast<int>(row));
        }
        if (rows.size() > 1)
            out.push_back(std::move(rows));
    }
    std::sort(out.begin(), out.end(),
              [](const std::vector<int>& a, const std::vector<int>& b) { return a[0] < b[0]; });
    return out;
}

std::string_view PointTable::fullText(int fullRow, int column) const {
    if (fullRow < 0 || fullRow >= fullRowCount())
        return {};
    return m_rows[m_order[fullRow]].cell(column);
}

const Row& PointTable::fullRowAt(int fullRow) const {
    if (fullRow < 0 || fullRow >= fullRowCount())
        return kEmptyRow;
    return m_rows[m_order[fullRow]];
}

int PointTable::findFullRow(std::string_view name) const {
    RowId id = m_index.first(name);
    return id == kNoRow ? -1 : static_cast<int>(m_pos[id]);
}

int PointTable::fullRowOf(int row) const {
    return validRow(row) ? static_cast<int>(m_pos[idAt(row)]) : -1;
}

RowKey PointTable::keyOf(int row) const {
    return validRow(row) ? RowKey{m_generation, idAt(row)} : RowKey{};
}

int PointTable::fullRowOf(RowKey key) const {
    if (key.table != m_generation || key.id >= m_pos.size() || m_pos[key.id] == kNoRow)
        return -1;
    return static_cast<int>(m_pos[key.id]);
}

int PointTable::rowOf(RowKey key) const {
    const int full = fullRowOf(key);
    if (full < 0 || m_mode == DisplayMode::AllPoints)
        return full;
    const uint32_t v = m_visPos[key.id];
    return v == kNoRow ? -1 : static_cast<int>(v);
}

int PointTable::rowOfFull(int fullRow) const {
    if (fullRow < 0 || fullRow >= fullRowCount())
        return -1;
    if (m_mode == DisplayMode::AllPoints)
        return fullRow;
    uint32_t v = m_visPos[m_order[fullRow]];
    return v == kNoRow ? -1 : static_cast<int>(v);
}

bool PointTable::matchesFilter(RowId id) const {
    switch (m_mode) {
        case DisplayMode::JStakes:
            return m_rows[id].cell(ColPointType) == kJStake;
        case DisplayMode::ZStakes:
            return m_rows[id].cell(ColPointType) == kZStake;
        case DisplayMode::AllPoints:
            break;
    }
    return true;
}

void PointTable::rebuildShown() {
    m_visible.clear();
    if (m_mode == DisplayMode::AllPoints) {
        m_visPos.clear();
        m_visPos.shrink_to_fit();
        return;
    }
    m_visPos.assign(m_rows.size(), kNoRow);
    for (RowId id : m_order) {
        if (m_shown[id]) {
            m_visPos[id] = static_cast<uint32_t>(m_visible.size());
            m_visible.push_back(id);
        }
    }
}

// ---------------------------------------------------------------------------
// Primitive changes

RowId PointTable::newId() {
    RowId id = static_cast<RowId>(m_rows.size());
    m_rows.emplace_back();
    m_checked.push_back(0);
    m_shown.push_back(1);
    m_pos.push_back(kNoRow);
    return id;
}

void PointTable::recomputePositions(size_t from) {
    for (size_t i = from; i < m_order.size(); ++i)
        m_pos[m_order[i]] = static_cast<uint32_t>(i);
}

void PointTable::placeIds(std::vector<std::pair<uint32_t, RowId>> places) {
    if (places.empty())
        return;
    std::vector<RowId> merged;
    merged.reserve(m_order.size() + places.size());
    size_t next = 0;
    size_t old = 0;
    while (merged.size() < m_order.size() + places.size()) {
        if (next < places.size() && places[next].first <= merged.size())
            merged.push_back(places[next++].second);
        else if (old < m_order.size())
            merged.push_back(m_order[old++]);
        else
            merged.push_back(places[next++].second);
    }
    m_order.swap(merged);
    recomputePositions(std::min<size_t>(places.front().first, m_order.size()));
    for (const auto& place : places)
        m_index.add(place.second);
    rebuildShown();
}

void PointTable::dropIds(const std::vector<RowId>& ids) {
    if (ids.empty())
        return;
    size_t first = m_order.size();
    for (RowId id : ids) {
        m_index.remove(id);
        first = std::min<size_t>(first, m_pos[id]);
        m_pos[id] = kNoRow;
    }
    size_t out = first;
    for (size_t i = first; i < m_order.size(); ++i)
        if (m_pos[m_order[i]] != kNoRow)
            m_order[out++] = m_order[i];
    m_order.resize(out);
    recomputePositions(first);
    rebuildShown();
}

// ---------------------------------------------------------------------------
// Notifications

namespace {

template <class Dirty>
void grow(Dirty& dirty, int row, int column) {
    if (row < 0)
        return;
    if (!dirty.any) {
        dirty = {true, row, row, column, column};
        return;
    }
    dirty.r0 = std::min(dirty.r0, row);
    dirty.r1 = std::max(dirty.r1, row);
    dirty.c0 = std::min(dirty.c0, column);
    dirty.c1 = std::max(dirty.c1, column);
}

}  // namespace

void PointTable::markDirty(int row, int column) {
    grow(m_dirty, row, column);
}

void PointTable::markCheckDirty(int row) {
    grow(m_dirtyChecks, row, 0);
}

void PointTable::flushDirty() {
    if (m_dirty.any) {
        const Dirty d = m_dirty;
        m_dirty.any = false;
        for (TableListener* l : m_listeners)
            l->cellsChanged(d.r0, d.r1, d.c0, d.c1);
    }
    if (m_dirtyChecks.any) {
        const Dirty d = m_dirtyChecks;
        m_dirtyChecks.any = false;
        for (TableListener* l : m_listeners)
            l->checksChanged(d.r0, d.r1);
    }
}

void PointTable::notifyReset(bool begin) {
    if (begin)
        flushDirty();
    for (TableListener* l : m_listeners) {
        if (begin)
            l->aboutToReset();
        else
            l->resetDone();
    }
    if (!begin) {
        m_dirty.any = false;
        m_dirtyChecks.any = false;
    }
}

void PointTable::notifyState() {
    for (TableListener* l : m_listeners)
        l->stateChanged();
}

void PointTable::addListener(TableListener* listener) {
    (m_held ? m_held->listeners() : m_listeners).push_back(listener);
}

void PointTable::removeListener(TableListener* listener) {
    std::erase(m_held ? m_held->listeners() : m_listeners, listener);
}

// ---------------------------------------------------------------------------
// Commands and history

PointTable::Command::Command(PointTable& table, std::string label)
    : m_table(table), m_exceptions(std::uncaught_exceptions()) {
    if (m_table.m_depth++ == 0) {
        m_table.m_pending = std::make_unique<TableCommandRecord>();
        m_table.m_pending->label = std::move(label);
    }
}

PointTable::Command::~Command() {
    if (--m_table.m_depth > 0)
        return;
    std::unique_ptr<TableCommandRecord> record = std::move(m_table.m_pending);
    if (record && m_table.m_keepHistory && std::uncaught_exceptions() > m_exceptions) {
        // The command failed part way: what it changed is taken back, so the table is
        // the one it started from.
        try {
            for (auto it = record->ops.rbegin(); it != record->ops.rend(); ++it)
                TableOps::apply(m_table, *it, false);
        } catch (...) {  // nothing may leave a destructor while an exception is thrown
        }
        record.reset();
    }
    m_table.flushDirty();
    if (!record || (record->ops.empty() && !record->touchesData))
        return;
    if (!m_table.m_keepHistory) {
        if (record->touchesData)
            m_table.m_savedPos = -1;
        m_table.notifyState();
        return;
    }
    m_table.m_history.resize(m_table.m_historyPos);
    if (m_table.m_savedPos > static_cast<long>(m_table.m_historyPos))
        m_table.m_savedPos = -1;
    m_table.m_history.push_back(std::move(record));
    m_table.m_historyPos = m_table.m_history.size();
    m_table.notifyState();
}

std::string PointTable::undoLabel() const {
    return canUndo() ? m_history[m_historyPos - 1]->label : std::string();
}

std::string PointTable::redoLabel() const {
    return canRedo() ? m_history[m_historyPos]->label : std::string();
}

void PointTable::undo() {
    if (!canUndo() || m_depth > 0)
        return;
    TableCommandRecord& record = *m_history[--m_historyPos];
    for (auto it = record.ops.rbegin(); it != record.ops.rend(); ++it)
        TableOps::apply(*this, *it, false);
    flushDirty();
    notifyState();
}

void PointTable::redo() {
    if (!canRedo() || m_depth > 0)
        return;
    TableCommandRecord& record = *m_history[m_historyPos++];
    for (TableOp& op : record.ops)
        TableOps::apply(*this, op, true);
    flushDirty();
    notifyState();
}

void PointTable::clearHistory() {
    const bool modified = isModified();  // asked before the steps it looks at are gone
    m_history.clear();
    m_historyPos = 0;
    m_savedPos = modified ? -1 : 0;
    notifyState();
}

void PointTable::setHistoryEnabled(bool enabled) {
    if (!enabled)
        clearHistory();
    m_keepHistory = enabled;
}

size_t PointTable::historyBytes() const {
    size_t total = 0;
    for (const auto& record : m_history)
        total += record->bytes();
    return total;
}

bool PointTable::isModified() const {
    if (m_savedPos < 0)
        return true;
    size_t lo = std::min<size_t>(m_savedPos, m_historyPos);
    size_t hi = std::max<size_t>(m_savedPos, m_historyPos);
    for (size_t i = lo; i < hi; ++i)
        if (m_history[i]->touchesData)
            return true;
    return false;
}

void PointTable::markSaved() {
    m_savedPos = static_cast<long>(m_historyPos);
    notifyState();
}

// ---------------------------------------------------------------------------
// Edits

void PointTable::setText(int row, int column, std::string_view text) {
    if (column < 0 || column >= kColumnCount)
        return;
    const CellText one{column, text};
    setTexts(row, std::span<const CellText>(&one, 1));
}

void PointTable::setTexts(int row, std::span<const CellText> cells) {
    if (!validRow(row))
        return;
    for (size_t i = 0; i < cells.size(); ++i) {
        if (cells[i].column < 0 || cells[i].column >= kColumnCount ||
            (i > 0 && cells[i].column <= cells[i - 1].column)) {
            Command scope(*this, "编辑");
            for (const CellText& c : cells)
                setText(row, c.column, c.text);
            return;
        }
    }
    const RowId id = idAt(row);
    const Row& current = m_rows[id];
    std::array<CellText, kColumnCount> changed;
    std::array<std::string_view, kColumnCount> previous;
    size_t count = 0;
    for (const CellText& c : cells) {
        const std::string_view old = current.cell(c.column);
        if (old == c.text)
            continue;
        previous[count] = old;
        changed[count++] = c;
    }
    if (count == 0)
        return;
    Command scope(*this, "编辑");
    TableCommandRecord& record = *m_pending;
    record.touchesData = true;
    if (m_keepHistory) {
        if (record.ops.empty() || !std::holds_alternative<CellChanges>(record.ops.back()))
            record.ops.emplace_back(CellChanges{});
        // The record keeps the old texts; applying it later swaps them back in.
        auto& changes = std::get<CellChanges>(record.ops.back());
        for (size_t i = 0; i < count; ++i)
            changes.add(id, changed[i].column, previous[i]);
    }
    TableOps::setCellsRaw(*this, id, std::span<const CellText>(changed.data(), count));
}

void PointTable::setChecked(int row, bool checked) {
    if (!validRow(row))
        return;
    RowId id = idAt(row);
    if (static_cast<bool>(m_checked[id]) == checked)
        return;
    Command scope(*this, "勾选");
    TableCommandRecord& record = *m_pending;
    if (m_keepHistory) {
        if (record.ops.empty() || !std::holds_alternative<CheckChanges>(record.ops.back()))
            record.ops.emplace_back(CheckChanges{});
        auto& changes = std::get<CheckChanges>(record.ops.back());
        changes.ids.push_back(id);
        changes.values.push_back(m_checked[id]);
    }
    m_checked[id] = checked;
    markCheckDirty(row);
}

void PointTable::insertRow(int row, Row content, bool checked) {
    if (row < 0 || row > rowCount())
        return;
    uint32_t place = 0;
    if (m_mode == DisplayMode::AllPoints)
        place = static_cast<uint32_t>(row);
    else if (row > 0)
        place = m_pos[m_visible[row - 1]] + 1;
    else
        place = m_visible.empty() ? static_cast<uint32_t>(m_order.size()) : m_pos[m_visible[0]];
    Command scope(*this, "插入一行");
    RowId id = newId();
    RowPresence presence;
    presence.places.push_back({place, id});
    presence.rows.push_back(std::move(content));
    presence.checks.push_back(checked);
    presence.shown.push_back(1);
    m_pending->touchesData = true;
    m_pending->ops.emplace_back(std::move(presence));
    TableOps::apply(*this, m_pending->ops.back(), true);
}

void PointTable::appendRows(std::vector<Row> rows) {
    if (rows.empty())
        return;
    Command scope(*this, "追加行");
    RowPresence presence;
    uint32_t place = static_cast<uint32_t>(m_order.size());
    for (Row& r : rows) {
        RowId id = newId();
        presence.places.push_back({place++, id});
        presence.rows.push_back(std::move(r));
        presence.checks.push_back(0);
        presence.shown.push_back(1);
    }
    m_pending->touchesData = true;
    m_pending->ops.emplace_back(std::move(presence));
    TableOps::apply(*this, m_pending->ops.back(), true);
}

void PointTable::removeRows(std::vector<int> rows) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::erase_if(rows, [&](int r) { return !validRow(r); });
    if (rows.empty())
        return;
    Command scope(*this, "删除行");
    RowPresence presence;
    presence.present = true;
    for (int r : rows) {
        RowId id = idAt(r);
        presence.places.push_back({m_pos[id], id});
    }
    std::sort(presence.places.begin(), presence.places.end());
    m_pending->touchesData = true;
    m_pending->ops.emplace_back(std::move(presence));
    TableOps::apply(*this, m_pending->ops.back(), true);
}

void PointTable::swapRowTexts(int a, int b) {
    if (!validRow(a) || !validRow(b) || a == b)
        return;
    Command scope(*this, "移动行");
    m_pending->touchesData = true;
    m_pending->ops.emplace_back(RowSwap{idAt(a), idAt(b)});
    TableOps::apply(*this, m_pending->ops.back(), true);
}

void PointTable::reorderRows(std::span<const int> order) {
    const int n = rowCount();
    if (static_cast<int>(order.size()) != n)
        return;
    std::vector<uint8_t> seen(n, 0);
    bool identity = true;
    for (int i = 0; i < n; ++i) {
        int r = order[i];
        if (r < 0 || r >= n || seen[r])
            return;
        seen[r] = 1;
        identity = identity && r == i;
    }
    if (identity)
        return;
    std::vector<RowId> newOrder = m_order;
    if (m_mode == DisplayMode::AllPoints) {
        for (int i = 0; i < n; ++i)
            newOrder[i] = m_order[order[i]];
    } else {
        for (int i = 0; i < n; ++i)
            newOrder[m_pos[m_visible[i]]] = m_visible[order[i]];
    }
    Command scope(*this, "排序");
    m_pending->touchesData = true;
    m_pending->ops.emplace_back(RowOrder{std::move(newOrder)});
    TableOps::apply(*this, m_pending->ops.back(), true);
}

void PointTable::replaceAll(std::vector<Row> rows, TextLines otherLines, std::string source) {
    WholeTable whole;
    const size_t n = rows.size();
    whole.rows = std::move(rows);
    whole.checked.assign(n, 0);
    whole.shown.assign(n, 1);
    assignLarge(whole.order, n, RowId{0});
    std::iota(whole.order.begin(), whole.order.end(), RowId{0});
    whole.otherLines = withoutLineBreaks(std::move(otherLines));
    whole.source = std::move(source);
    whole.generation = ++m_lastGeneration;
    Command scope(*this, "导入");
    m_pending->touchesData = true;
    m_pending->ops.emplace_back(std::move(whole));
    TableOps::apply(*this, m_pending->ops.back(), true);
}

void PointTable::setLinePoints(std::vector<std::string> names) {
    if (names == m_linePoints)
        return;
    Command scope(*this, "电力线点");
    m_pending->touchesData = true;
    m_pending->ops.emplace_back(LinePointChange{std::move(names)});
    TableOps::apply(*this, m_pending->ops.back(), true);
}

void PointTable::setDisplayMode(DisplayMode mode) {
    notifyReset(true);
    m_mode = mode;
    for (RowId id : m_order) {
        m_shown[id] = matchesFilter(id);
        m_checked[id] = 0;
    }
    rebuildShown();
    notifyReset(false);
    notifyState();
}

// ---------------------------------------------------------------------------
// Applying records

void TableOps::apply(PointTable& t, TableOp& op, bool forward) {
    std::visit(
        [&](auto& o) {
            using T = std::decay_t<decltype(o)>;
            if constexpr (std::is_same_v<T, CellChanges> || std::is_same_v<T, CheckChanges>)
                apply(t, o, forward);
            else
                apply(t, o);
        },
        op);
}

int TableOps::shownRowOf(const PointTable& t, RowId id) {
    uint32_t p = t.m_mode == DisplayMode::AllPoints ? t.m_pos[id] : t.m_visPos[id];
    return p == kNoRow ? -1 : static_cast<int>(p);
}

void TableOps::setCellRaw(PointTable& t, RowId id, int column, std::string_view text) {
    const CellText one{column, text};
    setCellsRaw(t, id, std::span<const CellText>(&one, 1));
}

void TableOps::setCellsRaw(PointTable& t, RowId id, std::span<const CellText> cells) {
    if (cells.empty())
        return;
    const bool renames = cells.front().column == ColName && t.m_pos[id] != kNoRow;
    if (renames)
        t.m_index.remove(id);
    t.m_rows[id].setCells(cells);
    if (renames)
        t.m_index.add(id);
    const int row = shownRowOf(t, id);
    t.markDirty(row, cells.front().column);
    t.markDirty(row, cells.back().column);
}

void TableOps::apply(PointTable& t, CellChanges& c, bool forward) {
    // Swap each stored text with the cell's; undo walks backwards so that a cell set
    // twice in one command ends with its first text.
    const size_t n = c.ids.size();
    std::vector<std::pair<uint64_t, uint64_t>> spans(n);
    std::string swapped;
    swapped.reserve(c.texts.size());
    auto step = [&](size_t i) {
        RowId id = c.ids[i];
        std::string_view current = t.m_rows[id].cell(c.columns[i]);
        spans[i] = {swapped.size(), current.size()};
        swapped.append(current);
        setCellRaw(t, id, c.columns[i], c.textAt(i));
    };
    if (forward) {
        for (size_t i = 0; i < n; ++i)
            step(i);
    } else {
        for (size_t i = n; i-- > 0;)
            step(i);
    }
    std::string texts;
    texts.reserve(swapped.size());
    for (size_t i = 0; i < n; ++i) {
        texts.append(swapped, spans[i].first, spans[i].second);
        c.ends[i] = texts.size();
    }
    c.texts.swap(texts);
}

void TableOps::apply(PointTable& t, CheckChanges& c, bool forward) {
    const size_t n = c.ids.size();
    auto step = [&](size_t i) {
        RowId id = c.ids[i];
        std::swap(t.m_checked[id], c.values[i]);
        t.markCheckDirty(shownRowOf(t, id));
    };
    if (forward) {
        for (size_t i = 0; i < n; ++i)
            step(i);
    } else {
        for (size_t i = n; i-- > 0;)
            step(i);
    }
}

void TableOps::apply(PointTable& t, RowPresence& p) {
    const bool single = p.places.size() == 1;
    if (p.present) {
        // Take the rows out, keeping their contents here.
        int shown = single ? shownRowOf(t, p.places[0].second) : -1;
        if (single && shown >= 0) {
            t.flushDirty();
            for (TableListener* l : t.m_listeners)
                l->rowsAboutToBeRemoved(shown, shown);
        } else {
            t.notifyReset(true);
        }
        std::vector<RowId> ids;
        ids.reserve(p.places.size());
        for (auto& place : p.places) {
            place.first = t.m_pos[place.second];
            ids.push_back(place.second);
        }
        std::sort(p.places.begin(), p.places.end());
        t.dropIds(ids);
        p.rows.clear();
        p.checks.clear();
        p.shown.clear();
        for (const auto& place : p.places) {
            RowId id = place.second;
            p.rows.push_back(std::move(t.m_rows[id]));
            t.m_rows[id] = Row();
            p.checks.push_back(t.m_checked[id]);
            t.m_checked[id] = 0;  // rows out of the table are never listed as checked
            p.shown.push_back(t.m_shown[id]);
        }
        p.present = false;
        if (single && shown >= 0) {
            for (TableListener* l : t.m_listeners)
                l->rowsRemoved();
        } else {
            t.notifyReset(false);
        }
        return;
    }
    // Put the rows back at their places, in ascending order.
    for (size_t i = 0; i < p.places.size(); ++i) {
        RowId id = p.places[i].second;
        t.m_rows[id] = std::move(p.rows[i]);
        t.m_checked[id] = p.checks[i];
        t.m_shown[id] = t.m_mode == DisplayMode::AllPoints ? 1 : p.shown[i];
    }
    p.rows.clear();
    p.rows.shrink_to_fit();
    int shownAt = -1;
    if (single) {
        uint32_t place = p.places[0].first;
        if (t.m_mode == DisplayMode::AllPoints) {
            shownAt = static_cast<int>(std::min<size_t>(place, t.m_order.size()));
        } else if (t.m_shown[p.places[0].second]) {
            auto it = std::lower_bound(t.m_visible.begin(), t.m_visible.end(), place,
                                       [&](RowId v, uint32_t pl) { return t.m_pos[v] < pl; });
            shownAt = static_cast<int>(it - t.m_visible.begin());
        }
    }
    if (single && shownAt >= 0) {
        t.flushDirty();
        for (TableListener* l : t.m_listeners)
            l->rowsAboutToBeInserted(shownAt, shownAt);
    } else {
        t.notifyReset(true);
    }
    t.placeIds(p.places);
    p.present = true;
    if (single && shownAt >= 0) {
        for (TableListener* l : t.m_listeners)
            l->rowsInserted();
    } else {
        t.notifyReset(false);
    }
}

void TableOps::apply(PointTable& t, RowSwap& s) {
    // The two points trade places, so that whatever holds on to a point by its key
    // follows it; the check marks stay with the places.
    const RowId a = s.a;
    const RowId b = s.b;
    const uint32_t placeA = t.m_pos[a];
    const uint32_t placeB = t.m_pos[b];
    t.m_index.remove(a);
    t.m_index.remove(b);
    std::swap(t.m_order[placeA], t.m_order[placeB]);
    t.m_pos[a] = placeB;
    t.m_pos[b] = placeA;
    t.m_index.add(a);
    t.m_index.add(b);
    std::swap(t.m_checked[a], t.m_checked[b]);
    std::swap(t.m_shown[a], t.m_shown[b]);
    if (t.m_mode != DisplayMode::AllPoints) {
        // Both are shown: they trade their places in the shown rows too.
        std::swap(t.m_visPos[a], t.m_visPos[b]);
        if (t.m_visPos[a] != kNoRow)
            t.m_visible[t.m_visPos[a]] = a;
        if (t.m_visPos[b] != kNoRow)
            t.m_visible[t.m_visPos[b]] = b;
    }
    for (RowId id : {a, b}) {
        t.markDirty(shownRowOf(t, id), 0);
        t.markDirty(shownRowOf(t, id), kColumnCount - 1);
    }
}

void TableOps::apply(PointTable& t, RowOrder& o) {
    t.notifyReset(true);
    t.m_order.swap(o.order);
    t.recomputePositions(0);
    t.m_index.rebuild(t.m_order);
    t.rebuildShown();
    t.notifyReset(false);
}

void TableOps::apply(PointTable& t, LinePointChange& l) {
    t.m_linePoints.swap(l.names);
    t.notifyState();
}

void TableOps::apply(PointTable& t, WholeTable& w) {
    t.notifyReset(true);
    t.m_rows.swap(w.rows);
    t.m_checked.swap(w.checked);
    t.m_shown.swap(w.shown);
    t.m_order.swap(w.order);
    t.m_linePoints.swap(w.linePoints);
    t.m_otherLines.swap(w.otherLines);
    t.m_source.swap(w.source);
    std::swap(t.m_generation, w.generation);
    std::swap(t.m_mode, w.mode);
    assignLarge(t.m_pos, t.m_rows.size(), kNoRow);
    t.recomputePositions(0);
    t.m_index.rebuild(t.m_order);
    t.rebuildShown();
    t.notifyReset(false);
    t.notifyState();
}

}  // namespace corvane
