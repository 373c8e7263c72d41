// Whatever the program writes it reads back as the same table: random tables of ASCII,
// the vocabularies and GB2312 Chinese, written as ".ept", as the ".csv" table and as a
// merge output. Code page 936 bytes of few Chinese characters are often valid UTF-8 by
// accident ("J桩" is D7 AE, U+05EE as UTF-8); such files must still read as code page 936.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "bytefiles.h"
#include "cp936.h"
#include "filemerge.h"
#include "pointfilereader.h"
#include "pointfilewriter.h"
#include "pointtable.h"
#include "tablestate.h"
#include "vocabularies.h"

namespace corvane {
namespace {

using test::gbk;

// What the texts of one table are drawn from.
enum class Palette { Ascii, StakesOnly, AsciiAndVocabulary, Everything };

class TableMaker {
public:
    explicit TableMaker(unsigned seed) : m_random(seed) {}

    int below(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_random); }

    // A text without line ends, commas or white space at its ends (the field splitting
    // trims those, and editors and imports never leave them in a cell).
    std::string text(Palette palette, int maxPieces) {
        std::string out;
        const int pieces = below(maxPieces + 1);
        for (int i = 0; i < pieces; ++i) {
            switch (palette == Palette::Ascii ? 0 : palette == Palette::StakesOnly ? 1 : below(4)) {
                case 0:
                    out += asciiWord();
                    break;
                case 1:
                    out += below(2) ? kJStake : kZStake;
                    break;
                case 2:
                    out += palette == Palette::Everything ? gb2312(1 + below(4)) : vocabulary();
                    break;
                default:
                    out += vocabulary();
                    break;
            }
        }
        return out;
    }

    void fill(PointTable& table, Palette palette) {
        std::vector<Row> rows;
        const int rowCount = 1 + below(below(4) == 0 ? 40 : 4);
        for (int r = 0; r < rowCount; ++r) {
            std::vector<std::string> cells(kColumnCount);
            // Names are unique and never empty, so a merge with itself keeps every row.
            cells[0] = text(palette, 2) + "#" + std::to_string(r);
            for (int c = 1; c < kColumnCount; ++c)
                cells[c] = text(palette, below(3) == 0 ? 0 : 3);
            std::vector<std::string_view> views(cells.begin(), cells.end());
            rows.emplace_back(views);
        }
        TextLines other;
        const int otherCount = below(3);
        for (int i = 0; i < otherCount; ++i) {
            // No more than ten fields; the first two unique and not empty (the merge's key).
            std::string line = "L" + std::to_string(i) + text(palette, 2) + ",x" + text(palette, 2);
            for (int f = below(8); f > 0; --f)
                line += (below(2) ? ", " : ",") + text(palette, 2);
            other.push_back(line);
        }
        table.replaceAll(std::move(rows), std::move(other));
    }

private:
    std::string asciiWord() {
        static const std::string kChars = "ABCXYZabcxyz0123456789.-+_()[]/\\\"'#;:!?%&*<=>@^`{|}~$";
        std::string out;
        for (int n = 1 + below(6); n > 0; --n)
            out += kChars[below(static_cast<int>(kChars.size()))];
        if (below(4) == 0)
            out += " " + std::to_string(below(1000));  // a space inside a text
        return out;
    }

    std::string vocabulary() {
        const std::span<const std::string_view> lists[] = {pointTypes(), poleTypes(),
                                                           crossingObjects(), lineClasses()};
        const auto list = lists[below(4)];
        const std::string_view extra[] = {kRawRemark, kRawCrossing, kRawPoleType, kUnresolved};
        if (below(5) == 0)
            return std::string(extra[below(4)]);
        return std::string(list[below(static_cast<int>(list.size()))]);
    }

    // Characters of GB2312 (both bytes 0xA1..0xFE): symbols, letters and Chinese.
    std::string gb2312(int count) {
        std::string out;
        while (count > 0) {
            const std::string bytes{static_cast<char>(0xA1 + below(0xF7 - 0xA1 + 1)),
                                    static_cast<char>(0xA1 + below(0xFE - 0xA1 + 1))};
            std::string text;
            size_t invalid = 0;
            cp936::decode(bytes, text, invalid);
            if (invalid != 0 || text == "\xE3\x80\x80")  // no code; U+3000 is trimmed
                continue;
            out += text;
            --count;
        }
        return out;
    }

