#include "pointtable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <new>
#include <numeric>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "rowarena.h"
#include "rowbuilder.h"
#include "vocabularies.h"

namespace corvane {
namespace {

using test::rowOf;

std::vector<std::string> names(const PointTable& t) {
    std::vector<std::string> out;
    for (int r = 0; r < t.rowCount(); ++r)
        out.emplace_back(t.text(r, ColName));
    return out;
}

// A, J1, B, Z1, J2, C: two J stakes and one Z stake among ordinary points.
void fill(PointTable& t) {
    std::vector<Row> rows;
    rows.push_back(rowOf({.name = "A"}));
    rows.push_back(rowOf({.name = "J1", .type = kJStake}));
    rows.push_back(rowOf({.name = "B"}));
    rows.push_back(rowOf({.name = "Z1", .type = kZStake}));
    rows.push_back(rowOf({.name = "J2", .type = kJStake}));
    rows.push_back(rowOf({.name = "C"}));
    t.replaceAll(std::move(rows), {"other line"});
    t.clearHistory();
    t.markSaved();
}

using Names = std::vector<std::string>;

TEST(Row, KeepsSeventeenCellsAndDropsNul) {
    Row row;
    EXPECT_EQ(row.joined(','), std::string(16, ','));
    row.setCell(3, "x");
    row.setCell(16, "last");
    row.setCell(0, std::string_view("a\0b", 3));
    EXPECT_EQ(row.joined(','), "ab,,,x,,,,,,,,,,,,,last");
    EXPECT_EQ(row.cell(3), "x");
    EXPECT_EQ(row.cell(17), "");
    row.setCell(3, "");
    row.setCell(16, "");
    row.setCell(0, "");
    EXPECT_EQ(row, Row());
}

// A line break in a cell would end the record there in every file written from the
// table, whichever way the text came in; so no cell keeps one.
TEST(PointTable, NoEditPutsALineBreakIntoACellOrAnOtherLine) {
    const struct Case {
        const char* name;
        std::function<void(PointTable&)> edit;
    } cases[] = {
        {"setText", [](PointTable& t) { t.setText(0, ColRemark, "a\r\nb\nc\rd"); }},
        {"setTexts",
         [](PointTable& t) {
             const std::array<CellText, 2> cells{{{ColName, "A\n"}, {ColRemark, "a\r\nb\nc\rd"}}};
             t.setTexts(0, cells);
         }},
        {"fillRows",
         [](PointTable& t) {
             t.fillRows([] {
                 return [](int row, std::vector<CellText>& cells) {
                     if (row == 0)
                         cells.push_back({ColRemark, "a\r\nb\nc\rd"});
                 };
             });
         }},
        {"insertRow",
         [](PointTable& t) {
             t.removeRows({0});
             t.insertRow(0, rowOf({.name = "\rA", .remark = "a\r\nb\nc\rd", .type = ""}));
         }},
        {"replaceAll with rows built as an import builds them",
         [](PointTable& t) {
             std::vector<std::string_view> cells(kColumnCount);
             cells[ColName] = "A";
             cells[ColRemark] = "a\r\nb\nc\rd";
             RowArena arena(32);
             std::vector<Row> rows;
             rows.push_back(arena.make(cells));
             t.replaceAll(std::move(rows), {"other\r\nline", "kept"});
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PointTable t;
        std::vector<Row> rows;
        rows.push_back(rowOf({.name = "A"}));
        t.replaceAll(std::move(rows), {"otherline", "kept"});
        c.edit(t);
        ASSERT_EQ(t.rowCount(), 1);
        EXPECT_EQ(t.text(0, ColName), "A");
        EXPECT_EQ(t.text(0, ColRemark), "abcd");
        EXPECT_EQ(t.otherLines(), (TextLines{"otherline", "kept"}));
    }
}

// An edit that fails part way leaves the table as it found it: the edits made inside
// the outermost command are taken back, and no step enters the history.
TEST(PointTable, ACommandEndedByAnExceptionIsTakenBack) {
    PointTable t;
    fill(t);
    t.setText(0, ColRemark, "kept");
    auto state = [&] {
        std::string s;
        for (int r = 0; r < t.rowCount(); ++r)
            s += t.rowAt(r).joined(',') + (t.isChecked(r) ? "+\n" : "\n");
        return s;
    };
    const std::string before = state();
    EXPECT_THROW(
        {
            PointTable::Command command(t, "失败的命令");
            t.setText(0, ColRemark, "changed");
            t.setChecked(1, true);
            t.insertRow(2, rowOf({.name = "N"}));
            t.removeRows({4});
            {
                PointTable::Command inner(t, "内层");
                t.swapRowTexts(0, 1);
            }
            throw std::bad_alloc();
        },
        std::bad_alloc);
    EXPECT_EQ(state(), before);
    EXPECT_EQ(t.undoLabel(), "编辑");
    EXPECT_EQ(t.FindPointRow("N"), -1);
    EXPECT_EQ(t.FindPointRow("A"), 0);
    t.undo();
    EXPECT_EQ(t.text(0, ColRemark), "");
    EXPECT_FALSE(t.canUndo());

    // An exception caught inside the command is no failure of the command.
    {
        PointTable::Command command(t, "完成的命令");
        t.setText(0, ColRemark, "done");
        try {
            throw std::runtime_error("handled");
        } catch (const std::runtime_error&) {
        }
    }
    EXPECT_EQ(t.text(0, ColRemark), "done");
    EXPECT_EQ(t.undoLabel(), "完成的命令");
}

// Row keeps its cells packed in one buffer; a plain array of strings is the reference.
TEST(Row, AgreesWithPlainCellsUnderRandomEdits) {
    std::mt19937 rng(11);
    const std::vector<std::string> texts{"",
                                         "a",
                                         "-.-",
                                         "1040.000",
                                         "J12",
                                         "跨越物",
                                         "a long remark of more than eight bytes",
                                         std::string("x\0y", 3)};
    Row row;
    std::array<std::string, kColumnCount> expected;
    for (int step = 0; step < 20000; ++step) {
        std::vector<CellText> edits;
        std::vector<std::string> owned;  // texts taken from the row itself are copied for the model
        for (int c = 0; c < kColumnCount; ++c) {
            if (rng() % 5 != 0)
                continue;
            if (rng() % 4 == 0) {
                // A text that points into the row being changed.
                edits.push_back({c, row.cell(static_cast<int>(rng() % kColumnCount))});
            } else {
                edits.push_back({c, texts[rng() % texts.size()]});
            }
        }
        if (rng() % 10 == 0 && edits.size() > 1)
            std::swap(edits.front(), edits.back());  // out of order: set one by one
        for (const CellText& e : edits)
            owned.emplace_back(e.text);
        row.setCells(edits);
        for (size_t i = 0; i < edits.size(); ++i) {
            std::string clean;
            for (char ch : owned[i])
                if (ch != '\0')
                    clean += ch;
            expected[edits[i].column] = clean;
        }
        const std::array<std::string_view, kColumnCount> all = row.cells();
        const int last = step % kColumnCount;
        const std::array<std::string_view, kColumnCount> some = row.cells(last);
        for (int c = 0; c < kColumnCount; ++c) {
            ASSERT_EQ(row.cell(c), expected[c]) << "step " << step << " column " << c;
            ASSERT_EQ(all[c], expected[c]) << "step " << step << " column " << c;
            ASSERT_EQ(some[c], c <= last ? expected[c] : "") << "step " << step << " column " << c;
        }
    }
    for (int c = 0; c < kColumnCount; ++c)
        row.setCell(c, "");
    EXPECT_EQ(row, Row());
    // Copies of the empty row, and copies over a row with text, hold what they copy.
    Row copy(row);
    EXPECT_EQ(copy, Row());
    Row filled;
    filled.setCell(ColName, "P1");
    copy = filled;
    EXPECT_EQ(copy.cell(ColName), "P1");
    copy = row;
    EXPECT_EQ(copy, Row());
    Row moved(std::move(filled));
    EXPECT_EQ(moved.cell(ColName), "P1");
    EXPECT_EQ(filled, Row());  // NOLINT(bugprone-use-after-move): a moved-from row is empty
}

TEST(PointTable, FindPointRowReturnsTheFirstRowOfANameThroughEveryEdit) {
    PointTable t;
    fill(t);
    t.insertRow(0, rowOf({.name = "C"}));
    EXPECT_EQ(t.FindPointRow("C"), 0);
    t.swapRowTexts(0, 6);  // both named C
    EXPECT_EQ(t.FindPointRow("C"), 0);
    t.setText(0, ColName, "D");
    EXPECT_EQ(t.FindPointRow("C"), 6);
    EXPECT_EQ(t.FindPointRow("D"), 0);
    t.removeRows({0});
    EXPECT_EQ(t.FindPointRow("D"), -1);
    EXPECT_EQ(t.FindPointRow("C"), 5);
    t.swapRowTexts(5, 0);
    EXPECT_EQ(t.FindPointRow("C"), 0);
    EXPECT_EQ(t.FindPointRow("A"), 5);
    EXPECT_EQ(t.FindPointRow(""), -1);
    t.insertRow(3);
    EXPECT_EQ(t.FindPointRow(""), 3);
    EXPECT_EQ(t.FindPointRow("c"), -1);  // exact, case-sensitive
    EXPECT_EQ(t.FindPointRow("C "), -1);
}

TEST(PointTable, IndexAndCheckListAgreeWithAScanUnderRandomEdits) {
    PointTable t;
    std::mt19937 rng(7);
    auto name = [&] { return std::string(1, static_cast<char>('a' + rng() % 6)); };
    for (int step = 0; step < 3000; ++step) {
        int n = t.rowCount();
        switch (rng() % 10) {
            case 0:
            case 1:
                t.insertRow(n ? static_cast<int>(rng() % (n + 1)) : 0, rowOf({.name = name()}),
                            rng() % 2);
                break;
            case 7:
            case 8:
                if (n)
                    t.setChecked(static_cast<int>(rng() % n), rng() % 3 != 0);
                break;
            case 9:
                if (rng() % 4 == 0)
                    t.setDisplayMode(static_cast<DisplayMode>(rng() % 3));
                break;
            case 2:
                if (n)
                    t.removeRows({static_cast<int>(rng() % n), static_cast<int>(rng() % n)});
                break;
            case 3:
                if (n)
                    t.setText(static_cast<int>(rng() % n), ColName, name());
                break;
            case 4:
                if (n)
                    t.swapRowTexts(static_cast<int>(rng() % n), static_cast<int>(rng() % n));
                break;
            case 5:
                if (t.canUndo())
                    t.undo();
                break;
            case 6:
                if (t.canRedo())
                    t.redo();
                break;
        }
        for (char c = 'a'; c <= 'f'; ++c) {
            std::string key(1, c);
            int expected = -1;
            for (int r = 0; r < t.rowCount(); ++r) {
                if (t.text(r, ColName) == key) {
                    expected = r;
                    break;
                }
            }
            ASSERT_EQ(t.FindPointRow(key), expected) << "step " << step << " key " << key;
        }
        std::map<std::string_view, std::vector<int>> rowsOfName;
        for (int r = 0; r < t.rowCount(); ++r)
            rowsOfName[t.text(r, ColName)].push_back(r);
        std::vector<std::vector<int>> repeated;
        for (const auto& [name, rows] : rowsOfName)
            if (rows.size() > 1)
                repeated.push_back(rows);
        std::sort(repeated.begin(), repeated.end());
        ASSERT_EQ(t.rowsOfRepeatedNames(), repeated) << "step " << step;
        std::vector<int> checked;
        for (int r = 0; r < t.rowCount(); ++r)
            if (t.isChecked(r))
                checked.push_back(r);
        ASSERT_EQ(t.checkedRows(), checked) << "step " << step;
    }
}

// Only the rows shown count: a name repeated among hidden rows is not repeated, and
// the first row of a name is its first row shown.
TEST(PointTable, RepeatedNamesAreThoseOfTheRowsShown) {
    PointTable t;
    test::load(t, std::vector<test::Cells>{{.name = "X"},
                                           {.name = "Y", .type = kJStake},
                                           {.name = "X", .type = kJStake},
                                           {.name = "Y"},
                                           {.name = "X", .type = kJStake},
                                           {.name = "Z", .type = kJStake}});
    EXPECT_EQ(t.rowsOfRepeatedNames(), (std::vector<std::vector<int>>{{0, 2, 4}, {1, 3}}));
    t.setDisplayMode(DisplayMode::JStakes);  // Y, X, X, Z
    EXPECT_EQ(t.rowsOfRepeatedNames(), (std::vector<std::vector<int>>{{1, 2}}));
}

// Every point carries a tag of its own in the remark column, so that where a key
// leads can be told from the texts.
TEST(PointTable, KeysFollowTheirPointsUnderRandomEdits) {
    PointTable t;
    std::mt19937 rng(11);
    int nextTag = 0;
    auto tagged = [&] {
        Row row = rowOf({.name = std::string(1, static_cast<char>('a' + rng() % 4)),
                         .type = rng() % 3 == 0 ? kJStake : kOrdinaryPoint});
        row.setCell(ColRemark, std::to_string(nextTag++));
        return row;
    };
    std::map<std::string, RowKey> keys;  // by tag, as first seen
    for (int step = 0; step < 2000; ++step) {
        const int n = t.rowCount();
        auto any = [&] { return static_cast<int>(rng() % static_cast<unsigned>(n)); };
        switch (rng() % 9) {
            case 0:
            case 1:
                t.insertRow(n ? static_cast<int>(rng() % (n + 1)) : 0, tagged());
                break;
            case 2:
                if (n)
                    t.removeRows({any(), any()});
                break;
            case 3:
                if (n)
                    t.swapRowTexts(any(), any());
                break;
            case 4: {
                std::vector<int> order(static_cast<size_t>(n));
                std::iota(order.begin(), order.end(), 0);
                std::shuffle(order.begin(), order.end(), rng);
                t.reorderRows(order);
                break;
            }
            case 5:
                if (rng() % 3 == 0)
                    t.setDisplayMode(static_cast<DisplayMode>(rng() % 3));
                break;
            case 6:
                if (n)
                    t.setText(any(), ColName, "renamed");  // a point renamed is the same point
                break;
            case 7:
                t.undo();
                break;
            case 8:
                t.redo();
                break;
        }
        std::map<std::string, int> present;  // tag -> full row
        for (int r = 0; r < t.fullRowCount(); ++r)
            present[std::string(t.fullText(r, ColRemark))] = r;
        for (int r = 0; r < t.rowCount(); ++r) {
            ASSERT_EQ(t.rowOf(t.keyOf(r)), r) << "step " << step;
            keys.emplace(std::string(t.text(r, ColRemark)), t.keyOf(r));
        }
        for (const auto& [tag, key] : keys) {
            const auto it = present.find(tag);
            const int full = it == present.end() ? -1 : it->second;
            ASSERT_EQ(t.fullRowOf(key), full) << "step " << step << " tag " << tag;
            ASSERT_EQ(t.rowOf(key), t.rowOfFull(full)) << "step " << step << " tag " << tag;
        }
    }
}

TEST(PointTable, AnImportGivesNewKeysAndItsUndoTheFormerOnes) {
    PointTable t;
    fill(t);
    const RowKey b = t.keyOf(2);
    EXPECT_EQ(t.rowOf(b), 2);
    t.replaceAll({rowOf({.name = "X"}), rowOf({.name = "Y"}), rowOf({.name = "Z"})}, {});
    EXPECT_EQ(t.rowOf(b), -1);  // row 2 of the new table is another point
    EXPECT_EQ(t.fullRowOf(b), -1);
    EXPECT_NE(t.keyOf(2), b);
    t.undo();
    EXPECT_EQ(t.rowOf(b), 2);
    EXPECT_EQ(t.rowOf(t.keyOf(99)), -1);  // out of range: a key that finds nothing
}

TEST(PointTable, FilterShowsOneTypeAndEditsReachTheFullTable) {
    PointTable t;
    fill(t);
    t.setDisplayMode(DisplayMode::JStakes);
    EXPECT_EQ(names(t), (Names{"J1", "J2"}));
    EXPECT_EQ(t.FindPointRow("J2"), 1);
    EXPECT_EQ(t.FindPointRow("A"), -1);  // hidden rows are not in the table shown
    EXPECT_EQ(t.findFullRow("A"), 0);

    t.setText(1, ColDistance, "105.000");
    t.insertRow(1, rowOf({.name = "N"}));  // after J1's place in the full table
    t.removeRows({0});                     // J1
    EXPECT_EQ(names(t), (Names{"N", "J2"}));

    t.setDisplayMode(DisplayMode::AllPoints);
    EXPECT_EQ(names(t), (Names{"A", "N", "B", "Z1", "J2", "C"}));
    EXPECT_EQ(t.text(4, ColDistance), "105.000");

    t.setDisplayMode(DisplayMode::ZStakes);
    EXPECT_EQ(names(t), (Names{"Z1"}));
    t.insertRow(0, rowOf({.name = "M"}));  // at the top of the shown rows: before Z1
    t.setDisplayMode(DisplayMode::AllPoints);
    EXPECT_EQ(names(t), (Names{"A", "N", "B", "M", "Z1", "J2", "C"}));
}

TEST(PointTable, SortUnderAFilterReordersOnlyTheRowsShown) {
    PointTable t;
    fill(t);
    t.setDisplayMode(DisplayMode::JStakes);
    const int order[] = {1, 0};
    t.reorderRows(order);
    EXPECT_EQ(names(t), (Names{"J2", "J1"}));
    t.setDisplayMode(DisplayMode::AllPoints);
    EXPECT_EQ(names(t), (Names{"A", "J2", "B", "Z1", "J1", "C"}));
    EXPECT_EQ(t.FindPointRow("J1"), 4);
}

TEST(PointTable, FilterClearsCheckMarks) {
    PointTable t;
    fill(t);
    t.setChecked(2, true);
    t.setDisplayMode(DisplayMode::AllPoints);
    EXPECT_FALSE(t.isChecked(2));
}

TEST(PointTable, SwapKeepsCheckMarksInPlace) {
    PointTable t;
    fill(t);
    t.setChecked(2, true);
    t.swapRowTexts(2, 1);
    EXPECT_EQ(t.text(1, ColName), "B");
    EXPECT_TRUE(t.isChecked(2));
    EXPECT_FALSE(t.isChecked(1));
}

TEST(PointTable, EveryEditUndoesAndRedoes) {
    struct Case {
        const char* what;
        void (*edit)(PointTable&);
    } cases[] = {
        {"set text", [](PointTable& t) { t.setText(2, ColNorth, "12.5"); }},
        {"rename", [](PointTable& t) { t.setText(0, ColName, "J1"); }},
        {"check", [](PointTable& t) { t.setChecked(3, true); }},
        {"insert", [](PointTable& t) { t.insertRow(2, rowOf({.name = "X"}), true); }},
        {"append",
         [](PointTable& t) {
             t.appendRows({rowOf({.name = "X"}), rowOf({.name = "Y"})});
         }},
        {"remove",
         [](PointTable& t) {
             t.removeRows({5, 0, 3});
         }},
        {"swap", [](PointTable& t) { t.swapRowTexts(0, 5); }},
        {"reorder",
         [](PointTable& t) {
             const int o[] = {5, 4, 3, 2, 1, 0};
             t.reorderRows(o);
         }},
        {"replace", [](PointTable& t) { t.replaceAll({rowOf({.name = "Q"})}, {}); }},
        {"line points",
         [](PointTable& t) {
             t.setLinePoints({"J1", "J2"});
         }},
        {"command",
         [](PointTable& t) {
             PointTable::Command command(t, "计算");
             t.setText(0, ColDistance, "1");
             t.setText(0, ColDistance, "2");
             t.insertRow(0, rowOf({.name = "new"}));
             t.setText(1, ColDistance, "3");
             t.removeRows({2});
         }},
    };
    for (const auto& c : cases) {
        PointTable t;
        fill(t);
        t.setLinePoints({"J1"});
        t.clearHistory();
        t.markSaved();
        auto state = [&] {
            std::string s;
            for (int r = 0; r < t.rowCount(); ++r)
                s += t.rowAt(r).joined(',') + (t.isChecked(r) ? "+\n" : "\n");
            for (const auto& n : t.linePoints())
                s += n + ";";
            for (const auto& n : t.otherLines())
                s.append(n) += "|";
            return s;
        };
        std::string before = state();
        c.edit(t);
        std::string after = state();
        ASSERT_NE(before, after) << c.what;
        ASSERT_TRUE(t.canUndo()) << c.what;
        t.undo();
        EXPECT_EQ(state(), before) << c.what;
        EXPECT_FALSE(t.canUndo()) << c.what << ": one step per command";
        t.redo();
        EXPECT_EQ(state(), after) << c.what;
        t.undo();
        EXPECT_EQ(state(), before) << c.what;
    }
}

TEST(PointTable, UndoAcrossAFilterRestoresTheFullTable) {
    PointTable t;
    fill(t);
    t.setDisplayMode(DisplayMode::JStakes);
    t.removeRows({0, 1});
    EXPECT_EQ(t.rowCount(), 0);
    t.setDisplayMode(DisplayMode::AllPoints);
    EXPECT_EQ(names(t), (Names{"A", "B", "Z1", "C"}));
    t.undo();
    EXPECT_EQ(names(t), (Names{"A", "J1", "B", "Z1", "J2", "C"}));
    EXPECT_EQ(t.FindPointRow("J2"), 4);
}

TEST(PointTable, ModifiedFollowsSavedStateThroughUndo) {
    PointTable t;
    fill(t);
    EXPECT_FALSE(t.isModified());
    t.setChecked(0, true);
    EXPECT_FALSE(t.isModified()) << "check marks are not data";
    t.setText(0, ColRemark, "r");
    EXPECT_TRUE(t.isModified());
    t.undo();
    EXPECT_FALSE(t.isModified());
    t.redo();
    t.markSaved();
    EXPECT_FALSE(t.isModified());
    t.undo();
    EXPECT_TRUE(t.isModified());
    t.setText(1, ColRemark, "other");  // the saved state can no longer be reached
    t.undo();
    EXPECT_TRUE(t.isModified());
}

TEST(PointTable, ChangedPointsCountEachPointOnceSinceTheSavedState) {
    PointTable t;
    fill(t);
    t.setChecked(0, true);
    EXPECT_EQ(t.changedPointCount(), 0) << "check marks are not data";
    t.setText(0, ColRemark, "r");
    t.setText(0, ColDistance, "5");
    EXPECT_EQ(t.changedPointCount(), 1) << "two cells of one point";
    t.setText(2, ColRemark, "r");
    EXPECT_EQ(t.changedPointCount(), 2);
    t.undo();
    EXPECT_EQ(t.changedPointCount(), 1);
    t.redo();
    t.swapRowTexts(3, 4);
    EXPECT_EQ(t.changedPointCount(), 4);
    t.insertRow(6);
    t.removeRows({1});
    EXPECT_EQ(t.changedPointCount(), 6);

    t.markSaved();
    EXPECT_EQ(t.changedPointCount(), 0);
    const int order[] = {1, 0, 2, 3, 4, 5};
    t.reorderRows(order);
    EXPECT_EQ(t.changedPointCount(), 2) << "a sort counts the points it moved";
    t.undo();
    EXPECT_EQ(t.changedPointCount(), 0);

    // A new table: every point of the larger of the two.
    t.replaceAll({rowOf({.name = "X"})}, {});
    EXPECT_EQ(t.changedPointCount(), 6);
    t.markSaved();
    t.undo();
    EXPECT_EQ(t.changedPointCount(), 6);
    t.setText(0, ColRemark, "the saved state is gone");
    EXPECT_EQ(t.changedPointCount(), t.fullRowCount());
}

TEST(PointTable, SourceFollowsTheTableThroughUndo) {
    PointTable t;
    EXPECT_EQ(t.source(), "");
    t.replaceAll({rowOf({.name = "A"})}, {}, "/data/a.ept");
    t.replaceAll({rowOf({.name = "B"})}, {}, "/data/b.csv");
    EXPECT_EQ(t.source(), "/data/b.csv");
    t.undo();
    EXPECT_EQ(t.source(), "/data/a.ept");
    EXPECT_EQ(t.text(0, ColName), "A");
    t.undo();
    EXPECT_EQ(t.source(), "");
    t.redo();
    EXPECT_EQ(t.source(), "/data/a.ept");
    t.setText(0, ColRemark, "edits keep the source");
    EXPECT_EQ(t.source(), "/data/a.ept");
}

TEST(PointTable, WithoutHistoryEditsApplyAndOnlyTheModifiedStateIsKept) {
    PointTable t;
    fill(t);
    t.setText(0, ColRemark, "kept before");
    t.setHistoryEnabled(false);
    EXPECT_FALSE(t.canUndo());
    EXPECT_TRUE(t.isModified());
    t.markSaved();
    t.setChecked(2, true);
    EXPECT_FALSE(t.isModified()) << "check marks are not data";
    const CellText cells[] = {{ColSegmentStart, "J1"}, {ColSegmentEnd, "J2"}, {ColDistance, "5"}};
    t.setTexts(2, cells);
    t.swapRowTexts(0, 5);
    t.removeRows({1});
    t.setLinePoints({"J1", "J2"});
    EXPECT_EQ(names(t), (Names{"C", "B", "Z1", "J2", "A"}));
    EXPECT_EQ(t.text(1, ColSegmentEnd), "J2");
    EXPECT_EQ(t.text(1, ColDistance), "5");
    EXPECT_TRUE(t.isChecked(1));
    EXPECT_EQ(t.FindPointRow("A"), 4);
    EXPECT_FALSE(t.canUndo());
    EXPECT_EQ(t.historyBytes(), 0u);
    EXPECT_TRUE(t.isModified());
    t.markSaved();
    EXPECT_FALSE(t.isModified());
    t.setHistoryEnabled(true);
    t.setText(0, ColRemark, "x");
    ASSERT_TRUE(t.canUndo());
    t.undo();
    EXPECT_EQ(t.text(0, ColRemark), "");
}

TEST(PointTable, UndoRecordGrowsWithTheChangeNotTheTable) {
    PointTable t;
    std::vector<Row> rows;
    for (int i = 0; i < 50000; ++i)
        rows.push_back(rowOf({.name = "P" + std::to_string(i)}));
    t.replaceAll(std::move(rows), {});
    t.clearHistory();
    t.setText(100, ColRemark, "a remark");
    EXPECT_LT(t.historyBytes(), 1024u);
    t.insertRow(10);
    t.removeRows({20});
    EXPECT_LT(t.historyBytes(), 4096u);
}

TEST(PointTable, OutOfRangeEditsAreIgnored) {
    PointTable t;
    fill(t);
    t.setText(99, 0, "x");
    t.setText(0, 17, "x");
    t.setChecked(-1, true);
    t.insertRow(99);
    t.removeRows({-1, 99});
    t.swapRowTexts(0, 99);
    const int bad[] = {0, 0, 1, 2, 3, 4};
    t.reorderRows(bad);
    EXPECT_FALSE(t.canUndo());
    EXPECT_EQ(t.text(99, 0), "");
    EXPECT_EQ(t.text(0, 99), "");
}

}  // namespace
}  // namespace corvane
