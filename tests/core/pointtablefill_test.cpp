#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "pointtable.h"
#include "rowbuilder.h"
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
        rows.push_back(test::rowOf({.name = "P" + std::to_string(i),
                                    .north = std::to_string(i),
                                    .type = i % 3 == 0 ? kJStake : kOrdinaryPoint}));
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

TEST(FillRows, FillsTheRowsGiven) {
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
}

// A filler that fails, on any thread, takes the whole batch back: the table is as it
// was, with nothing to undo and nothing repainted. A result that is not a number is
// returned as the topmost such cell; any other exception is thrown on.
TEST(FillRows, AFailingFillerLeavesTheTableAsItWas) {
    const struct Case {
        const char* name;
        std::vector<int> failAt;  // rows whose filler fails
        bool nonFinite;
        FillOrder order;
        bool history;
    } cases[] = {
        {"one row late in the last part", {79000}, true, FillOrder::Parallel, true},
        {"the first row", {0}, true, FillOrder::TopDown, true},
        {"rows in two parts: the upper one is named",
         {70000, 30000},
         true,
         FillOrder::Parallel,
         true},
        {"without history", {50000}, true, FillOrder::Parallel, false},
        {"another exception", {60000}, false, FillOrder::Parallel, true},
        {"another exception top down", {10}, false, FillOrder::TopDown, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PointTable table;
        loadRows(table, 80000);
        table.setHistoryEnabled(c.history);
        table.setText(3, ColRemark, "kept");
        table.clearHistory();
        const std::string before = tableText(table);
        const std::string undoBefore = table.undoLabel();
        CellRectangles painted;
        table.addListener(&painted);
        auto failing = [&c] {
            return [&c](int row, std::vector<CellText>& cells) {
                for (int at : c.failAt) {
                    if (row != at)
                        continue;
                    if (c.nonFinite)
                        throw NonFiniteResult({row, ColOffset});
                    throw std::runtime_error("stop");
                }
                cells.push_back({ColRemark, "y"});
                cells.push_back({ColOffset, "1.000"});
            };
        };
        if (c.nonFinite) {
            std::optional<NonFiniteCell> failed;
            {
                PointTable::Command command(table, "计算");
                failed = table.fillRows(failing, c.order);
            }
            ASSERT_TRUE(failed);
            EXPECT_EQ(failed->row, *std::min_element(c.failAt.begin(), c.failAt.end()));
            EXPECT_EQ(failed->column, ColOffset);
        } else {
            EXPECT_THROW(table.fillRows(failing, c.order), std::runtime_error);
        }
        EXPECT_EQ(tableText(table), before);
        EXPECT_FALSE(table.canUndo());
        EXPECT_TRUE(painted.changes.empty());
        table.removeListener(&painted);

        // The table still takes a batch that succeeds, and its undo is exact.
        EXPECT_FALSE(table.fillRows([] {
            return [](int, std::vector<CellText>& cells) { cells.push_back({ColRemark, "z"}); };
        }));
        EXPECT_EQ(table.text(3, ColRemark), "z");
        if (c.history) {
            table.undo();
            EXPECT_EQ(tableText(table), before);
        }
    }
}

}  // namespace
}  // namespace corvane
