// The recovery copy gives back exactly the table it was taken from, and a copy that is
// cut short, damaged or of a later version is refused with a message that says which.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bytefiles.h"
#include "recoverycopy.h"
#include "rowbuilder.h"
#include "tablestate.h"
#include "tempdir.h"
#include "vocabularies.h"

namespace corvane {
namespace {

using test::Cells;

// A table with what a copy must not lose: texts with commas and blanks at their ends
// (an ".ept" line would lose both), an empty row, Chinese, repeated names, check marks,
// other lines (an empty one too), a line point list and a file name.
void fill(PointTable& table) {
    std::vector<Row> rows = test::rowsOf({
        {.name = "J1", .north = "100.0000", .east = "200.0000", .type = kJStake},
        {.name = " 点,1 ", .north = "1,5", .remark = "  带空格  ", .type = kOrdinaryPoint},
        {},
        {.name = "J2", .north = "110", .east = "210", .type = kJStake, .oldName = "旧J2"},
        {.name = "Z1", .type = kZStake},
        {.name = "J1", .remark = "同名"},
    });
    TextLines other{"标题行", "", "说明,有逗号"};
    table.replaceAll(std::move(rows), std::move(other), "/数据/线路 一.ept");
    table.setLinePoints({"J1", "J2"});
    table.setText(4, ColDistance, "12.345");
    table.setChecked(1, true);
    table.setChecked(5, true);
}

struct Fixture {
    test::TempFolder dir;
    std::string path = dir.file("copy.cvr");
};

TEST(RecoveryCopy, GivesBackTheWholeTableExactly) {
    for (DisplayMode mode : {DisplayMode::AllPoints, DisplayMode::JStakes}) {
        SCOPED_TRACE(static_cast<int>(mode));
        PointTable table;
        fill(table);
        if (mode != DisplayMode::AllPoints) {
            table.setDisplayMode(mode);
            table.setChecked(1, true);  // the second J stake shown: full row 3
        }
        const RecoveryState taken = takeRecoveryState(table, 1'765'000'000'123);
        Fixture f;
        ASSERT_TRUE(writeRecoveryFile(f.path, taken).ok());

        Result<RecoveryInfo> info = readRecoveryInfo(f.path);
        ASSERT_TRUE(info.ok()) << info.error().message;
        EXPECT_EQ(info->source, "/数据/线路 一.ept");
        EXPECT_EQ(info->takenAtMs, 1'765'000'000'123);
        EXPECT_EQ(info->rowCount, 6u);

        Result<RecoveryState> read = readRecoveryFile(f.path);
        ASSERT_TRUE(read.ok()) << read.error().message;
        EXPECT_EQ(read.value(), taken);

        PointTable restored;
        restoreRecoveryState(restored, std::move(read.value()));
        EXPECT_EQ(test::fullState(restored), test::fullState(table));
        EXPECT_EQ(restored.displayMode(), mode);
        EXPECT_EQ(restored.rowCount(), table.rowCount());
        EXPECT_EQ(restored.otherLines(), table.otherLines());
        EXPECT_EQ(restored.source(), table.source());
        for (int r = 0; r < table.fullRowCount(); ++r)
            EXPECT_EQ(restored.fullRowAt(r), table.fullRowAt(r)) << r;
        EXPECT_TRUE(restored.isModified());
        EXPECT_FALSE(restored.canUndo());
        EXPECT_FALSE(restored.canRedo());
    }
}

TEST(RecoveryCopy, AnEmptyTableRoundTrips) {
    PointTable table;
    const RecoveryState taken = takeRecoveryState(table, 0);
    Fixture f;
    ASSERT_TRUE(writeRecoveryFile(f.path, taken).ok());
    Result<RecoveryState> read = readRecoveryFile(f.path);
    ASSERT_TRUE(read.ok()) << read.error().message;
    EXPECT_EQ(read.value(), taken);
}

TEST(RecoveryCopy, RefusesCopiesCutShortDamagedOrNewer) {
    PointTable table;
    fill(table);
    Fixture f;
    ASSERT_TRUE(writeRecoveryFile(f.path, takeRecoveryState(table, 5)).ok());
    const std::string whole = test::readFile(f.path);

    struct Case {
        const char* what;
        std::string bytes;
        const char* message;  // part of the error
        bool headReads;       // whether the head alone looks right
    };
    std::string flipped = whole;
    flipped[whole.size() / 2] ^= 0x20;
    std::string newer = whole;
    newer[8] = 2;
    std::string notACopy = "J1,100,200\r\n";
    const std::vector<Case> cases = {
        {"empty", "", "不完整", false},
        {"magic only", whole.substr(0, 8), "不完整", false},
        {"head cut", whole.substr(0, 30), "不完整", false},
        {"half", whole.substr(0, whole.size() / 2), "不完整", false},
        {"last byte missing", whole.substr(0, whole.size() - 1), "不完整", false},
        {"byte flipped", flipped, "损坏", true},
        {"byte added", whole + "x", "损坏", false},
        {"later version", newer, "更新版本", false},
        {"a point file", notACopy, "不是", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::writeFile(f.path, c.bytes);
        Result<RecoveryState> read = readRecoveryFile(f.path);
        ASSERT_FALSE(read.ok());
        EXPECT_NE(read.error().message.find(c.message), std::string::npos) << read.error().message;
        EXPECT_EQ(readRecoveryInfo(f.path).ok(), c.headReads);
    }
}

}  // namespace
}  // namespace corvane
