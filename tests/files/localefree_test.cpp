// The import, the writers and the cell number conventions give the same bytes in a
// German locale (decimal comma) as in the C locale. The desktop program runs in the
// user's locale (Qt sets it for the C library), so this runs with the locale set in
// this very process.

#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "bytefiles.h"
#include "cellnumber.h"
#include "pointfilereader.h"
#include "pointfilewriter.h"
#include "pointtable.h"

namespace corvane {
namespace {

// Everything the file layer produces for the fixture, as one string.
std::string everything() {
    const std::string bytes = test::readFile(CORVANE_TEST_DATA "/files/survey.ept");
    Result<ImportedPoints> imported = parsePointFile(bytes, PointFileFormat::Ept);
    EXPECT_TRUE(imported.ok());
    if (!imported)
        return {};
    std::string out = importSummary(imported.value());
    PointTable table;
    table.replaceAll(std::move(imported->rows), std::move(imported->otherLines));
    // Cells rewritten as the computations write them.
    for (int r = 0; r < table.rowCount(); ++r) {
        const double north = readNumber(table.text(r, ColNorth));
        table.setText(r, ColNorth, formatFixed(north * 1.0000001 + 0.00005, 4));
        table.setText(r, ColDistance, formatFixed(readNumber(table.text(r, ColDistance)) / 3, 3));
        table.setText(r, ColOffset, formatFixed(-readNumber(table.text(r, ColOffset)) / 7, 3));
    }
    out += buildEptFile(table).value();
    out += buildCsvTable(table).value();
    return out;
}

TEST(LocaleFree, GermanLocaleChangesNoByte) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    const std::string inC = everything();
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "the locale de_DE.UTF-8 is not installed (scripts/setup makes it)";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");  // the locale is really in force
    const std::string inGerman = everything();
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_FALSE(inC.empty());
    EXPECT_EQ(inGerman, inC);
    EXPECT_NE(inC.find(",25.347,"), std::string::npos);  // 76.042 / 3 with a decimal point
}

}  // namespace
}  // namespace corvane
