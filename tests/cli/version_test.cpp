// corvane-cli --version: the project's version on standard output, for people and for
// the manual page made from it.

#include <gtest/gtest.h>

#include <string>

#include "clirunner.h"
#include "corvaneversion.h"

namespace corvane {
namespace {

TEST(CliVersion, PrintsTheProjectVersionAndExitsZero) {
    // Before a subcommand, alone, and where a subcommand would otherwise be required.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--version"}, {"--version", "process", "missing.ept"}}) {
        const test::CliRun run = test::runCli(args);
        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, std::string("corvane-cli ") + kVersion + "\n");
        EXPECT_EQ(run.err, "");
    }
    EXPECT_NE(std::string(kVersion), "");
}

TEST(CliVersion, HelpNamesTheOption) {
    const test::CliRun run = test::runCli({"--help"});
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.out.find("--version"), std::string::npos) << run.out;
}

TEST(CliVersion, FullStandardOutputIsAFileProblem) {
    const test::CliRun run = test::runCli({"--version"}, {}, {"/dev/full", ""});
    EXPECT_EQ(run.status, 3);
    EXPECT_NE(run.err.find("标准输出"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace corvane
