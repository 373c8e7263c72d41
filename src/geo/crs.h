#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "result.h"

namespace corvane {

/// A coordinate reference system as PROJ understands it, built from what a user types:
/// "EPSG:4547", a WKT or a PROJ string. Only the definition is kept, so a Crs may be
/// copied and handed to another thread; every use builds its own PROJ objects.
class Crs {
public:
    /// The system `text` names; a Chinese data error when PROJ does not know it.
    static Result<Crs> fromUserText(std::string_view text);
    /// WGS 84 longitude/latitude.
    static Crs wgs84();

    /// The text as the user gave it, trimmed.
    const std::string& userText() const { return m_userText; }
    /// PROJ's name of the system, e.g. "CGCS2000 / 3-degree Gauss-Kruger CM 114E".
    const std::string& name() const { return m_name; }
    /// "EPSG:4547" when the system has that code, else empty.
    const std::string& code() const { return m_code; }
    /// The definition as WKT2, for GDAL's files.
    const std::string& wkt() const { return m_wkt; }
    bool geographic() const { return m_geographic; }
    /// The false easting of a projected system; 0 when it has none.
    double falseEasting() const { return m_falseEasting; }
    /// "EPSG:4547 CGCS2000 / ..." or the name alone, for the status bar and messages.
    std::string label() const { return m_code.empty() ? m_name : m_code + " " + m_name; }

private:
    std::string m_userText;
    std::string m_name;
    std::string m_code;
    std::string m_wkt;
    bool m_geographic = false;
    double m_falseEasting = 0.0;
};

/// Converts between a system's table coordinates and another system. Table
/// coordinates are northing and easting (X, Y of the table), whatever axis order the
/// system declares; a geographic system's are latitude and longitude in degrees.
/// Not for sharing between threads.
class CrsTransform {
public:
    static Result<CrsTransform> create(const Crs& from, const Crs& to);
    CrsTransform(CrsTransform&&) noexcept;
    CrsTransform& operator=(CrsTransform&&) noexcept;
    ~CrsTransform();

    /// Transforms in place; false when PROJ cannot (the point lies outside the system).
    bool apply(double& north, double& east) const;

private:
    CrsTransform() = default;
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};

/// One of the systems offered by name.
struct UsualCrs {
    std::string code;   // "EPSG:4547"
    std::string name;   // PROJ's name
    std::string group;  // the family, in Chinese, e.g. "CGCS2000 3度带（无带号）"
};

/// The usual systems of Chinese survey work, names from PROJ's database: CGCS2000,
/// Xi'an 1980 and Beijing 1954 Gauss-Krüger zones of 3 and 6 degrees, without and
/// with the zone number before the easting, and WGS 84 / UTM 43N to 53N.
const std::vector<UsualCrs>& usualCrsList();

/// A warning when the easting values of the table do not fit the system: eight digits
/// before the point (a zone number in front) while the system has none, or the other
/// way round. Names the system the values likely belong to. `eastings` are the Y
/// values of the rows whose X and Y are numbers.
std::optional<std::string> zoneWarning(const Crs& crs, const std::vector<double>& eastings);

}  // namespace corvane
