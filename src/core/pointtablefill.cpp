// PointTable::fillRows: the edit the computations make to every row of a large table,
// shared out over the cores.

#include <algorithm>
#include <array>
#include <exception>
#include <numeric>
#include <thread>

#include "pointtable.h"
#include "tablehistory.h"

namespace corvane {
namespace {

// Below this a batch is filled on the calling thread: starting threads would cost more
// than they save.
constexpr size_t kParallelRows = size_t{1} << 15;

// What one thread changed: the former texts for undo and the rectangle to repaint.
struct FillPart {
    CellChanges history;
    int firstRow = -1;
    int lastRow = -1;
    int firstColumn = kColumnCount;
    int lastColumn = -1;
    std::exception_ptr failure;
};

size_t threadsFor(size_t rows) {
    if (rows < kParallelRows)
        return 1;
    return std::clamp(std::thread::hardware_concurrency(), 1u, 4u);
}

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
    std::vector<FillPart> parts(order == FillOrder::TopDown ? 1 : threadsFor(rows.size()));
    // Each part edits its own rows only; a row's block is its own (or, for rows built
    // together, counted atomically), so the parts share nothing they write.
    auto fillPart = [&](size_t k) {
        FillPart& part = parts[k];
        try {
            const RowFiller fill = makeFiller();
            std::vector<CellText> cells;
            std::array<CellText, kColumnCount> changed;
            const size_t begin = rows.size() * k / parts.size();
            const size_t end = rows.size() * (k + 1) / parts.size();
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
                const std::array<std::string_view, kColumnCount> current =
                    content.cells(cells.empty() ? -1 : cells.back().column);
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
        } catch (...) {
            part.failure = std::current_exception();
        }
    };
    {
        std::vector<std::jthread> workers;
        for (size_t k = 1; k < parts.size(); ++k)
            workers.emplace_back(fillPart, k);
        fillPart(0);
    }
    // What was changed goes into the record even when a part failed, so undo stays exact.
    TableCommandRecord& record = *m_pending;
    for (FillPart& part : parts) {
        if (part.firstRow < 0)
            continue;
        record.touchesData = true;
        if (m_keepHistory)
            record.ops.emplace_back(std::move(part.history));
        markDirty(part.firstRow, part.firstColumn);
        markDirty(part.lastRow, part.lastColumn);
    }
    for (const FillPart& part : parts)
        if (part.failure)
            std::rethrow_exception(part.failure);
}

}  // namespace corvane
