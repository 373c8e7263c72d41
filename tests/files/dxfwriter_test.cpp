#include "dxfwriter.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "bytefiles.h"
#include "clirunner.h"
#include "dxfexport.h"
#include "filesystem.h"
#include "rowbuilder.h"
#include "tempdir.h"

namespace corvane {
namespace {

using test::Cells;
using test::crlfLines;
using test::loadOnJ1J2;

TEST(DxfExport, EmptyTableIsJustTheSectionFrame) {
    PointTable table;
    Result<std::string> dxf = buildDxfFile(table);
    ASSERT_TRUE(dxf.ok());
    EXPECT_EQ(dxf.value(), "0\r\nSECTION\r\n2\r\nENTITIES\r\n0\r\nENDSEC\r\n0\r\nEOF\r\n");
}

TEST(DxfExport, OneRowGivesPointThenTextLineByLine) {
    PointTable table;
    loadOnJ1J2(table, {{.name = "P1", .north = "100.5", .east = "200.25", .height = "7"}});
    Result<std::string> dxf = buildDxfFile(table);
    ASSERT_TRUE(dxf.ok());
    // Group code and value on lines of their own, each ended by CR LF.
    const std::string expected = R"(0
SECTION
2
ENTITIES
0
POINT
5
1
100
AcDbEntity
8
Point
62
66
100
AcDbPoint
10
100.5000
20
200.2500
30
0.0
0
TEXT
5
2
100
AcDbEntity
8
Point
62
66
7
STANDARD
73
0
72
0
100
AcDbText
10
100.5000
20
200.2500
30
0.0
40
30.00
1
P1
0
ENDSEC
0
EOF
)";
    std::string crlf;
    for (char c : expected)
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    EXPECT_EQ(dxf.value(), crlf);
}

TEST(DxfExport, RowsWithoutNumbersOrSegmentsAreDrawnAtTheOrigin) {
    PointTable table;
    loadOnJ1J2(table,
               {{.name = "X", .north = "-.-", .east = "", .start = "", .end = "", .type = ""}});
    Result<std::string> dxf = buildDxfFile(table);
    ASSERT_TRUE(dxf.ok());
    const std::vector<std::string> lines = crlfLines(dxf.value());
    EXPECT_EQ(lines[17], "0.0000");  // group 10 of the POINT
    EXPECT_EQ(lines[19], "0.0000");  // group 20
}

TEST(DxfWriter, TextValuesEscapeEveryCharacterOutsidePrintableAscii) {
    struct Case {
        std::string name;
        std::string written;
    };
    const Case cases[] = {
        {"P1", "P1"},
        {"点1",
         "\\U+70B9"
         "1"},
        {"J桩-3", "J\\U+6869-3"},
        {"é", "\\U+00E9"},
        {"😀", "\\U+1F600"},                  // beyond U+FFFF: more digits
        {"a\tb\rc", "a\\U+0009b\\U+000Dc"},  // never breaks the line structure
        {"", ""},
    };
    for (const Case& c : cases) {
        CDataToDxf dxf;
        dxf.groupText(1, c.name);
        EXPECT_EQ(dxf.take(), "1\r\n" + c.written + "\r\n") << c.name;
    }
}

TEST(DxfWriter, HandlesCountOnPastSixteenBits) {
    CDataToDxf dxf(32767);
    dxf.point("L", 1, 0, 0);
    dxf.text("t", "L", 1, "", 0, 0, 0, 0, 1);
    const std::vector<std::string> lines = crlfLines(dxf.take());
    EXPECT_EQ(lines[3], "32767");
    EXPECT_EQ(lines[21], "32768");
    // No style given: the pair of group 7 is left out.
    EXPECT_EQ(lines[28], "73");
    EXPECT_EQ(dxf.nextHandle(), 32769);
}

TEST(DxfExport, LargeTableIsWrittenWholeWithDistinctHandles) {
    const int rows = 20000;  // handles up to 40000, past a 16-bit counter
    std::vector<Row> table_rows;
    for (int i = 0; i < rows; ++i) {
        Cells p{.name = "P" + std::to_string(i), .north = std::to_string(i)};
        table_rows.push_back(test::rowOf(test::onJ1J2(p)));
    }
    PointTable table;
    table.replaceAll(std::move(table_rows), {});
    Result<std::string> dxf = buildDxfFile(table);
    ASSERT_TRUE(dxf.ok());
    const std::vector<std::string> lines = crlfLines(dxf.value());
    int64_t expected = 1;
    int points = 0, texts = 0;
    for (size_t i = 4; i + 1 < lines.size(); i += 2) {
        if (lines[i] == "0" && (lines[i + 1] == "POINT" || lines[i + 1] == "TEXT")) {
            (lines[i + 1] == "POINT" ? points : texts)++;
            ASSERT_EQ(lines[i + 2], "5");
            ASSERT_EQ(lines[i + 3], std::to_string(expected)) << "entity " << expected;
            ++expected;
        }
    }
    EXPECT_EQ(points, rows);
    EXPECT_EQ(texts, rows);
    EXPECT_EQ(expected - 1, 2 * rows);
    EXPECT_EQ(std::vector<std::string>(lines.end() - 4, lines.end()),
              (std::vector<std::string>{"0", "ENDSEC", "0", "EOF"}));
}

// A DXF reader from outside this project reads every point back, Chinese names too.
TEST(DxfExport, ReadBackByEzdxf) {
    const char* python = "/usr/bin/python3";
    test::TempFolder dir;
    if (!std::filesystem::exists(python) ||
        test::runProgram(python, {"-c", "import ezdxf"}).status != 0)
        GTEST_SKIP() << "python3-ezdxf is not installed (scripts/setup installs it)";

    const std::vector<Cells> points = {
        {.name = "P1", .north = "100.5", .east = "200.25"},
        {.name = "电杆12号", .north = "3456789.1234", .east = "512345.6789"},
        {.name = "J桩-北", .north = "-12.0001", .east = "0.5"},
        {.name = "点 名", .north = "1e3", .east = "-7"},
        {.name = "", .north = "1", .east = "2"},
    };
    PointTable table;
    loadOnJ1J2(table, points);
    Result<std::string> dxf = buildDxfFile(table);
    ASSERT_TRUE(dxf.ok());
    const std::string path = dir.file("points.dxf");
    ASSERT_TRUE(writeFileAtomically(path, dxf.value()).ok());

    const std::string script = dir.file("read.py");
    test::writeFile(script, R"(import sys
import ezdxf
from ezdxf.lldxf.encoding import decode_dxf_unicode
doc = ezdxf.readfile(sys.argv[1])
out = []
for e in doc.modelspace():
    if e.dxftype() == 'POINT':
        out.append('POINT %s %.4f %.4f' % (e.dxf.handle, e.dxf.location.x, e.dxf.location.y))
    elif e.dxftype() == 'TEXT':
        out.append('TEXT %s %.4f %.4f %s' % (e.dxf.handle, e.dxf.insert.x, e.dxf.insert.y,
                                             decode_dxf_unicode(e.dxf.text)))
sys.stdout.buffer.write(('\n'.join(out) + '\n').encode('utf-8'))
)");
    const test::CliRun r = test::runProgram(python, {script, path});
    ASSERT_EQ(r.status, 0) << r.err;

    const char* coordinates[] = {"100.5000 200.2500", "3456789.1234 512345.6789", "-12.0001 0.5000",
                                 "1000.0000 -7.0000", "1.0000 2.0000"};
    std::string expected;
    for (size_t i = 0; i < points.size(); ++i) {
        expected += "POINT " + std::to_string(2 * i + 1) + " " + coordinates[i] + "\n";
        expected += "TEXT " + std::to_string(2 * i + 2) + " " + coordinates[i] + " " +
                    points[i].name + "\n";
    }
    EXPECT_EQ(r.out, expected);
}

}  // namespace
}  // namespace corvane
