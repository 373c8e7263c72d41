#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "bytefiles.h"
#include "clirunner.h"
#include "tempdir.h"

namespace corvane {
namespace {

using test::CliRun;

// Runs corvane-cli with the arguments (separated by spaces).
CliRun run(const std::string& arguments) {
    std::vector<std::string> args;
    std::istringstream words(arguments);
    for (std::string word; words >> word;)
        args.push_back(word);
    return test::runCli(args);
}

class CheckCommand : public ::testing::Test {
protected:
    void SetUp() override {
        // Two J stakes and three points: one beside the line, one beyond its end.
        test::writeFile(m_dir / "line.csv",
                        "J1,1,0,0,10\r\n"
                        "J2,1,0,100,10\r\n"
                        "P1,1,5,50,10\r\n"
                        "P2,1,0,150,10\r\n");
    }
    std::string path(const char* name) const { return m_dir.file(name); }

    test::TempFolder m_dir;
};

TEST_F(CheckCommand, ExitStatusFollowsTheErrors) {
    // Raw survey points have no J stake type and no segment: errors.
    CliRun raw = run("check " + path("line.csv"));
    EXPECT_EQ(raw.status, 1);
    EXPECT_NE(raw.out.find("没有所属的电力线"), std::string::npos) << raw.out;

    // Make J1 and J2 stakes through a point file, then check after the steps.
    test::writeFile(m_dir / "line.ept",
                    "J1,0,0,10,,,,0,0,J\xD7\xAE,,,,,,,\r\n"
                    "J2,0,100,10,,,,0,0,J\xD7\xAE,,,,,,,\r\n"
                    "P1,5,50,10,,,,0,0,\xC6\xD5\xCD\xA8\xB5\xE3,,,,,,,\r\n"
                    "P2,0,150,10,,,,0,0,\xC6\xD5\xCD\xA8\xB5\xE3,,,,,,,\r\n");
    CliRun beyond =
        run("check " + path("line.ept") + " --line all --auto-select --calculate --json");
    EXPECT_EQ(beyond.status, 1) << beyond.out;
    EXPECT_NE(beyond.out.find("\"code\": \"unassigned-point\""), std::string::npos) << beyond.out;
    EXPECT_NE(beyond.out.find("在线路终点之后"), std::string::npos) << beyond.out;
    EXPECT_EQ(beyond.out.find("no-segment"), std::string::npos) << "reported once";

    test::writeFile(m_dir / "clean.ept",
                    "J1,0,0,10,,,,0,0,J\xD7\xAE,,,,,,,\r\n"
                    "P1,5,50,10,,,,0,0,\xC6\xD5\xCD\xA8\xB5\xE3,,,,,,,\r\n"
                    "J2,0,100,10,,,,0,0,J\xD7\xAE,,,,,,,\r\n");
    CliRun clean =
        run("check " + path("clean.ept") + " --line all --auto-select --calculate --json");
    EXPECT_EQ(clean.status, 0) << clean.out;
    EXPECT_NE(clean.out.find("\"errors\": 0"), std::string::npos) << clean.out;
}

TEST_F(CheckCommand, BadInputAndUsage) {
    EXPECT_EQ(run("check " + path("missing.ept")).status, 3);
    EXPECT_EQ(run("check").status, 2);
    EXPECT_EQ(run("check " + path("line.csv") + " --max-distance 5").status, 2)
        << "--max-distance needs --auto-select";
    EXPECT_EQ(run("check " + path("line.csv") + " --line J9").status, 1);
}

}  // namespace
}  // namespace corvane
