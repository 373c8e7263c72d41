#include "filemerge.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <unordered_set>

#include "bytefiles.h"
#include "cp936.h"
#include "splitfields.h"
#include "tempdir.h"

namespace corvane {
namespace {

using test::gbk;
using test::joinLines;

const std::array<std::string, 2> kNames{"a.ept", "b.ept"};

// A point line of seventeen fields.
std::string pt(const std::string& name, const std::string& north = "1",
               const std::string& type = "普通点") {
    return name + "," + north + ",2,3,J1,J2,备注,0,0," + type + ",无跨越物(0),0,0,无杆型,0,0,";
}

MergeResult merged(const std::string& first, const std::string& second) {
    Result<MergeResult> r = mergePointData(first, second, kNames);
    EXPECT_TRUE(r.ok()) << r.error().message;
    return r.ok() ? std::move(r.value()) : MergeResult{};
}

TEST(FileMerge, FileWithItselfGivesEachDistinctLineOnceOtherLinesFirst) {
    const std::string file =
        gbk(joinLines({"测量数据,生成", pt("P1"), "x,y,z", pt("P2"), pt("P1"), "测量数据,生成"}));
    const MergeResult r = merged(file, file);
    EXPECT_EQ(r.bytes, gbk(joinLines({"测量数据,生成", "x,y,z", pt("P1"), pt("P2")})));
    EXPECT_EQ(r.linesTaken[0], 4u);
    EXPECT_EQ(r.linesTaken[1], 0u);
    EXPECT_EQ(r.duplicatesDropped, 8u);
    EXPECT_EQ(r.duplicates.size(), 8u);
    for (const MergeDuplicate& d : r.duplicates)
        EXPECT_FALSE(d.conflicts()) << r.text(d.dropped);
}

TEST(FileMerge, FirstFileWinsAndDroppedLinesAreKeptForReview) {
    const std::string a = gbk(joinLines({pt("P7", "100.5"), pt("P1", "1.50"), "标题,甲,1"}));
    const std::string b =
        gbk(joinLines({pt("P7", "999"), pt("P8"), pt("P1", "1.5", "Z桩"), "标题,甲,2", pt("P7")}));
    const MergeResult r = merged(a, b);
    EXPECT_EQ(r.bytes,
              gbk(joinLines({"标题,甲,1", pt("P7", "100.5"), pt("P1", "1.50"), pt("P8")})));
    EXPECT_EQ(r.linesTaken[0], 3u);
    EXPECT_EQ(r.linesTaken[1], 1u);
    ASSERT_EQ(r.duplicates.size(), 4u);

    struct Expected {
        MergeSource dropped, kept;
        bool pointLine, coordinatesDiffer, attributesDiffer;
    };
    // Other lines are merged before point lines.
    const Expected expected[] = {
        {{1, 3}, {0, 2}, false, false, true},  // same key, third field differs
        {{1, 0}, {0, 0}, true, true, false},   // P7 elsewhere
        {{1, 2}, {0, 1}, true, false, true},   // P1: 1.50 = 1.5, another type
        {{1, 4}, {0, 0}, true, true, false},
    };
    for (size_t i = 0; i < 4; ++i) {
        const MergeDuplicate& d = r.duplicates[i];
        EXPECT_EQ(d.dropped.file, expected[i].dropped.file) << i;
        EXPECT_EQ(d.dropped.line, expected[i].dropped.line) << i;
        EXPECT_EQ(d.kept.file, expected[i].kept.file) << i;
        EXPECT_EQ(d.kept.line, expected[i].kept.line) << i;
        EXPECT_EQ(d.pointLine, expected[i].pointLine) << i;
        EXPECT_EQ(d.coordinatesDiffer, expected[i].coordinatesDiffer) << i;
        EXPECT_EQ(d.attributesDiffer, expected[i].attributesDiffer) << i;
    }
    EXPECT_EQ(r.text(r.duplicates[1].dropped), pt("P7", "999"));
    EXPECT_EQ(r.text(r.duplicates[1].kept), pt("P7", "100.5"));
    EXPECT_EQ(mergeSummary(r),
              "两个数据文件合并成果！第一个文件写入 3 行，第二个文件写入 1 行，舍去重复的 4 "
              "行（其中 4 行与保留的行内容不同）。");
}

TEST(FileMerge, LinesWithAnEmptyKeyAreDropped) {
    const std::string a = joinLines({
        pt(""),     // point without a name
        pt("   "),  // a name of blanks is empty once trimmed
        ",b",       // other line without field 0
        "a,",       // ... without field 1
        "a",        // ... without a comma: no field 1
        "",         // empty line
        "  ,  x",
        "a,b",
        pt("P1"),
    });
    const MergeResult r = merged(a, "");
    EXPECT_EQ(r.bytes, gbk(joinLines({"a,b", pt("P1")})));
    EXPECT_EQ(r.emptyKeysDropped, 7u);
    EXPECT_EQ(r.duplicatesDropped, 0u);
    EXPECT_EQ(mergeSummary(r),
              "两个数据文件合并成果！第一个文件写入 2 行，第二个文件写入 0 行，舍去重复的 0 "
              "行，舍去缺少名称的 7 行。");
}

TEST(FileMerge, LinesAreCopiedVerbatimWithCrLf) {
    struct Case {
        const char* what;
        std::string first, second, merged;  // merged as UTF-8
    };
    const Case cases[] = {
        {"a final line without a line feed is merged", pt("P1") + "\r\n" + pt("P2"),
         "o,1\n" + pt("P3"), joinLines({"o,1", pt("P1"), pt("P2"), pt("P3")})},
        {"line feed alone becomes CR LF; blanks stay", " P1 , 1,2,3,,,,,,,\n", "",
         joinLines({" P1 , 1,2,3,,,,,,,"})},
        {"keys are trimmed and case-sensitive", pt("P1"), pt(" P1 ") + "\n" + pt("p1"),
         joinLines({pt("P1"), pt("p1")})},
        {"other lines of both files come before all point lines", pt("P1") + "\no1,a\n",
         "o2,b\n" + pt("P2") + "\n", joinLines({"o1,a", "o2,b", pt("P1"), pt("P2")})},
        {"ten fields is an other line, eleven a point line", "k,1,2,3,4,5,6,7,8,9\nk,x\n",
         "k,1,2,3,4,5,6,7,8,9,10\nk,1,2,3,4,5,6,7,8,9,11\n",
         joinLines({"k,1,2,3,4,5,6,7,8,9", "k,x", "k,1,2,3,4,5,6,7,8,9,10"})},
        {"UTF-8 input is written in code page 936", "\xEF\xBB\xBF" + pt("点一"), "",
         joinLines({pt("点一")})},
        {"two empty inputs give an empty file", "", "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(merged(c.first, c.second).bytes, gbk(c.merged)) << c.what;
}

// Lines end in a merge where they end in an import: at a line feed, and at a carriage
// return that text follows. Carriage returns before a line feed belong to the line
// end, so no written record holds one; a file without line feeds is cut at each.
TEST(FileMerge, CarriageReturnsEndLinesAsInAnImport) {
    struct Case {
        const char* what;
        std::string first, second, merged;  // merged as UTF-8
    };
    const Case cases[] = {
        {"a record after a carriage return is a line of its own", pt("P1") + "\r" + pt("P2") + "\n",
         "", joinLines({pt("P1"), pt("P2")})},
        {"carriage returns before a line feed are the line end", "o,1\r\r\n" + pt("P1") + "\r\r\n",
         "o,2\r\n", joinLines({"o,1", "o,2", pt("P1")})},
        {"carriage returns in a row before text: one line end", "o,1\r\r" + pt("P1") + "\n", "",
         joinLines({"o,1", pt("P1")})},
        {"no line feed at all: cut at every carriage return", pt("P1") + "\r\r" + pt("P2") + "\r",
         "o,1\ro,2", joinLines({"o,1", "o,2", pt("P1"), pt("P2")})},
        {"a line that is only a carriage return is an empty line", "o,1\n\r\n", "",
         joinLines({"o,1"})},
        {"the same key behind different line ends is a duplicate", pt("P1") + "\r\r\n",
         pt("P1") + "\n", joinLines({pt("P1")})},
    };
    for (const Case& c : cases) {
        const MergeResult r = merged(c.first, c.second);
        EXPECT_EQ(r.bytes, gbk(c.merged)) << c.what;
        EXPECT_TRUE(std::all_of(r.duplicates.begin(), r.duplicates.end(),
                                [](const MergeDuplicate& d) { return !d.conflicts(); }))
            << c.what;
    }
}

// The merge as first described: every candidate compared with every line taken
// before it. The hash sets must give exactly the same file.
std::string quadraticMerge(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    std::vector<std::string_view> f, g;
    std::vector<std::string> others, points;
    auto field = [](const std::vector<std::string_view>& v, size_t i) {
        return i < v.size() ? v[i] : std::string_view();
    };
    for (const auto* file : {&a, &b})
        for (const std::string& line : *file)
            (SplitFields(line, ',', f) > 10 ? points : others).push_back(line);
    std::vector<std::string> out;
    auto take = [&](const std::vector<std::string>& candidates, bool pointLines) {
        std::vector<std::string> taken;
        for (const std::string& line : candidates) {
            SplitFields(line, ',', f);
            if (field(f, 0).empty() || (!pointLines && field(f, 1).empty()))
                continue;
            bool duplicate = false;
            for (const std::string& earlier : taken) {
                SplitFields(earlier, ',', g);
                if (field(f, 0) == field(g, 0) && (pointLines || field(f, 1) == field(g, 1)))
                    duplicate = true;
            }
            if (!duplicate)
                taken.push_back(line);
        }
        out.insert(out.end(), taken.begin(), taken.end());
    };
    take(others, false);
    take(points, true);
    return joinLines(out);
}

TEST(FileMerge, HashKeysGiveTheSameFileAsComparingEveryEarlierLine) {
    std::mt19937 rng(7);
    const char* keys[] = {"", " ", "P1", "P2", " P1", "p1", "Q", "点"};
    for (int round = 0; round < 200; ++round) {
        std::array<std::vector<std::string>, 2> files;
        for (auto& file : files) {
            const int lines = static_cast<int>(rng() % 12);
            for (int i = 0; i < lines; ++i) {
                std::string line = std::string(keys[rng() % 8]) + "," + keys[rng() % 8];
                const int more = static_cast<int>(rng() % 14);
                for (int k = 0; k < more; ++k)
                    line += "," + std::to_string(rng() % 3);
                file.push_back(line);
            }
        }
        const MergeResult r = merged(gbk(joinLines(files[0])), gbk(joinLines(files[1])));
        ASSERT_EQ(test::utf8(r.bytes), quadraticMerge(files[0], files[1])) << round;
    }
}

TEST(FileMerge, OutputMayBeOneOfTheInputs) {
    test::TempFolder dir;
    const std::string a = dir.file("a.ept");
    const std::string b = dir.file("b.ept");
    test::writeFile(a, joinLines({pt("P1")}));
    test::writeFile(b, joinLines({pt("P1", "9"), pt("P2")}));
    Result<MergeResult> r = mergeFiles(a, b, a);
    ASSERT_TRUE(r.ok()) << r.error().message;
    EXPECT_EQ(test::readFile(a), gbk(joinLines({pt("P1"), pt("P2")})));
}

TEST(FileMerge, FailuresNameTheFileAndWriteNothing) {
    test::TempFolder dir;
    const std::string good = dir.file("good.ept");
    const std::string missing = dir.file("missing.ept");
    const std::string emoji = dir.file("emoji.ept");
    const std::string out = dir.file("out.ept");
    test::writeFile(good, joinLines({pt("P1")}));
    test::writeFile(emoji, joinLines({pt("P1"), pt("P😀")}));  // valid UTF-8

    struct Case {
        std::string first, second, output, named;
        Error::Kind kind;
    };
    const Case cases[] = {
        {missing, good, out, missing, Error::Kind::Io},
        {good, missing, out, missing, Error::Kind::Io},
        {good, emoji, out, emoji + "”第 2 行", Error::Kind::Data},
        {good, good, dir.file("no/such/folder/out.ept"), "no/such/folder/out.ept", Error::Kind::Io},
    };
    for (const Case& c : cases) {
        Result<MergeResult> r = mergeFiles(c.first, c.second, c.output);
        ASSERT_FALSE(r.ok()) << c.named;
        EXPECT_NE(r.error().message.find(c.named), std::string::npos) << r.error().message;
        EXPECT_EQ(r.error().kind, c.kind) << r.error().message;
        EXPECT_FALSE(std::filesystem::exists(out)) << c.named;
    }
}

}  // namespace
}  // namespace corvane