    std::mt19937 m_random;
};

std::vector<std::string> rowTexts(const std::vector<Row>& rows, size_t from = 0) {
    std::vector<std::string> out;
    for (size_t r = from; r < rows.size(); ++r)
        out.push_back(rows[r].joined('|'));
    return out;
}

std::vector<std::string> rowTexts(const PointTable& table) {
    std::vector<std::string> out;
    for (int r = 0; r < table.rowCount(); ++r)
        out.push_back(table.rowAt(r).joined('|'));
    return out;
}

using test::readsAsUtf8;

// Reads `bytes` with the ".ept" layout and checks it gives the table's rows (after
// `skipRows` leading rows) and `otherLines`.
void expectReadsAs(const std::string& bytes, const PointTable& table, size_t skipRows,
                   const TextLines& otherLines) {
    Result<ImportedPoints> read = parsePointFile(bytes, PointFileFormat::Ept);
    ASSERT_TRUE(read.ok()) << read.error().message;
    if (readsAsUtf8(bytes)) {
        EXPECT_NE(read->encoding, TextEncoding::Cp936);
        return;
    }
    EXPECT_EQ(read->encoding, TextEncoding::Cp936);
    EXPECT_EQ(read->invalidSequences, 0u);
    EXPECT_EQ(rowTexts(read->rows, skipRows), rowTexts(table));
    EXPECT_EQ(read->otherLines, otherLines);
}

TEST(RoundTrip, EveryWrittenFileReadsBackAsTheSameTable) {
    const Palette palettes[] = {Palette::Ascii, Palette::StakesOnly, Palette::AsciiAndVocabulary,
                                Palette::Everything};
    TableMaker maker(20240612);
    for (int n = 0; n < 500; ++n) {
        const Palette palette = palettes[n % 4];
        PointTable table;
        maker.fill(table, palette);
        SCOPED_TRACE("table " + std::to_string(n) + ", first row " + table.rowAt(0).joined(','));

        const Result<std::string> ept = buildEptFile(table);
        ASSERT_TRUE(ept.ok()) << ept.error().message;
        expectReadsAs(ept.value(), table, 0, table.otherLines());

        // The ".csv" table has no other lines; its header line reads as a row.
        const Result<std::string> csv = buildCsvTable(table);
        ASSERT_TRUE(csv.ok()) << csv.error().message;
        expectReadsAs(csv.value(), table, 1, {});

        // Merged with itself, a file of distinct keys is itself.
        const Result<MergeResult> merged =
            mergePointData(ept.value(), ept.value(), {"a.ept", "b.ept"});
        ASSERT_TRUE(merged.ok()) << merged.error().message;
        expectReadsAs(merged->bytes, table, 0, table.otherLines());
        if (::testing::Test::HasFailure())
            break;  // one table's messages are enough
    }
}

// A file whose only Chinese is "J桩" and "Z桩" is valid UTF-8 of two-byte characters.
TEST(RoundTrip, StakesOnlyFileIsCodePage936) {
    const std::string bytes = test::readFile(CORVANE_TEST_DATA "/files/stakes-only.ept");
    ASSERT_TRUE(isValidUtf8(bytes));
    Result<ImportedPoints> read = parsePointFile(bytes, PointFileFormat::Ept);
    ASSERT_TRUE(read.ok()) << read.error().message;
    EXPECT_EQ(read->encoding, TextEncoding::Cp936);
    ASSERT_EQ(read->rows.size(), 3u);
    EXPECT_EQ(read->rows[0].cell(ColPointType), kJStake);
    EXPECT_EQ(read->rows[1].cell(ColPointType), kZStake);
    EXPECT_EQ(read->rows[2].cell(ColPointType), kJStake);
    PointTable table;
    table.replaceAll(std::move(read->rows), std::move(read->otherLines));
    EXPECT_EQ(buildEptFile(table).value(), bytes);
}

}  // namespace
}  // namespace corvane
