// The .ept and .csv writers: exact bytes, round trips through the import, and the
// refusal of text that code page 936 cannot hold.

#include "pointfilewriter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "bytefiles.h"
#include "cp936.h"
#include "exportformat.h"
#include "pointfilereader.h"
#include "pointtable.h"
#include "tempdir.h"

namespace corvane {
namespace {

using test::gbk;
using test::readFile;

const std::string kData = CORVANE_TEST_DATA "/files/";

const char* const kCsvHeader =
    "点名,北坐标X[m],东坐标Y[m],高程H[m],电力线起点,电力线终点,备注,累距[m],离中[m],点类型,"
    "跨越物,量高[m],角度[Rad],杆型,长度[m],宽度[m],旧点名\r\n";

void load(PointTable& table, std::string_view bytes, PointFileFormat format) {
    Result<ImportedPoints> imported = parsePointFile(bytes, format);
    ASSERT_TRUE(imported.ok()) << imported.error().message;
    table.replaceAll(std::move(imported->rows), std::move(imported->otherLines));
}

std::string ept(const PointTable& table) {
    Result<std::string> bytes = buildEptFile(table);
    EXPECT_TRUE(bytes.ok()) << bytes.error().message;
    return bytes ? bytes.value() : std::string();
}

TEST(EptWriter, RoundTripIsByteForByte) {
    // Files as the writer writes them (other lines first, CR LF) come back unchanged.
    const std::string cases[] = {
        readFile(kData + "survey.ept"),
        gbk("P1,1,2,3,,,,,,,,,,,,,\r\n"),
        gbk("\r\n\r\n,,,,,,,,,,,,,,,,\r\n"),
        gbk("只有其他行\r\n  带空格的行  \r\na,b,c,d,e,f,g,h,i,j\r\n"),
        gbk("N,1e400,nan,-0,inf,0x1A,-.-,,,,,,,,,,\r\n"),
        // The euro sign of byte 0x80, and U+3000 inside a field.
        std::string("\x80,a\xA1\xA1"
                    "b,1,2,,,,,,,,,,,,,\r\n"),
    };
    for (const std::string& bytes : cases) {
        PointTable table;
        load(table, bytes, PointFileFormat::Ept);
        EXPECT_EQ(ept(table), bytes);
    }
}

TEST(EptWriter, WritesCrLfAndOtherLinesFirst) {
    const struct Case {
        const char* name;
        std::string input;
        std::string output;
    } cases[] = {
        {"LF becomes CR LF", "t\nP,1,2,3,,,,,,,\n", "t\r\nP,1,2,3,,,,,,,,,,,,,\r\n"},
        {"CR only becomes CR LF", "t\rP,1,2,3,,,,,,,\r", "t\r\nP,1,2,3,,,,,,,,,,,,,\r\n"},
        {"final line gets its line end", "P,1,2,3,,,,,,,", "P,1,2,3,,,,,,,,,,,,,\r\n"},
        {"other lines move before the points", "P,1,,,,,,,,,\nmid\nQ,2,,,,,,,,,\nend\n",
         "mid\r\nend\r\nP,1,,,,,,,,,,,,,,,\r\nQ,2,,,,,,,,,,,,,,,\r\n"},
        {"trimmed cells, fields past 17 dropped", " P , 1 ,,,,,,,,,,,,,,,16,17,18\r\n",
         "P,1,,,,,,,,,,,,,,,16\r\n"},
        {"UTF-8 input is written in code page 936", "\xEF\xBB\xBF点,1,,,,,,,,,\n",
         gbk("点,1,,,,,,,,,,,,,,,\r\n")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PointTable table;
        load(table, c.input, PointFileFormat::Ept);
        EXPECT_EQ(ept(table), c.output);
    }
}

TEST(EptWriter, EmptyTable) {
    PointTable table;
    EXPECT_EQ(ept(table), "");
    table.replaceAll({}, {"标题", ""});
    EXPECT_EQ(ept(table), gbk("标题\r\n\r\n"));
}

TEST(EptWriter, RawSurveyGolden) {
    PointTable table;
    load(table, readFile(kData + "rawsurvey.csv"), PointFileFormat::RawCsv);
    EXPECT_EQ(ept(table), readFile(kData + "rawsurvey-expected.ept"));
}

TEST(EptWriter, CellWithCommaIsWrittenAsItIs) {
    PointTable table;
    table.appendRows({Row(std::vector<std::string_view>{"a,b", "1"})});
    EXPECT_EQ(ept(table), "a,b,1,,,,,,,,,,,,,,,\r\n");
}

TEST(CsvWriter, HeaderThenRowsWithoutOtherLines) {
    PointTable table;
    Result<std::string> empty = buildCsvTable(table);
    ASSERT_TRUE(empty.ok());
    EXPECT_EQ(empty.value(), gbk(kCsvHeader));

    load(table, readFile(kData + "survey.ept"), PointFileFormat::Ept);
    Result<std::string> bytes = buildCsvTable(table);
    ASSERT_TRUE(bytes.ok()) << bytes.error().message;
    EXPECT_EQ(bytes.value(), readFile(kData + "survey-expected.csv"));
}

TEST(PointFileWriters, UnencodableCharacterNamesRowAndColumn) {
    const std::string emoji = "\xF0\x9F\x98\x80";
    const std::string fffd = "\xEF\xBF\xBD";
    const struct Case {
        const char* name;
        int row;
        int column;
        std::string text;
        std::string shown;
    } cases[] = {
        {"emoji in the remark", 1, ColRemark, "标" + emoji,
         "第 2 行“备注”列中的字符“" + emoji + "”（U+1F600）"},
        {"replacement character in the name", 0, ColName, fffd + "x",
         "第 1 行“点名”列中的字符“" + fffd + "”（U+FFFD）"},
        {"in the last column, after encodable non-Chinese letters", 2, ColOldName, "a€éΩß",
         "第 3 行“旧点名”列中的字符“ß”（U+00DF）"},
        {"Korean after ASCII", 2, ColPoleType, "T8 \xED\x95\x9C",
         "第 3 行“杆型”列中的字符“한”（U+D55C）"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PointTable table;
        load(table, gbk("标题\r\nA,1,2,3,,,,,,,\r\nB,1,2,3,,,,,,,\r\nC,,,,,,,,,,\r\n"),
             PointFileFormat::Ept);
        table.setText(c.row, c.column, c.text);
        for (ExportType type : {ExportType::Ept, ExportType::Csv}) {
            Result<std::string> bytes = buildExport(table, type);
            ASSERT_FALSE(bytes.ok());
            EXPECT_EQ(bytes.error().kind, Error::Kind::Data);
            EXPECT_EQ(bytes.error().row, c.row);
            EXPECT_EQ(bytes.error().column, c.column);
            EXPECT_NE(bytes.error().message.find(c.shown), std::string::npos)
                << bytes.error().message;
        }
    }
}

TEST(PointFileWriters, UnencodableOtherLineIsRefusedToo) {
    PointTable table;
    table.replaceAll({}, {"ok", "bad \xF0\x9F\x98\x80"});
    Result<std::string> bytes = buildEptFile(table);
    ASSERT_FALSE(bytes.ok());
    EXPECT_EQ(bytes.error().row, -1);
    EXPECT_EQ(bytes.error().line, 2);
    EXPECT_NE(
        bytes.error().message.find("第 2 行（点以外的内容）中的字符“\xF0\x9F\x98\x80”（U+1F600）"),
        std::string::npos)
        << bytes.error().message;
}

TEST(PointFileWriters, RefusedExportWritesNothing) {
    test::TempFolder folder;
    const auto target = folder / "out.ept";
    test::writeFile(target, "old content\r\n");
    PointTable table;
    load(table, gbk("A,1,,,,,,,,,\r\nB,2,,,,,,,,,\r\n"), PointFileFormat::Ept);
    table.setText(1, ColRemark, "\xF0\x9F\x98\x80");
    for (ExportType type : {ExportType::Ept, ExportType::Csv}) {
        Status written = exportTable(table, type, target.string());
        ASSERT_FALSE(written.ok());
        EXPECT_EQ(readFile(target), "old content\r\n");
        EXPECT_EQ(test::folderEntries(folder.path()), std::vector<std::string>{"out.ept"});
    }
}

// A table of many blocks is encoded on several threads and written as it is encoded:
// the file holds exactly the whole text, the first bad row in table order is the one
// named, and a refused or failed export leaves the old file alone.
TEST(PointFileWriters, LargeTablesAreWrittenInOrderAndWholeOrNotAtAll) {
    std::string bytes = gbk("标题\r\n");
    for (int i = 0; i < 100000; ++i)
        bytes += "P" + std::to_string(i) + "," + std::to_string(i) + ".5,2,3,,,,,,,,,,,,,\r\n";
    PointTable table;
    load(table, bytes, PointFileFormat::Ept);

    test::TempFolder folder;
    const auto target = folder / "out.ept";
    for (ExportType type : {ExportType::Ept, ExportType::Csv}) {
        Result<std::string> whole = buildExport(table, type);
        ASSERT_TRUE(whole.ok());
        ASSERT_TRUE(exportTable(table, type, target.string()).ok());
        EXPECT_EQ(readFile(target), whole.value());
    }
    ASSERT_TRUE(exportTable(table, ExportType::Ept, target.string()).ok());
    EXPECT_EQ(readFile(target), bytes);
    table.setText(90000, ColRemark, "\xF0\x9F\x98\x80");
    table.setText(40000, ColOldName, "\xF0\x9F\x98\x80");
    for (ExportType type : {ExportType::Ept, ExportType::Csv}) {
        Status written = exportTable(table, type, target.string());
        ASSERT_FALSE(written.ok());
        EXPECT_EQ(written.error().row, 40000);
        EXPECT_EQ(written.error().column, ColOldName);
        EXPECT_EQ(readFile(target), bytes);
        EXPECT_EQ(test::folderEntries(folder.path()), std::vector<std::string>{"out.ept"});
    }

    table.undo();
    table.undo();
    test::SmallTmpfs disk(folder / "disk", 1 << 20);
    if (!disk.mounted())
        GTEST_SKIP() << "cannot mount a tmpfs here";
    const auto small = folder / "disk" / "out.ept";
    test::writeFile(small, "old content\r\n");
    Status written = exportTable(table, ExportType::Ept, small.string());
    ASSERT_FALSE(written.ok());
    EXPECT_NE(written.error().message.find("磁盘空间不足"), std::string::npos)
        << written.error().message;
    EXPECT_EQ(readFile(small), "old content\r\n");
    EXPECT_EQ(test::folderEntries(folder / "disk"), std::vector<std::string>{"out.ept"});
}

}  // namespace
}  // namespace corvane
