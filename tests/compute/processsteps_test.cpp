#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "bytefiles.h"
#include "clirunner.h"
#include "columns.h"
#include "cp936.h"
#include "pointfilereader.h"
#include "tempdir.h"

namespace corvane {
namespace {

namespace fs = std::filesystem;

// A line J1 (0, 0) -> J2 (0, 100) -> J3 (100, 100) with points near it, in the order
// an instrument delivers them.
constexpr std::string_view kSurvey =
    "测量数据\r\n"
    "J1,0,0,10,,,,0,0,J桩,无跨越物(0),0,0,无杆型,0,0,\r\n"
    "P,10,50,10,,,,0,0,普通点,无跨越物(0),0,0,无杆型,0,0,\r\n"
    "J2,0,100,10,,,,0,0,J桩,无跨越物(0),0,0,无杆型,0,0,\r\n"
    "Q,50,90,10,,,,0,0,普通点,无跨越物(0),0,0,无杆型,0,0,\r\n"
    "N,1.5,40,10,,,,0,0,普通点,无跨越物(0),0,0,无杆型,0,0,\r\n"
    "R,-10,-10,10,,,,0,0,普通点,无跨越物(0),0,0,无杆型,0,0,\r\n"
    "J3,100,100,10,,,,0,0,J桩,无跨越物(0),0,0,无杆型,0,0,\r\n";

class ProcessSteps : public ::testing::Test {
protected:
    void SetUp() override { test::writeFile(m_dir / "survey.ept", test::gbk(kSurvey)); }

    // Runs corvane-cli process on the survey with the given options (separated by
    // spaces); returns the exit status.
    int process(const std::string& steps, const std::string& output = "out.ept") {
        std::vector<std::string> args = {"process", m_dir.file("survey.ept"), "-o",
                                         m_dir.file(output)};
        std::istringstream words(steps);
        for (std::string word; words >> word;)
            args.push_back(word);
        const test::CliRun run = test::runCli(args);
        m_errors = run.err;
        return run.status;
    }

    const std::string& errors() const { return m_errors; }

    // The rows written, each as its cells joined by ",".
    std::vector<std::string> rows(const std::string& output = "out.ept") const {
        auto imported = readPointFile(m_dir.file(output), PointFileFormat::Ept);
        EXPECT_TRUE(imported.ok());
        std::vector<std::string> out;
        if (imported.ok())
            for (const Row& row : imported->rows)
                out.push_back(row.joined(','));
        return out;
    }

    // Segment, distance and offset of each row: "name start end distance offset".
    std::vector<std::string> computed(const std::string& output = "out.ept") const {
        auto imported = readPointFile(m_dir.file(output), PointFileFormat::Ept);
        EXPECT_TRUE(imported.ok());
        std::vector<std::string> out;
        if (imported.ok())
            for (const Row& row : imported->rows) {
                std::string line;
                for (int c : {ColName, ColNorth, ColEast, ColSegmentStart, ColSegmentEnd,
                              ColDistance, ColOffset}) {
                    if (!line.empty())
                        line += ' ';
                    line.append(row.cell(c));
                }
                out.push_back(line);
            }
        return out;
    }

    bool exists(const std::string& output) const { return fs::exists(m_dir / output); }

    test::TempFolder m_dir;
    std::string m_errors;
};

using Lines = std::vector<std::string>;

TEST_F(ProcessSteps, LineAutoSelectionAndCalculation) {
    ASSERT_EQ(process("--line all --start-mileage 1000 --auto-select --calculate"), 0) << errors();
    EXPECT_EQ(computed(), (Lines{
                              "J1 0 0 J1 J2 1000.000 0.0000",
                              "P 10 50 J1 J2 1050.000 -10.000",
                              "J2 0 100 J2 J3 1100.000 0.0000",
                              "Q 50 90 J2 J3 1150.000 -10.000",
                              "N 1.5 40 J1 J2 1040.000 -1.500",
                              "R -10 -10   -.- -.-",
                              "J3 100 100 J3 J3 1200.000 0.0000",
                          }));
    EXPECT_NE(errors().find("1 个点"), std::string::npos) << "R is reported unassigned";
}

TEST_F(ProcessSteps, StepsRunInTheirFixedOrder) {
    ASSERT_EQ(process("--line all --auto-select --calculate --sort", "fixed.ept"), 0);
    ASSERT_EQ(process("--sort --calculate --auto-select --line all", "shuffled.ept"), 0);
    EXPECT_EQ(rows("shuffled.ept"), rows("fixed.ept"));
    // J1 at 0 and R at "-.-" (0) keep their order; the rest rise with the distance.
    EXPECT_EQ(computed("fixed.ept"), (Lines{
                                         "J1 0 0 J1 J2 0.000 0.0000",
                                         "R -10 -10   -.- -.-",
                                         "N 1.5 40 J1 J2 40.000 -1.500",
                                         "P 10 50 J1 J2 50.000 -10.000",
                                         "J2 0 100 J2 J3 100.000 0.0000",
                                         "Q 50 90 J2 J3 150.000 -10.000",
                                         "J3 100 100 J3 J3 200.000 0.0000",
                                     }));
}

TEST_F(ProcessSteps, ChosenChainProjectionAndSort) {
    // The chain J1 -> J3 runs north-east. J2 is left out: as a J stake it gets a segment
    // but no distance, and its empty offset lets the projection rewrite it in place.
    // The others move by their offsets onto the line (to the offsets' three decimals).
    ASSERT_EQ(process("--line J1,J3 --start-mileage 5 --auto-select --calculate --project 30 "
                      "--sort"),
              0)
        << errors();
    EXPECT_EQ(computed(), (Lines{
                              "J2 0.0000 100.0000 J1 J3  ",
                              "R -10 -10   -.- -.-",
                              "J1 0.0000 0.0000 J1 J3 5.000 0.0000",
                              "N 20.7503 20.7497 J1 J3 34.345 0.000",
                              "P 29.9998 30.0002 J1 J3 47.426 0.000",
                              "Q 69.9998 70.0002 J1 J3 103.995 0.000",
                              "J3 100.0000 100.0000 J3 J3 146.421 0.0000",
                          }));
}

TEST_F(ProcessSteps, BadLineNamesWriteNothing) {
    struct Case {
        const char* what;
        std::string steps;
        std::string message;
    } cases[] = {
        {"not a J stake", "--line J1,P --auto-select", "“P”不是表中的 J 桩"},
        {"no such point", "--line J1,J9", "“J9”不是表中的 J 桩"},
        {"given twice", "--line J1,J2,J1", "“J1”出现了不止一次"},
        {"empty name", "--line J1,,J2", "“”不是表中的 J 桩"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(process(c.steps), 1) << c.what;
        EXPECT_FALSE(exists("out.ept")) << c.what;
        EXPECT_NE(errors().find(c.message), std::string::npos) << c.what << ": " << errors();
    }
}

TEST_F(ProcessSteps, BadNumbersAreUsageErrors) {
    for (const std::string steps :
         {"--line all --start-mileage 12x", "--project abc", "--start-mileage 5"}) {
        EXPECT_EQ(process(steps), 2) << steps;
        EXPECT_FALSE(exists("out.ept")) << steps;
    }
}

}  // namespace
}  // namespace corvane
