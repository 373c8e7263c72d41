#include "rowarena.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <thread>
#include <vector>

namespace corvane {
namespace {

// Cells of a row numbered `n`: mostly short texts, now and then an empty row, a row
// holding NUL or a row larger than the blocks the arena shares out.
std::vector<std::string> cellsOf(int n) {
    std::vector<std::string> cells(kColumnCount);
    if (n % 997 == 5)
        return cells;  // all empty
    cells[ColName] = "P" + std::to_string(n);
    cells[ColNorth] = std::to_string(3456000 + n) + ".1234";
    cells[ColRemark] = n % 3 == 0 ? "空格（无编码）" : "";
    if (n % 1009 == 7)
        cells[ColOldName] = std::string("a\0b", 3);
    if (n == 4242)
        cells[ColRemark] = std::string(size_t{3} << 20, 'x');
    return cells;
}

Row plainRow(const std::vector<std::string>& cells) {
    std::vector<std::string_view> views(cells.begin(), cells.end());
    return Row(views);
}

Row arenaRow(RowArena& arena, const std::vector<std::string>& cells) {
    std::vector<std::string_view> views(cells.begin(), cells.end());
    return arena.make(views);
}

// Enough rows for several shared blocks; the sanitizer build tells whether every block
// is freed exactly once, after its last row.
TEST(RowArena, RowsAreOrdinaryRowsThatOutliveTheArena) {
    constexpr int kRows = 60000;
    std::vector<Row> rows;
    {
        RowArena arena(32);
        for (int n = 0; n < kRows; ++n) {
            rows.push_back(arenaRow(arena, cellsOf(n)));
            if (n % 10 == 9)
                rows[n - 5] = Row();  // let go while the arena still fills blocks
        }
    }
    for (int n = 0; n < kRows; ++n) {
        if (n % 10 == 4)
            ASSERT_EQ(rows[n], Row()) << n;
        else
            ASSERT_EQ(rows[n], plainRow(cellsOf(n))) << n;
    }
    EXPECT_EQ(rows[4242].cell(ColRemark).size(), size_t{3} << 20);
    EXPECT_EQ(rows[7].cell(ColOldName), "ab");

    // Edits within the room and beyond it, copies and moves, as the table makes them.
    std::mt19937 rng(3);
    for (int n = 0; n < kRows; n += 7) {
        std::vector<std::string> expected = cellsOf(n);
        const std::string segment = "J" + std::to_string(rng() % 3000);
        const std::string distance(rng() % 60, '1');
        const CellText cells[] = {{ColSegmentStart, segment}, {ColDistance, distance}};
        rows[n].setCells(cells);
        if (n % 10 == 4)
            expected = std::vector<std::string>(kColumnCount);
        expected[ColSegmentStart] = segment;
        expected[ColDistance] = distance;
        ASSERT_EQ(rows[n], plainRow(expected)) << n;
        Row copy(rows[n]);
        rows[n] = std::move(rows[n + 1]);
        rows[n + 1] = std::move(copy);
        ASSERT_EQ(rows[n + 1], plainRow(expected)) << n;
    }
    rows.erase(rows.begin(), rows.begin() + kRows / 2);
    rows.shrink_to_fit();
}

TEST(RowArena, RowsMayBeLetGoOnAnotherThread) {
    std::vector<Row> rows;
    RowArena arena;
    for (int n = 0; n < 40000; ++n)
        rows.push_back(arenaRow(arena, cellsOf(n)));
    std::vector<Row> second(std::make_move_iterator(rows.begin() + 20000),
                            std::make_move_iterator(rows.end()));
    rows.resize(20000);
    std::thread other([moved = std::move(second)]() mutable { moved.clear(); });
    rows.clear();
    other.join();
    // The arena's current block is still its own to fill.
    EXPECT_EQ(arenaRow(arena, cellsOf(1)), plainRow(cellsOf(1)));
}

}  // namespace
}  // namespace corvane
