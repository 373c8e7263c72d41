// Import of .ept and raw .csv point files: which lines become rows, what the rows
// hold, what is kept as other lines, encodings and line ends.

#include "pointfilereader.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>
#include "cp936.h"
#include "tablestate.h"

namespace corvane {
namespace {

using test::gbk;
using test::utf16;
using Lines = std::vector<std::string>;

// A row as its seventeen cells joined by "|"; `cells` gives the first ones.
std::string row(std::initializer_list<std::string_view> cells) {
    std::vector<std::string_view> all(cells);
    all.resize(kColumnCount);
    std::string out(all[0]);
    for (int c = 1; c < kColumnCount; ++c)
        out.append("|").append(all[c]);
    return out;
}

Lines rowsOf(const ImportedPoints& imported) {
    Lines out;
    for (const Row& r : imported.rows)
        out.push_back(r.joined('|'));
    return out;
}

Lines otherOf(const ImportedPoints& imported) {
    return Lines(imported.otherLines.begin(), imported.otherLines.end());
}

ImportedPoints parse(std::string_view bytes, PointFileFormat format) {
    Result<ImportedPoints> imported = parsePointFile(bytes, format);
    EXPECT_TRUE(imported.ok()) << imported.error().message;
    return imported ? std::move(imported.value()) : ImportedPoints{};
}

TEST(EptImport, PointLinesAndOtherLines) {
    const struct Case {
        const char* name;
        std::string text;
        Lines rows;
        Lines other;
    } cases[] = {
        {"nine commas make an other line, ten a point line",
         "a,b,c,d,e,f,g,h,i,j\nP1,1,2,3,4,5,6,7,8,9,10\n",
         {row({"P1", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"})},
         {"a,b,c,d,e,f,g,h,i,j"}},
        {"other lines verbatim without their line end",
         "  title , x  \r\n\r\n\tTab\r\r\nlast \n",
         {},
         {"  title , x  ", "", "\tTab", "last "}},
        {"fields trimmed of ASCII white space and U+3000",
         " P1 ,\t1.5\t,\xE3\x80\x80"
         "2\xE3\x80\x80,3,,,备注 ,,,普通点,无跨越物(0),,,,,,旧 \r\n",
         {row({"P1", "1.5", "2", "3", "", "", "备注", "", "", "普通点", "无跨越物(0)", "", "", "",
               "", "", "旧"})},
         {}},
        {"missing fields are empty, not those of the line before",
         "A,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16\nB,1,2,3,4,5,6,7,8,9,10\n",
         {row({"A", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14", "15",
               "16"}),
          row({"B", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10"})},
         {}},
        {"fields after the seventeenth are ignored, even past 23",
         "A,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,x17,x18,x19,x20,x21,x22,x23,x24,x25\n",
         {row({"A", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12", "13", "14", "15",
               "16"})},
         {}},
        {"a row of empty cells", ",,,,,,,,,,,,,,,,\r\n", {row({})}, {}},
        {"a final line without a line feed is read",
         "t\nP9,1,2,3,,,,,,,",
         {row({"P9", "1", "2", "3"})},
         {"t"}},
        {"a final other line without a line feed is kept",
         "P9,1,2,3,,,,,,,\r\nend",
         {row({"P9", "1", "2", "3"})},
         {"end"}},
        {"numbers are texts: 1e400 and nan stay as written",
         "N,1e400,nan,-0,,,,,,,inf\n",
         {row({"N", "1e400", "nan", "-0", "", "", "", "", "", "", "inf"})},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ImportedPoints imported = parse(gbk(c.text), PointFileFormat::Ept);
        EXPECT_EQ(rowsOf(imported), c.rows);
        EXPECT_EQ(otherOf(imported), c.other);
        EXPECT_EQ(imported.skippedLines, 0u);
    }
}

TEST(EptImport, LineEnds) {
    // The same two lines with LF, CR LF and CR only give the same result.
    const Lines rows = {row({"P1", "1", "2", "3"}), row({"P2", "4", "5", "6"})};
    const Lines other = {"标题"};
    for (const char* end : {"\n", "\r\n", "\r"}) {
        SCOPED_TRACE(::testing::PrintToString(std::string(end)));
        const std::string e(end);
        for (bool finalEnd : {true, false}) {
            std::string text = "标题" + e + "P1,1,2,3,,,,,,," + e + "P2,4,5,6,,,,,,,";
            if (finalEnd)
                text += e;
            ImportedPoints imported = parse(gbk(text), PointFileFormat::Ept);
            EXPECT_EQ(rowsOf(imported), rows);
            EXPECT_EQ(otherOf(imported), other);
        }
    }
}

// Where lines end when carriage returns and line feeds are mixed. A carriage return
// that text follows ends a line, so a record cut by one is never read into the fields
// of the record before it; one before a line feed is part of that line end.
TEST(EptImport, CarriageReturnsEndLinesThatTextFollows) {
    const std::string p1 = "P1,1,2,3,,,,,,,";
    const std::string p2 = "P2,4,5,6,,,,,,,";
    const Lines bothRows = {row({"P1", "1", "2", "3"}), row({"P2", "4", "5", "6"})};
    const struct Case {
        const char* name;
        std::string text;
        Lines rows;
        Lines other;
    } cases[] = {
        {"a record after a carriage return is a line of its own",
         p1 + "\r" + p2 + "\n",
         bothRows,
         {}},
        {"the same at the start of the file", "\r" + p1 + "\n", {row({"P1", "1", "2", "3"})}, {""}},
        {"carriage return, line feed: one line end", p1 + "\r\n" + p2 + "\r\n", bothRows, {}},
        {"several carriage returns before a line feed: one line end",
         p1 + "\r\r\r\n" + p2 + "\n",
         bothRows,
         {}},
        {"carriage returns in a row before text: one line end",
         "标题\r\r" + p1 + "\n" + p2,
         {row({"P1", "1", "2", "3"}), row({"P2", "4", "5", "6"})},
         {"标题"}},
        {"a line feed, then a carriage return and text: an empty line between",
         p1 + "\n\r" + p2 + "\n",
         bothRows,
         {""}},
        {"carriage returns at the end of a file with line feeds stay with the last line",
         "标题\n" + p1 + "\r\r",
         {row({"P1", "1", "2", "3"})},
         {"标题"}},
        {"mixed ends: LF, CR LF, CR",
         "甲\n乙\r\n丙\r" + p1 + "\r" + p2 + "\n丁",
         bothRows,
         {"甲", "乙", "丙", "丁"}},
        {"no line feed at all: cut at every carriage return, as before",
         "标题\r\r" + p1 + "\r" + p2 + "\r",
         bothRows,
         {"标题", ""}},
        {"a carriage return inside a field splits the record",
         "P1,1,2,3,,,备\r注,,,,\n",
         {},
         {"P1,1,2,3,,,备", "注,,,,"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (bool utf16Text : {false, true}) {
            const std::string bytes = utf16Text ? utf16(c.text, false) : gbk(c.text);
            ImportedPoints imported = parse(bytes, PointFileFormat::Ept);
            EXPECT_EQ(rowsOf(imported), c.rows);
            EXPECT_EQ(otherOf(imported), c.other);
            for (const Row& r : imported.rows)
                for (int col = 0; col < kColumnCount; ++col)
                    EXPECT_EQ(r.cell(col).find_first_of("\r\n"), std::string_view::npos);
        }
    }
}

TEST(RawCsvImport, FixedTextsAndFieldMapping) {
    const std::string fixedTail =
        "|||空格（无编码）|0|0|普通点|无跨越物(0)|0.0000|0.0000|无杆型|0.0000|0.0000|";
    const struct Case {
        const char* name;
        std::string text;
        Lines rows;
        size_t skipped;
    } cases[] = {
        {"name, code, north, east, elevation",
         "P1,code,101.5,202.5,12.5\n",
         {"P1|101.5|202.5|12.5" + fixedTail},
         0},
        {"three fields and empty lines are skipped",
         "title,x,y\n\nP1,c,1,2,3\r\n\r\n",
         {"P1|1|2|3" + fixedTail},
         3},
        {"four fields: no elevation, not that of the line before",
         "A,c,1,2,3\nB,c,4,5\n",
         {"A|1|2|3" + fixedTail, "B|4|5|" + fixedTail},
         0},
        {"fields after the fifth are not read", "P,c,1,2,3,x,y,z\n", {"P|1|2|3" + fixedTail}, 0},
        {"a header line of four fields is a point",
         "点名,编码,X,Y\n",
         {"点名|X|Y|" + fixedTail},
         0},
        {"trimmed fields", " P1 , c , 1 ,\t2\t, 3 ", {"P1|1|2|3" + fixedTail}, 0},
        {"a point file read as raw data shifts the columns",
         "J1,3456000.0,512000.0,135.3,J1,J2,备注,0,0,J桩,无跨越物(0),0,0,无杆型,0,0,\r\n",
         {"J1|512000.0|135.3|J1" + fixedTail},
         0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ImportedPoints imported = parse(gbk(c.text), PointFileFormat::RawCsv);
        EXPECT_EQ(rowsOf(imported), c.rows);
        EXPECT_TRUE(imported.otherLines.empty());
        EXPECT_EQ(imported.skippedLines, c.skipped);
    }
}

TEST(PointFileImport, Encodings) {
    const std::string text = "标题\r\n点1,1,2,3,,,备注,,,J桩,,,,,,,\r\n";
    const Lines rows = {row({"点1", "1", "2", "3", "", "", "备注", "", "", "J桩"})};
    const struct Case {
        const char* name;
        std::string bytes;
        TextEncoding encoding;
    } cases[] = {
        {"code page 936", gbk(text), TextEncoding::Cp936},
        {"UTF-8 with byte order mark", "\xEF\xBB\xBF" + text, TextEncoding::Utf8Bom},
        {"valid UTF-8 without byte order mark", text, TextEncoding::Utf8},
        {"UTF-16 LE with byte order mark", utf16(text, false), TextEncoding::Utf16LE},
        {"UTF-16 BE with byte order mark", utf16(text, true), TextEncoding::Utf16BE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ImportedPoints imported = parse(c.bytes, PointFileFormat::Ept);
        EXPECT_EQ(imported.encoding, c.encoding);
        EXPECT_EQ(rowsOf(imported), rows);
        EXPECT_EQ(otherOf(imported), Lines{"标题"});
        EXPECT_EQ(imported.invalidSequences, 0u);
    }
}

// Without a byte order mark, two-byte UTF-8 alone decides nothing: code page 936
// Chinese forms such sequences by accident (桩 is D7 AE, U+05EE as UTF-8).
TEST(PointFileImport, EncodingDetection) {
    const struct Case {
        const char* name;
        std::string bytes;
        TextEncoding encoding;
    } cases[] = {
        {"ASCII only", "P1,1,2,3\r\n", TextEncoding::Cp936},
        {"code page 936, not UTF-8", gbk("点名,普通点"), TextEncoding::Cp936},
        {"code page 936 J and Z stakes, two-byte UTF-8 as well", gbk("J1,J桩\nZ1,Z桩\n"),
         TextEncoding::Cp936},
        {"two-byte UTF-8 only (every such sequence is a code of the code page)", "caf\xC3\xA9",
         TextEncoding::Cp936},
        {"UTF-8 Chinese", "J1,J桩\nZ1,Z桩\n", TextEncoding::Utf8},
        {"UTF-8 two-byte and three-byte characters", "caf\xC3\xA9,点", TextEncoding::Utf8},
        {"UTF-8 four-byte character only", "P\xF0\x9F\x98\x80", TextEncoding::Utf8},
        {"UTF-8 Chinese then a stray byte", "J桩\xFF", TextEncoding::Cp936},
        {"UTF-8 Chinese cut at the end", std::string("J桩").substr(0, 3), TextEncoding::Cp936},
        {"encoded surrogate", "\xED\xA0\x80", TextEncoding::Cp936},
        {"overlong encoding", "\xC0\xAF", TextEncoding::Cp936},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", TextEncoding::Cp936},
        // The price of the rule: code page 936 text that is valid UTF-8 with a long
        // character ("稹啊" is F0 A1 B0 A1, U+21C21) or starts like a byte order mark.
        {"code page 936 that is four-byte UTF-8", gbk("稹啊"), TextEncoding::Utf8},
        {"code page 936 that starts like a byte order mark", gbk("锘开,1"), TextEncoding::Utf8Bom},
        {"UTF-8 byte order mark, then code page 936", "\xEF\xBB\xBF" + gbk("点"),
         TextEncoding::Utf8Bom},
        {"UTF-16 LE byte order mark", "\xFF\xFE" + gbk("J桩"), TextEncoding::Utf16LE},
        {"UTF-16 BE byte order mark", "\xFE\xFFP\0", TextEncoding::Utf16BE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(detectEncoding(c.bytes), c.encoding);
    }
    // The bytes of a large file are looked at whole: a long character at the very end
    // still makes it UTF-8.
    std::string large;
    for (int i = 0; i < 20000; ++i)
        large += "P" + std::to_string(i) + ",J\xC3\xA9,1,2,3\r\n";
    EXPECT_EQ(detectEncoding(large), TextEncoding::Cp936);
    EXPECT_EQ(detectEncoding(large + "点"), TextEncoding::Utf8);
    EXPECT_EQ(detectEncoding(large + "\xFF" + "点"), TextEncoding::Cp936);
}

TEST(PointFileImport, InvalidSequencesBecomeReplacementCharactersAndAreCounted) {
    const std::string fffd = "\xEF\xBF\xBD";
    const struct Case {
        const char* name;
        std::string bytes;
        std::string firstCell;
        size_t invalid;
    } cases[] = {
        // 0xFF is no lead byte; 0x81 0x20 is a lead byte without its trail byte, so
        // the space after it is kept and the comma still splits.
        {"GBK: bad lead byte and lone lead byte",
         "A\xFF"
         "B\x81 ,1,2,3,,,,,,,\n",
         "A" + fffd + "B" + fffd, 2},
        {"GBK: lead byte at the end of the file", gbk("点,1,2,3,,,,,,,\n") + "\x81", "点", 1},
        {"UTF-8 with BOM: stray bytes",
         "\xEF\xBB\xBF"
         "a\xC3(\xFF,1,2,3,,,,,,,\n",
         "a" + fffd + "(" + fffd, 2},
        {"UTF-16 LE: lone surrogate",
         utf16("x", false) + std::string("\x00\xD8", 2) + utf16(",1,2,3,,,,,,,\n", false).substr(2),
         "x" + fffd, 1},
        {"UTF-16 BE: odd length", utf16("y,1,2,3,,,,,,,\n", true) + "\x41", "y", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ImportedPoints imported = parse(c.bytes, PointFileFormat::Ept);
        ASSERT_FALSE(imported.rows.empty());
        EXPECT_EQ(imported.rows[0].cell(ColName), c.firstCell);
        EXPECT_EQ(imported.invalidSequences, c.invalid);
        const std::string summary = importSummary(imported);
        EXPECT_NE(summary.find("有 " + std::to_string(c.invalid) + " 处无效字节"),
                  std::string::npos)
            << summary;
    }
}

TEST(PointFileImport, UnicodeBeyondTheBasicPlaneFromUtf16) {
    ImportedPoints imported =
        parse(utf16("\xF0\x9F\x98\x80,1,2,3,,,,,,,\n", false), PointFileFormat::Ept);
    ASSERT_EQ(imported.rows.size(), 1u);
    EXPECT_EQ(imported.rows[0].cell(ColName), "\xF0\x9F\x98\x80");
    EXPECT_EQ(imported.invalidSequences, 0u);
}

TEST(PointFileImport, RefusedInputs) {
    const struct Case {
        const char* name;
        std::string bytes;
        std::string message;
        int line;
    } cases[] = {
        {"empty file", "", "文件是空的", -1},
        {"only a UTF-8 byte order mark", "\xEF\xBB\xBF", "文件是空的", -1},
        {"only a UTF-16 byte order mark", "\xFF\xFE", "文件是空的", -1},
        {"zero byte in code page 936", std::string("a\r\nb\nP,1\0,2", 11),
         "文件在第 9 个字节处含有零字节", 3},
        {"zero byte after a UTF-8 byte order mark", std::string("\xEF\xBB\xBF\0", 4),
         "文件在第 4 个字节处含有零字节", 1},
        {"U+0000 in UTF-16", utf16("a\nb", false) + std::string("\0\0", 2),
         "文件在第 4 个字符处含有空字符（U+0000）", 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (PointFileFormat format : {PointFileFormat::Ept, PointFileFormat::RawCsv}) {
            Result<ImportedPoints> imported = parsePointFile(c.bytes, format);
            ASSERT_FALSE(imported.ok());
            EXPECT_EQ(imported.error().kind, Error::Kind::Data);
            EXPECT_NE(imported.error().message.find(c.message), std::string::npos)
                << imported.error().message;
            EXPECT_EQ(imported.error().line, c.line);
        }
    }
}

// A large file is read in parts on several cores; whatever the cuts, the result must
// be the one of reading it whole.
TEST(PointFileImport, ReadingInPartsGivesWhatReadingWholeGives) {
    auto repeated = [](const std::function<std::string(int)>& line, int count) {
        std::string out;
        for (int i = 0; i < count; ++i)
            out += line(i);
        return out;
    };
    auto point = [](int i) {
        return "P" + std::to_string(i) + ",1,2,3,,,备注,,,普通点,,0,0,,0,0,\r\n";
    };
    const struct Case {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"code page 936, other lines and invalid bytes between the points",
         gbk("标题\r\n") +
             repeated(
                 [&](int i) {
                     return gbk(point(i)) + (i % 7 == 0 ? "short,line\r\n" : "") +
                            (i % 11 == 0 ? "bad\x81\r\n" : "");
                 },
                 60) +
             "last,1,2,3,,,,,,,,,,,,,"},
        {"UTF-8 with a byte order mark and one inside a line start",
         "\xEF\xBB\xBF" +
             repeated(
                 [&](int i) { return (i % 5 == 0 ? std::string("\xEF\xBB\xBF") : "") + point(i); },
                 40)},
        {"line feeds first, carriage returns later",
         repeated(point, 10) + "x\n" +
             repeated([](int i) { return "P" + std::to_string(i) + ",1,2,3\r"; }, 30)},
        {"carriage returns only",
         repeated([](int i) { return "P" + std::to_string(i) + ",1,2,3,4\r"; }, 40)},
        {"records ended by carriage returns between line feeds",
         repeated(
             [&](int i) {
                 return point(i) +
                        (i % 3 == 0 ? "\r\rQ" + std::to_string(i) + ",1,2,3,,,,,,,\r" : "") +
                        (i % 4 == 0 ? "\r" : "");
             },
             60)},
        {"carriage returns only in the last part", repeated(point, 30) + "x\rP,1,2,3,,,,,,,\ry"},
        {"UTF-16", utf16(repeated(point, 30), false)},
        {"raw survey lines, some too short",
         repeated([](int i) { return "P" + std::to_string(i) + (i % 3 ? ",c,1,2,3\n" : ",c\n"); },
                  50)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (PointFileFormat format : {PointFileFormat::Ept, PointFileFormat::RawCsv}) {
            Result<ImportedPoints> whole = parsePointFile(c.bytes, format, 1);
            ASSERT_TRUE(whole.ok()) << whole.error().message;
            for (int parts : {2, 3, 7, 64}) {
                SCOPED_TRACE(parts);
                Result<ImportedPoints> cut = parsePointFile(c.bytes, format, parts);
                ASSERT_TRUE(cut.ok()) << cut.error().message;
                EXPECT_EQ(rowsOf(cut.value()), rowsOf(whole.value()));
                EXPECT_EQ(cut->otherLines, whole->otherLines);
                EXPECT_EQ(cut->encoding, whole->encoding);
                EXPECT_EQ(cut->invalidSequences, whole->invalidSequences);
                EXPECT_EQ(cut->skippedLines, whole->skippedLines);
            }
        }
    }
    // An error in a later part is reported as reading the whole file reports it.
    const std::string zero = repeated(point, 40) + std::string("P,1\0,2\n", 7);
    const Result<ImportedPoints> whole = parsePointFile(zero, PointFileFormat::Ept, 1);
    const Result<ImportedPoints> cut = parsePointFile(zero, PointFileFormat::Ept, 4);
    ASSERT_FALSE(whole.ok());
    ASSERT_FALSE(cut.ok());
    EXPECT_EQ(cut.error().message, whole.error().message);
    EXPECT_EQ(cut.error().line, 41);
}

TEST(PointFileImport, FormatFromTheFileName) {
    EXPECT_EQ(formatForPath("a/b.csv"), PointFileFormat::RawCsv);
    EXPECT_EQ(formatForPath("B.CsV"), PointFileFormat::RawCsv);
    EXPECT_EQ(formatForPath("b.ept"), PointFileFormat::Ept);
    EXPECT_EQ(formatForPath("b.txt"), PointFileFormat::Ept);
    EXPECT_EQ(formatForPath("csv"), PointFileFormat::Ept);
}

TEST(PointFileImport, SummarySaysWhatWasRead) {
    ImportedPoints imported = parse(gbk("t\nP,c,1,2\nx\n"), PointFileFormat::RawCsv);
    // Code page 936 is what point files are in: the summary names only other encodings.
    EXPECT_EQ(importSummary(imported), "读入 1 个点，跳过 2 行（字段不足）。");
    imported = parse(gbk("J1,1,2,3,,,,,,J桩,\nx") + "\x81\n", PointFileFormat::Ept);
    EXPECT_EQ(importSummary(imported),
              "读入 1 个点，1 行其他内容；有 1 处无效字节已替换为“\xEF\xBF\xBD”。");
    imported = parse("\xEF\xBB\xBFt\nP,1,2,3,,,,,,,\n", PointFileFormat::Ept);
    EXPECT_EQ(importSummary(imported), "读入 1 个点，1 行其他内容，编码 UTF-8（带 BOM）。");
    imported = parse("P,1,2,3,,,,,,J桩,\n", PointFileFormat::Ept);
    EXPECT_EQ(importSummary(imported), "读入 1 个点，编码 UTF-8。");
}

}  // namespace
}  // namespace corvane
