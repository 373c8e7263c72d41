#include "tableclipboard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pointtable.h"
#include "rowbuilder.h"

namespace corvane {
namespace {

void fill(PointTable& t, int n) {
    std::vector<Row> rows;
    for (int i = 0; i < n; ++i)
        rows.push_back(
            test::rowOf({.name = "P" + std::to_string(i), .north = std::to_string(i), .type = ""}));
    test::load(t, std::move(rows));
}

TEST(TableClipboard, CopiedRowsPasteBackAsTheSameCells) {
    PointTable t;
    fill(t, 3);
    t.setText(1, ColOldName, "old");
    std::string text;
    appendRowAsTabText(t, 1, text);
    EXPECT_EQ(text, "P1\t1\t\t\t\t\t\t\t\t\t\t\t\t\t\t\told\n");
    t.clearHistory();
    PasteOutcome outcome = pasteTabText(t, 2, 0, text);
    EXPECT_EQ(outcome.status, PasteOutcome::Status::Pasted);
    EXPECT_EQ(t.rowAt(2), t.rowAt(1));
    t.undo();
    EXPECT_EQ(t.text(2, ColName), "P2");
    EXPECT_FALSE(t.canUndo());
}

struct PasteCase {
    const char* what;
    int row, column;
    const char* text;
    PasteOutcome::Status status;
    int rows, clippedRows, clippedColumns;
    std::vector<std::tuple<int, int, const char*>> cells;  // expected afterwards
};

// The case's name in test listings, rather than its bytes.
void PrintTo(const PasteCase& c, std::ostream* os) {
    *os << c.what;
}

class PasteTest : public testing::TestWithParam<PasteCase> {};

TEST_P(PasteTest, WritesTheBlockFromTheCurrentCell) {
    const PasteCase c = GetParam();
    PointTable t;
    fill(t, 3);
    const PasteOutcome outcome = pasteTabText(t, c.row, c.column, c.text);
    EXPECT_EQ(outcome.status, c.status) << c.what;
    EXPECT_EQ(outcome.rows, c.rows) << c.what;
    EXPECT_EQ(outcome.clippedRows, c.clippedRows) << c.what;
    EXPECT_EQ(outcome.clippedColumns, c.clippedColumns) << c.what;
    for (const auto& [r, col, text] : c.cells) {
        EXPECT_EQ(t.text(r, col), text) << c.what << " (" << r << "," << col << ")";
    }
    if (c.status != PasteOutcome::Status::Pasted) {
        EXPECT_FALSE(t.canUndo()) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    TableClipboard, PasteTest,
    testing::Values(
        PasteCase{
            "one cell", 1, 6, "remark", PasteOutcome::Status::Pasted, 1, 0, 0, {{1, 6, "remark"}}},
        PasteCase{"block with CR LF",
                  0,
                  1,
                  "a\tb\r\nc\td\r\n",
                  PasteOutcome::Status::Pasted,
                  2,
                  0,
                  0,
                  {{0, 1, "a"}, {0, 2, "b"}, {1, 1, "c"}, {1, 2, "d"}, {2, 1, "2"}}},
        PasteCase{"empty fields empty the cells",
                  0,
                  0,
                  "\tx",
                  PasteOutcome::Status::Pasted,
                  1,
                  0,
                  0,
                  {{0, 0, ""}, {0, 1, "x"}}},
        PasteCase{"below the last row",
                  2,
                  0,
                  "X\nY\nZ",
                  PasteOutcome::Status::Pasted,
                  1,
                  2,
                  0,
                  {{2, 0, "X"}, {1, 0, "P1"}}},
        PasteCase{"right of the last column",
                  0,
                  15,
                  "a\tb\tc",
                  PasteOutcome::Status::Pasted,
                  1,
                  0,
                  1,
                  {{0, 15, "a"}, {0, 16, "b"}}},
        PasteCase{"a comma refuses the whole block",
                  0,
                  0,
                  "ok\nnot,ok",
                  PasteOutcome::Status::Refused,
                  0,
                  0,
                  0,
                  {{0, 0, "P0"}, {1, 0, "P1"}}},
        PasteCase{"a lone carriage return is a line break",
                  0,
                  0,
                  "a\rb",
                  PasteOutcome::Status::Refused,
                  0,
                  0,
                  0,
                  {{0, 0, "P0"}}},
        PasteCase{"nothing", 0, 0, "", PasteOutcome::Status::Empty, 0, 0, 0, {{0, 0, "P0"}}}));

}  // namespace
}  // namespace corvane
