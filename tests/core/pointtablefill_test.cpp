#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "pointtable.h"
#include "tablelistener.h"
#include "vocabularies.h"

namespace corvane {
namespace {

struct CellRectangles : TableListener {
    std::vector<std::array<int, 4>> changes;
    void cellsChanged(int r0, int r1, int c0, int c1) override {
        changes.push_back({r0, r1, c0, c1});
    }
};

// Rows P0..P(n-1) with their number as north coordinate; every third is a J stake.
void loadRows(PointTable& table, int n) {
    std::vector<Row> rows;
    for (int i = 0; i < n; ++i) {
        const std::string name = "P" + std::to_string(i);
        const std::string north = std::to_string(i);
        std::vector<std::string_view> cells(kColumnCount);
        cells[ColName] = name;
        cells[ColNorth] = north;
        cells[ColPointType] = i % 3 == 0 ? kJStake : kOrdinaryPoint;
        rows.emplace_back(cells);
    }
    table.replaceAll(std::move(rows), {});
    table.clearHistory();
}

std::string tableText(const PointTable& table) {
    std::string text;
    for (int r = 0; r < table.fullRowCount(); ++r) {
        for (int c = 0; c < kColumnCount; ++c)
            text.append(table.fullText(r, c)).append(",");
        text += '\n';
    }
    return text;
}

// Writes the north coordinate into the distance of the ordinary points, and tries to
// rename them: names are not filled this way.
RowFiller copyNorth(const PointTable& table) {
    auto text = std::make_shared<std::string>();
    return [&table, text](int row, std::vector<CellText>& cells) {
        if (table.text(row, ColPointType) == kJStake)
            return;
        *text = "d" + std::string(table.text(row, ColNorth));
        cells.push_back({ColName, "renamed"});
        cells.push_back({ColDistance, *text});
        cells.push_back({ColOffset, "0"});
    };
}

TEST(FillRows, EveryOrderGivesTheSameTableAndOneUndoableStep) {
    for (int rows : {11, 100001}) {
        PointTable parallel, topDown;
        loadRows(parallel, rows);
        loadRows(topDown, rows);
        const std::string before = tableText(parallel);
        CellRectangles painted;
        parallel.addListener(&painted);
        {
            PointTable::Command command(parallel, "计算");
            parallel.fillRows([&] { return copyNorth(parallel); }, FillOrder::Parallel);
        }
        topDown.fillRows([&] { return copyNorth(topDown); }, FillOrder::TopDown);

        const std::string after = tableText(parallel);
        EXPECT_EQ(after, tableText(topDown)) << rows;
        EXPECT_EQ(parallel.text(rows - 1, ColDistance), "d" + std::to_string(rows - 1));
        EXPECT_EQ(parallel.text(0, ColDistance), "") << "J stakes were given nothing";
        EXPECT_EQ(parallel.FindPointRow("renamed"), -1);
        ASSERT_EQ(painted.changes.size(), 1u) << "one repaint for the whole fill";
        EXPECT_EQ(painted.changes[0], (std::array<int, 4>{1, rows - 1, ColDistance, ColOffset}));
        EXPECT_EQ(parallel.undoLabel(), "计算");
        parallel.undo();
        EXPECT_EQ(tableText(parallel), before);
        parallel.redo();
        EXPECT_EQ(tableText(parallel), after);
        parallel.removeListener(&painted);
    }
}

TEST(FillRows, FillsTheRowsGivenAndTakesBackWhatWasDoneWhenAFillerFails) {
    PointTable table;
    loadRows(table, 80000);
    const std::string before = tableText(table);
    const std::vector<int> rows{2, 5, 40000, 79999};
    table.fillRows(rows, [] {
        return [](int, std::vector<CellText>& cells) { cells.push_back({ColRemark, "x"}); };
    });
    for (int r = 0; r < table.rowCount(); ++r)
        ASSERT_EQ(table.text(r, ColRemark), r == 2 || r == 5 || r == 40000 || r == 79999 ? "x" : "")
            << r;
    table.undo();
    ASSERT_EQ(tableText(table), before);

    // Cells out of ascending order are passed over, and the rest keep exact undo texts.
    table.setText(2, ColOffset, "old");
    table.clearHistory();
    table.fillRows(rows, [] {
        return [](int, std::vector<CellText>& cells) {
            cells.assign({{ColOffset, "new"}, {ColRemark, "skipped"}});
        };
    });
    EXPECT_EQ(table.text(2, ColOffset), "new");
    EXPECT_EQ(table.text(2, ColRemark), "");
    table.undo();
    EXPECT_EQ(table.text(2, ColOffset), "old");
    table.setText(2, ColOffset, "");
    table.clearHistory();
    ASSERT_EQ(tableText(table), before);

    auto failing = [] {
        return [](int row, std::vector<CellText>& cells) {
            if (row == 70000)
                throw std::runtime_error("stop");
            cells.push_back({ColRemark, "y"});
        };
    };
    // The rows other parts filled before the failure are taken back: the table is the
    // one the edit started from, with no step added to the history.
    EXPECT_THROW(table.fillRows(failing), std::runtime_error);
    EXPECT_EQ(tableText(table), before);
    EXPECT_FALSE(table.canUndo());
}

}  // namespace
}  // namespace corvane
