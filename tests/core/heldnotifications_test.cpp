#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "pointtable.h"
#include "rowbuilder.h"
#include "tablelistener.h"

namespace corvane {
namespace {

// Every notification as a line of text, in the order heard.
struct Journal : TableListener {
    std::vector<std::string> heard;
    void cellsChanged(int r0, int r1, int c0, int c1) override {
        heard.push_back("cells " + std::to_string(r0) + "-" + std::to_string(r1) + " " +
                        std::to_string(c0) + "-" + std::to_string(c1));
    }
    void checksChanged(int r0, int r1) override {
        heard.push_back("checks " + std::to_string(r0) + "-" + std::to_string(r1));
    }
    void rowsAboutToBeInserted(int, int) override { heard.push_back("inserting"); }
    void rowsInserted() override { heard.push_back("inserted"); }
    void rowsAboutToBeRemoved(int, int) override { heard.push_back("removing"); }
    void rowsRemoved() override { heard.push_back("removed"); }
    void aboutToReset() override { heard.push_back("resetting"); }
    void resetDone() override { heard.push_back("reset"); }
    void stateChanged() override { heard.push_back("state"); }
};

void load(PointTable& table, int n) {
    std::vector<Row> rows;
    for (int i = 0; i < n; ++i)
        rows.push_back(test::rowOf({.name = "P" + std::to_string(i), .north = i}));
    table.replaceAll(std::move(rows), {});
    table.clearHistory();
}

using Edit = void (*)(PointTable&);

struct HeldCase {
    const char* what;
    Edit edit;
    std::vector<std::string> released;
};

TEST(HeldNotifications, ReleaseTellsEverythingAtOnceInTheListenersThread) {
    const std::vector<HeldCase> cases = {
        {"cells of two commands merge into one rectangle",
         [](PointTable& t) {
             t.setText(2, ColRemark, "a");
             t.setText(5, ColDistance, "1");
         },
         {"cells 2-5 6-7", "state"}},
        {"check marks apart from cells",
         [](PointTable& t) {
             t.setChecked(1, true);
             t.setChecked(3, true);
         },
         {"checks 1-3", "state"}},
        {"rows that come or go are a reset",
         [](PointTable& t) {
             t.setText(0, ColRemark, "a");
             t.removeRows({4});
             t.insertRow(1);
         },
         {"resetting", "reset", "state"}},
        {"nothing changed, nothing heard", [](PointTable&) {}, {}},
    };
    for (const HeldCase& c : cases) {
        SCOPED_TRACE(c.what);
        PointTable table;
        load(table, 8);
        Journal journal;
        table.addListener(&journal);
        table.holdNotifications();
        // The edit runs on another thread, as the desktop runs a large one.
        std::thread([&] { c.edit(table); }).join();
        EXPECT_TRUE(journal.heard.empty());
        table.releaseNotifications();
        EXPECT_EQ(journal.heard, c.released);
        // Held no more: the next edit is heard at once.
        journal.heard.clear();
        table.setText(0, ColRemark, "z");
        EXPECT_EQ(journal.heard, (std::vector<std::string>{"cells 0-0 6-6", "state"}));
        table.removeListener(&journal);
    }
}

TEST(HeldNotifications, ListenersComingAndGoingWhileHeld) {
    PointTable table;
    load(table, 3);
    Journal stays, goes, comes;
    table.addListener(&stays);
    table.addListener(&goes);
    table.holdNotifications();
    table.removeListener(&goes);
    table.addListener(&comes);
    table.setText(1, ColRemark, "x");
    table.releaseNotifications();
    EXPECT_EQ(stays.heard, (std::vector<std::string>{"cells 1-1 6-6", "state"}));
    EXPECT_TRUE(goes.heard.empty());
    EXPECT_EQ(comes.heard, stays.heard);
    table.removeListener(&stays);
    table.removeListener(&comes);
}

TEST(HeldNotifications, TheExtentOfUndoAndRedoIsWhatTheStepTouches) {
    PointTable table;
    load(table, 10);
    EXPECT_EQ(table.undoExtent(), 0u);
    table.setText(3, ColRemark, "x");
    EXPECT_EQ(table.undoExtent(), 1u);
    {
        PointTable::Command command(table, "reverse");
        std::vector<int> order{9, 8, 7, 6, 5, 4, 3, 2, 1, 0};
        table.reorderRows(order);
    }
    EXPECT_EQ(table.undoExtent(), 10u);
    table.undo();
    EXPECT_EQ(table.redoExtent(), 10u);
    EXPECT_EQ(table.undoExtent(), 1u);
}

}  // namespace
}  // namespace corvane
