#include <gtest/gtest.h>

#include "cp936.h"
#include "pointfilereader.h"
#include "pointfilewriter.h"
#include "pointtable.h"

namespace corvane {
namespace {

using test::gbk;

TEST(PointFile, EptRoundTripKeepsRowsAndOtherLines) {
    const std::string text =
        gbk("title\r\n"
            "J1,1,2,3,J1,J2,空格（无编码）,0.000,0.0000,J桩,无跨越物(0),0,0,无杆型,0,0,\r\n"
            "a,b,c,d,e,f,g,h,i,j\r\n");
    auto imported = parsePointFile(text, PointFileFormat::Ept);
    ASSERT_TRUE(imported.ok());
    EXPECT_EQ(imported->encoding, TextEncoding::Cp936);
    PointTable t;
    t.replaceAll(std::move(imported->rows), std::move(imported->otherLines));
    auto bytes = buildEptFile(t);
    ASSERT_TRUE(bytes.ok()) << bytes.error().message;
    EXPECT_EQ(
        bytes.value(),
        gbk("title\r\na,b,c,d,e,f,g,h,i,j\r\n"
            "J1,1,2,3,J1,J2,空格（无编码）,0.000,0.0000,J桩,无跨越物(0),0,0,无杆型,0,0,\r\n"));
}

}  // namespace
}  // namespace corvane
