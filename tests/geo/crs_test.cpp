// Coordinate systems: what a user may type, the table's axis order, transformations
// held to PROJ's own cs2cs, the usual list and the zone number warning.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "bytefiles.h"
#include "crs.h"
#include "geotools.h"
#include "tempdir.h"

namespace corvane {
namespace {

using test::runProgram;
using test::TempFolder;
using test::writeFile;

TEST(Crs, AcceptsCodesWktAndProjStrings) {
    Result<Crs> wkt = Crs::fromUserText(Crs::fromUserText("EPSG:4547").value().wkt());
    const struct {
        std::string text;
        bool geographic;
        double falseEasting;
    } cases[] = {
        {"EPSG:4547", false, 500000},
        {" 4526 ", false, 38500000},
        {"epsg:4490", true, 0},
        {"+proj=tmerc +lon_0=114 +x_0=500000 +ellps=GRS80 +units=m", false, 500000},
        {"+proj=utm +zone=50 +datum=WGS84 +type=crs", false, 500000},
    };
    for (const auto& c : cases) {
        Result<Crs> crs = Crs::fromUserText(c.text);
        ASSERT_TRUE(crs) << c.text << ": " << crs.error().message;
        EXPECT_EQ(crs->geographic(), c.geographic) << c.text;
        EXPECT_DOUBLE_EQ(crs->falseEasting(), c.falseEasting) << c.text;
    }
    ASSERT_TRUE(wkt) << wkt.error().message;
    EXPECT_EQ(wkt->code(), "EPSG:4547");
    EXPECT_EQ(Crs::fromUserText("4547").value().label(),
              "EPSG:4547 CGCS2000 / 3-degree Gauss-Kruger CM 114E");
}

TEST(Crs, RefusesWhatPROJDoesNotKnowInChinese) {
    // "Beijing" alone is a name PROJ would search for and find somewhere.
    for (const char* text : {"", "foo", "Beijing", "EPSG:999999", "+proj=nonsense", "GEOGCS[",
                             "EPSG:5773" /* a height system */}) {
        Result<Crs> crs = Crs::fromUserText(text);
        ASSERT_FALSE(crs) << text;
        EXPECT_EQ(crs.error().kind, Error::Kind::Data);
        EXPECT_NE(crs.error().message.find("坐标系"), std::string::npos) << crs.error().message;
    }
}

// Northing and easting of the table whatever the axis order the system declares: a
// Gauss-Krüger system says northing first, UTM easting first.
TEST(CrsTransform, TableNorthAndEastInEveryAxisOrder) {
    for (const char* code : {"EPSG:4547", "EPSG:32650"}) {
        Result<CrsTransform> toWgs =
            CrsTransform::create(Crs::fromUserText(code).value(), Crs::wgs84());
        ASSERT_TRUE(toWgs);
        double north = 3380000.0;
        double east = 500000.0;  // on the central meridian: 114E or 117E
        ASSERT_TRUE(toWgs->apply(north, east));
        EXPECT_NEAR(north, 30.54, 0.02) << code;  // latitude
        EXPECT_NEAR(east, std::string(code) == "EPSG:4547" ? 114.0 : 117.0, 1e-9) << code;
    }
    Result<CrsTransform> outside =
        CrsTransform::create(Crs::fromUserText("EPSG:4547").value(), Crs::wgs84());
    double north = 3380000.0, east = 38500000.0;  // a zone number the system has not
    EXPECT_FALSE(outside->apply(north, east));
}

// Points of each offered family against cs2cs, PROJ's own program, to 1e-9 degree.
TEST(CrsTransform, AgreesWithCs2csForEveryFamily) {
    CORVANE_NEEDS_TOOL("cs2cs");
    const struct {
        const char* code;
        double north, east;
        bool eastFirst;  // the system's declared axis order
    } cases[] = {
        {"EPSG:4547", 3380123.456, 512345.678, false},     // CGCS2000 3° CM 114E
        {"EPSG:4526", 3380123.456, 38512345.678, false},   // CGCS2000 3° zone 38
        {"EPSG:4508", 3380123.456, 487654.321, false},     // CGCS2000 6° CM 111E
        {"EPSG:4497", 3380123.456, 19487654.321, false},   // CGCS2000 6° zone 19
        {"EPSG:2383", 3380123.456, 512345.678, false},     // Xi'an 1980 3° CM 114E
        {"EPSG:2362", 3380123.456, 38512345.678, false},   // Xi'an 1980 3° zone 38
        {"EPSG:2344", 3380123.456, 487654.321, false},     // Xi'an 1980 6° CM 111E
        {"EPSG:2333", 3380123.456, 19487654.321, false},   // Xi'an 1980 6° zone 19
        {"EPSG:2435", 3380123.456, 512345.678, false},     // Beijing 1954 3° CM 114E
        {"EPSG:2414", 3380123.456, 38512345.678, false},   // Beijing 1954 3° zone 38
        {"EPSG:21459", 3380123.456, 487654.321, false},    // Beijing 1954 6° CM 111E
        {"EPSG:21419", 3380123.456, 19487654.321, false},  // Beijing 1954 6° zone 19
        {"EPSG:32650", 3380123.456, 412345.678, true},     // WGS 84 / UTM 50N
    };
    TempFolder dir;
    for (const auto& c : cases) {
        std::ostringstream input;
        input.precision(12);
        if (c.eastFirst)
            input << c.east << ' ' << c.north << '\n';
        else
            input << c.north << ' ' << c.east << '\n';
        writeFile(dir.file("in.txt"), input.str());
        const test::CliRun run =
            runProgram("cs2cs", {"-f", "%.12f", c.code, "EPSG:4326", dir.file("in.txt")});
        ASSERT_EQ(run.status, 0) << run.err;
        std::istringstream output(run.out);
        double lat = 0, lon = 0;
        ASSERT_TRUE(output >> lat >> lon) << run.out;

        Result<CrsTransform> toWgs =
            CrsTransform::create(Crs::fromUserText(c.code).value(), Crs::wgs84());
        ASSERT_TRUE(toWgs) << c.code;
        double north = c.north, east = c.east;
        ASSERT_TRUE(toWgs->apply(north, east)) << c.code;
        EXPECT_NEAR(north, lat, 1e-9) << c.code;
        EXPECT_NEAR(east, lon, 1e-9) << c.code;
    }
}

TEST(UsualCrs, EveryFamilyByNameFromPROJ) {
    const std::vector<UsualCrs>& list = usualCrsList();
    // Six Gauss-Krüger families of 21 (3°) or 11 (6°) zones, each with and without the
    // zone number, and eleven UTM zones.
    EXPECT_EQ(list.size(), size_t{2 * (3 * 21 + 3 * 11) + 11});
    auto find = [&](const std::string& code) -> const UsualCrs* {
        for (const UsualCrs& u : list)
            if (u.code == code)
                return &u;
        return nullptr;
    };
    const std::pair<const char*, const char*> expected[] = {
        {"EPSG:4534", "CGCS2000 / 3-degree Gauss-Kruger CM 75E"},
        {"EPSG:4554", "CGCS2000 / 3-degree Gauss-Kruger CM 135E"},
        {"EPSG:4513", "CGCS2000 / 3-degree Gauss-Kruger zone 25"},
        {"EPSG:4533", "CGCS2000 / 3-degree Gauss-Kruger zone 45"},
        {"EPSG:4502", "CGCS2000 / Gauss-Kruger CM 75E"},
        {"EPSG:4491", "CGCS2000 / Gauss-Kruger zone 13"},
        {"EPSG:2390", "Xian 1980 / 3-degree Gauss-Kruger CM 135E"},
        {"EPSG:2349", "Xian 1980 / 3-degree Gauss-Kruger zone 25"},
        {"EPSG:2348", "Xian 1980 / Gauss-Kruger CM 135E"},
        {"EPSG:2327", "Xian 1980 / Gauss-Kruger zone 13"},
        {"EPSG:2422", "Beijing 1954 / 3-degree Gauss-Kruger CM 75E"},
        {"EPSG:2421", "Beijing 1954 / 3-degree Gauss-Kruger zone 45"},
        {"EPSG:21463", "Beijing 1954 / Gauss-Kruger CM 135E"},
        {"EPSG:21413", "Beijing 1954 / Gauss-Kruger zone 13"},
        {"EPSG:32643", "WGS 84 / UTM zone 43N"},
        {"EPSG:32653", "WGS 84 / UTM zone 53N"},
    };
    for (const auto& [code, name] : expected) {
        const UsualCrs* u = find(code);
        ASSERT_NE(u, nullptr) << code;
        EXPECT_EQ(u->name, name);
        EXPECT_FALSE(u->group.empty());
    }
}

TEST(ZoneWarning, NamesTheLikelySystem) {
    const struct {
        const char* chosen;
        double easting;
        const char* expected;  // in the warning; nullptr: no warning
    } cases[] = {
        {"EPSG:4547", 38512345.0, "EPSG:4526 CGCS2000 / 3-degree Gauss-Kruger zone 38"},
        {"EPSG:4526", 512345.0, "EPSG:4547 CGCS2000 / 3-degree Gauss-Kruger CM 114E"},
        {"EPSG:2383", 38512345.0, "EPSG:2362 Xian 1980 / 3-degree Gauss-Kruger zone 38"},
        {"EPSG:4502", 19512345.0, "EPSG:4497 CGCS2000 / Gauss-Kruger zone 19"},
        {"EPSG:21419", 512345.0, "EPSG:21459 Beijing 1954 / Gauss-Kruger CM 111E"},
        {"EPSG:32650", 38512345.0, "带号 38"},
        {"EPSG:4547", 512345.0, nullptr},
        {"EPSG:4526", 38512345.0, nullptr},
        {"EPSG:4490", 114.5, nullptr},
    };
    for (const auto& c : cases) {
        const std::optional<std::string> warning =
            zoneWarning(Crs::fromUserText(c.chosen).value(), {c.easting, c.easting + 10.0});
        if (c.expected == nullptr) {
            EXPECT_FALSE(warning) << c.chosen << ": " << *warning;
            continue;
        }
        ASSERT_TRUE(warning) << c.chosen << " " << c.easting;
        EXPECT_NE(warning->find(c.expected), std::string::npos) << *warning;
    }
}

}  // namespace
}  // namespace corvane
