// PointTable::fillRows: the edit the computations make to every row of a large table,
// shared out over the cores.

#include <algorithm>
#include <array>
#include <atomic>
#include <numeric>

#include "parallelparts.h"
#include "pointtable.h"
#include "tablehistory.h"

namespace corvane {
namespace {

// What one thread changed: the former texts (for undo, and to take the batch back when
// a filler fails) and the rectangle to repaint.
struct FillPart {
    CellChanges history;
    int firstRow = -1;
    int lastRow = -1;
    int firstColumn = kColumnCount;
    int lastColumn = -1;
};

}  // namespace

std::optional<NonFiniteCell> PointTable::fillRows(const std::function<RowFiller()>& makeFiller,
                                                  FillOrder order) {
    std::vector<int> all(static_cast<size_t>(rowCount()));
    std::iota(all.begin(), all.end(), 0);
    return fillRows(all, makeFiller, order);
}

std::optional<NonFiniteCell> PointTable::fillRows(std::span<const int> rows,
                                                  const std::function<RowFiller()>& makeFiller,
                                                  FillOrder order) {
    if (rows.empty())
        return std::nullopt;
    Command scope(*this, "编辑");
    std::vector<FillPart> parts(order == FillOrder::TopDown ? 1 : partsFor(rows.size()));
    // A part stops once a part above it has failed: the failure reported is the topmost
    // one, and everything is taken back anyway.
    std::atomic<size_t> firstFailedPart{parts.size()};
    // Each part edits its own rows only; a row's block is its own (or, for rows built
    // together, counted atomically), so the parts share nothing they write.
    auto fillPart = [&](size_t k, size_t begin, size_t end) {
        FillPart& part = parts[k];
        const RowFiller fill = makeFiller();
        std::vector<CellText> cells;
        std::array<CellText, kColumnCount> changed;
        try {
            for (size_t i = begin; i < end; ++i) {
                if (firstFailedPart.load(std::memory_order_relaxed) < k)
                    return;
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
                    // Kept with or without history: a failure later on takes the batch back.
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
        } catch (...) {
            size_t failed = firstFailedPart.load();
            while (k < failed && !firstFailedPart.compare_exchange_weak(failed, k)) {
            }
            throw;
        }
    };
    // A failed batch leaves the table as it was, with nothing to undo: every part puts
    // back its former texts, latest first.
    auto takeBack = [&] {
        for (FillPart& part : parts) {
            const CellChanges& h = part.history;
            for (size_t i = h.ids.size(); i-- > 0;)
                m_rows[h.ids[i]].setCell(h.columns[i], h.textAt(i));
        }
    };
    try {
        runInParts(rows.size(), parts.size(), fillPart);
    } catch (const NonFiniteResult& failure) {
        takeBack();
        return failure.cell();
    } catch (...) {
        takeBack();
        throw;
    }
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
    return std::nullopt;
}

}  // namespace corvane
