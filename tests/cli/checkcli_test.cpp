#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct CliRun {
    int status = -1;
    std::string out;
};

CliRun run(const std::string& arguments) {
    CliRun result;
    std::string command = std::string(CORVANE_CLI) + " " + arguments + " 2>/dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe))
        result.out.append(buffer, n);
    int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

class CheckCommand : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = std::filesystem::temp_directory_path() /
                ("corvane-check-" + std::to_string(::getpid()));
        std::filesystem::create_directories(m_dir);
        // Two J stakes and three points: one beside the line, one beyond its end.
        std::ofstream(m_dir / "line.csv") << "J1,1,0,0,10\r\n"
                                             "J2,1,0,100,10\r\n"
                                             "P1,1,5,50,10\r\n"
                                             "P2,1,0,150,10\r\n";
    }
    void TearDown() override { std::filesystem::remove_all(m_dir); }
    std::string path(const char* name) const { return (m_dir / name).string(); }

    std::filesystem::path m_dir;
};

TEST_F(CheckCommand, ExitStatusFollowsTheErrors) {
    // Raw survey points have no J stake type and no segment: errors.
    CliRun raw = run("check " + path("line.csv"));
    EXPECT_EQ(raw.status, 1);
    EXPECT_NE(raw.out.find("没有所属的电力线"), std::string::npos) << raw.out;

    // Make J1 and J2 stakes through a point file, then check after the steps.
    std::ofstream(path("line.ept")) << "J1,0,0,10,,,,0,0,J\xD7\xAE,,,,,,,\r\n"
                                       "J2,0,100,10,,,,0,0,J\xD7\xAE,,,,,,,\r\n"
                                       "P1,5,50,10,,,,0,0,\xC6\xD5\xCD\xA8\xB5\xE3,,,,,,,\r\n"
                                       "P2,0,150,10,,,,0,0,\xC6\xD5\xCD\xA8\xB5\xE3,,,,,,,\r\n";
    CliRun beyond =
        run("check " + path("line.ept") + " --line all --auto-select --calculate --json");
    EXPECT_EQ(beyond.status, 1) << beyond.out;
    EXPECT_NE(beyond.out.find("\"code\": \"unassigned-point\""), std::string::npos) << beyond.out;
    EXPECT_NE(beyond.out.find("在线路终点之后"), std::string::npos) << beyond.out;
    EXPECT_EQ(beyond.out.find("no-segment"), std::string::npos) << "reported once";

    std::ofstream(path("clean.ept")) << "J1,0,0,10,,,,0,0,J\xD7\xAE,,,,,,,\r\n"
                                        "P1,5,50,10,,,,0,0,\xC6\xD5\xCD\xA8\xB5\xE3,,,,,,,\r\n"
                                        "J2,0,100,10,,,,0,0,J\xD7\xAE,,,,,,,\r\n";
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
