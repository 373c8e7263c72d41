#include "textlines.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace corvane {
namespace {

std::vector<std::string> linesOf(const TextLines& lines) {
    return std::vector<std::string>(lines.begin(), lines.end());
}

TEST(TextLines, KeepsEveryLineAsGivenIncludingEmptyOnes) {
    TextLines lines;
    EXPECT_TRUE(lines.empty());
    std::vector<std::string> expected;
    // Enough lines to grow both buffers many times over.
    for (int i = 0; i < 20000; ++i) {
        std::string line = i % 5 == 0 ? "" : "行" + std::to_string(i) + std::string(i % 7, ' ');
        lines.push_back(line);
        expected.push_back(line);
    }
    ASSERT_EQ(lines.size(), expected.size());
    EXPECT_EQ(linesOf(lines), expected);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[19999], expected[19999]);
    std::string all;
    for (const std::string& line : expected)
        all += line;
    EXPECT_EQ(lines.text(), all);
}

TEST(TextLines, CopiesMovesAppendsAndComparesLineByLine) {
    const TextLines ab{"a", "b"};
    // The same bytes cut differently are different lines.
    EXPECT_NE(ab, (TextLines{"ab"}));
    EXPECT_NE(ab, (TextLines{"a", "b", ""}));
    EXPECT_EQ(ab, (TextLines{"a", "b"}));

    TextLines copy(ab);
    copy.push_back("c");
    EXPECT_EQ(ab.size(), 2u);
    TextLines moved(std::move(copy));
    EXPECT_EQ(linesOf(moved), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(copy.empty());  // NOLINT(bugprone-use-after-move): a moved-from list is empty

    moved.append(ab);
    moved.append(moved);  // a list appended to itself
    EXPECT_EQ(linesOf(moved),
              (std::vector<std::string>{"a", "b", "c", "a", "b", "a", "b", "c", "a", "b"}));

    // A line taken from the list itself survives the growth it causes.
    TextLines self{"x"};
    for (int i = 0; i < 12; ++i)
        self.push_back(self[self.size() - 1]);
    EXPECT_EQ(self.size(), 13u);
    EXPECT_EQ(self[12], "x");

    TextLines swapped;
    swapped.swap(moved);
    EXPECT_TRUE(moved.empty());
    EXPECT_EQ(swapped.size(), 10u);
    swapped.clear();
    EXPECT_EQ(swapped, TextLines());
    EXPECT_GT(swapped.heapBytes(), 0u);  // the room stays for the next lines
}

// Moving the lines of a large list over (the parts of an import joined) gives what
// copying them gives, and leaves the list moved from empty.
TEST(TextLines, AppendingByMoveGivesWhatCopyingGives) {
    TextLines first{"标题", "", "x"};
    TextLines second;
    for (int i = 0; i < 2500000; ++i)
        second.push_back(i % 3 == 0 ? std::string_view() : std::to_string(i));
    TextLines copied(first);
    copied.append(second);
    first.append(std::move(second));
    EXPECT_EQ(first, copied);
    EXPECT_EQ(first.size(), 2500003u);
    EXPECT_EQ(first[2500001], "2499998");
    EXPECT_TRUE(second.empty());  // NOLINT(bugprone-use-after-move): emptied on purpose
    second.push_back("again");
    EXPECT_EQ(second[0], "again");
}

}  // namespace
}  // namespace corvane
