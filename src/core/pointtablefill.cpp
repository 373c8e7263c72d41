// PointTable::fillRows: the edit the computations make to every row of a large table,
// shared out over the cores.

#include <algorithm>
#include <array>
#include <numeric>

#include "parallelparts.h"
#include "pointtable.h"
#include "tablehistory.h"

namespace corvane {
namespace {

// What one thread changed: the former texts for undo and the rectangle to repaint.
struct FillPart {
    CellChanges history;
    int firstRow = -1;
    int lastRow = -1;
    int firstColumn = kColumnCount;
    int lastColumn = -1;
};

}  // namespace

void PointTable::fillRows(const std::function<RowFiller()>& makeFiller, FillOrder order) {
    std::vector<int> all(static_cast<size_t>(rowCount()));
    std::iota(all.begin(), all.end(), 0);
    fillRows(all, makeFiller, order);
}

void PointTable::fillRows(std::span<const int> rows, const std::function<RowFiller()>& makeFiller,
                          FillOrder order) {
    if (rows.empty())
        return;
    Command scope(*this, "编辑");
    std::vector<FillPart> parts(order == FillOrder::TopDown ? 1 : partsFor(rows.size()));
    // Each part edits its own rows only; a row's block is its own (or, for rows built
    // together, counted atomically), so the parts share nothing they write.
    auto fillPart = [&](size_t k, size_t begin, size_t end) {
        FillPart& part = parts[k];
        const RowFiller fill = makeFiller();
        std::vector<CellText> cells;
        std::array<CellText, kColumnCount> changed;
        for (size_t i = begin; i < end; ++i) {
            const int row = rows[i];
            if (!validRow(row) || (i > 0 && row <= rows[i - 1]))
                continue;
            cells.clear();
            fill(row, cells);
            if (cells.empty())
                continue;
            const RowId id = idAt(row);
            Row& content = m_rows[id];
            int last = 0;
            for (const CellText& c : cells)
                last = std::max(last, c.column);
            const std::array<std::string_view, kColumnCount> current = content.cells(last);
            size_t count = 0;
            int previous = ColName;  // names stay: the name index is not shared out
            for (const CellText& c : cells) {
                if (c.column <= previous || c.column >= kColumnCount)
                    continue;
                previous = c.column;
                const std::string_view old = current[c.column];
                if (old == c.text)
                    continue;
                if (m_keepHistory)
                    part.history.add(id, c.column, old);
                changed[count++] = c;
            }
            if (count == 0)
                continue;
            content.setCells(std::span<const CellText>(changed.data(), count));
            if (part.firstRow < 0)
                part.firstRow = row;
            part.lastRow = row;
            part.firstColumn = std::min(part.firstColumn, changed[0].column);
            part.lastColumn = std::max(part.lastColumn, changed[count - 1].column);
        }
    };
    // What was changed goes into the record even when a part failed, so undo stays exact.
    auto record = [&] {
        TableCommandRecord& pending = *m_pending;
        for (FillPart& part : parts) {
            if (part.firstRow < 0)
                continue;
            pending.touchesData = true;
            if (m_keepHistory)
                pending.ops.emplace_back(std::move(part.history));
            markDirty(part.firstRow, part.firstColumn);
            markDirty(part.lastRow, part.lastColumn);
        }
    };
    try {
        runInParts(rows.size(), parts.size(), fillPart);
    } catch (...) {
        record();
        throw;
    }
    record();
}

}  // namespace corvane
