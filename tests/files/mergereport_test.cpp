#include "mergereport.h"

#include <gtest/gtest.h>

#include "filemerge.h"

namespace corvane {
namespace {

TEST(MergeReport, TellsDuplicatesAndConflictsWithTheirDifferences) {
    const std::string first =
        "title,1\r\n"
        "A,1,2,3,,,,,,,,,,,,,\r\n"
        "B,5,5,5,,,,,,,,,,,,,\r\n";
    const std::string second =
        "title,1\r\n"
        "A,1.5,1.75,3,,,,,,,,,,,,,\r\n"
        "B,5,5,5,,,note,,,,,,,,,,\r\n"
        "C,1,1,1,,,,,,,,,,,,,\r\n"
        "A,1,2,3,,,,,,,,,,,,,";
    auto merged = mergePointData(first, second, {"a.ept", "b.ept"});
    ASSERT_TRUE(merged.ok()) << merged.error().message;
    std::vector<MergeReportEntry> report = mergeReport(merged.value());
    ASSERT_EQ(report.size(), 4u);
    struct Expected {
        bool conflict;
        const char* key;
        const char* text;
    } expected[] = {
        {true, "A",
         "点“A”：第二个文件第 2 行与第一个文件第 2 行重复，已舍去；坐标不同：ΔX +0.500 m，ΔY "
         "-0.250 m，ΔH 0.000 m。"},
        {true, "B", "点“B”：第二个文件第 3 行与第一个文件第 3 行重复，已舍去；备注不同。"},
        {false, "title,1", "行“title,1”：第二个文件第 1 行与第一个文件第 1 行重复，已舍去。"},
        {false, "A", "点“A”：第二个文件第 5 行与第一个文件第 2 行重复，已舍去。"},
    };
    for (size_t i = 0; i < report.size(); ++i) {
        EXPECT_EQ(report[i].conflict, expected[i].conflict) << i;
        EXPECT_EQ(report[i].key, expected[i].key) << i;
        EXPECT_EQ(report[i].text, expected[i].text) << i;
    }
}

TEST(MergeReport, NothingDroppedNothingToTell) {
    auto merged =
        mergePointData("A,1,2,3,,,,,,,,,,,,,\r\n", "B,1,2,3,,,,,,,,,,,,,\r\n", {"a.ept", "b.ept"});
    ASSERT_TRUE(merged.ok());
    EXPECT_TRUE(mergeReport(merged.value()).empty());
}

}  // namespace
}  // namespace corvane
