#include "crs.h"

#include <proj.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace corvane {
namespace {

// PROJ objects of one use, freed together; PROJ's own messages stay off stderr.
class ProjContext {
public:
    ProjContext() : m_ctx(proj_context_create()) { proj_log_level(m_ctx, PJ_LOG_NONE); }
    ~ProjContext() { proj_context_destroy(m_ctx); }
    ProjContext(const ProjContext&) = delete;
    ProjContext& operator=(const ProjContext&) = delete;
    PJ_CONTEXT* get() const { return m_ctx; }

private:
    PJ_CONTEXT* m_ctx;
};

struct PjFree {
    void operator()(PJ* pj) const { proj_destroy(pj); }
};
using PjPtr = std::unique_ptr<PJ, PjFree>;

std::string trimmed(std::string_view text) {
    const char* space = " \t\r\n";
    const size_t first = text.find_first_not_of(space);
    if (first == std::string_view::npos)
        return {};
    return std::string(text.substr(first, text.find_last_not_of(space) - first + 1));
}

bool isGeographicType(PJ_TYPE type) {
    return type == PJ_TYPE_GEOGRAPHIC_2D_CRS || type == PJ_TYPE_GEOGRAPHIC_3D_CRS;
}

// The horizontal system inside a bound or compound one.
PjPtr horizontalPart(PJ_CONTEXT* ctx, const PJ* crs) {
    PJ_TYPE type = proj_get_type(crs);
    if (type == PJ_TYPE_BOUND_CRS)
        return horizontalPart(ctx, PjPtr(proj_get_source_crs(ctx, crs)).get());
    if (type == PJ_TYPE_COMPOUND_CRS)
        return horizontalPart(ctx, PjPtr(proj_crs_get_sub_crs(ctx, crs, 0)).get());
    return PjPtr(proj_clone(ctx, crs));
}

double falseEastingOf(PJ_CONTEXT* ctx, const PJ* projected) {
    PjPtr op(proj_crs_get_coordoperation(ctx, projected));
    if (!op)
        return 0.0;
    const int count = proj_coordoperation_get_param_count(ctx, op.get());
    for (int i = 0; i < count; ++i) {
        const char* name = nullptr;
        const char* code = nullptr;
        double value = 0.0;
        double toMetres = 1.0;
        if (!proj_coordoperation_get_param(ctx, op.get(), i, &name, nullptr, &code, &value, nullptr,
                                           &toMetres, nullptr, nullptr, nullptr, nullptr))
            continue;
        // 8806 False easting, 8816 Easting at false origin.
        const bool easting =
            (code && (std::strcmp(code, "8806") == 0 || std::strcmp(code, "8816") == 0)) ||
            (name && std::strcmp(name, "False easting") == 0);
        if (easting)
            return value * (toMetres > 0 ? toMetres : 1.0);
    }
    return 0.0;
}

// PROJ also takes a bare word as a name to search for, which makes a typing error a
// system somewhere else on the Earth: only codes, WKT, PROJJSON and PROJ strings go
// to it, and a bare number is an EPSG code.
std::optional<std::string> definitionText(const std::string& text) {
    if (text.find_first_not_of("0123456789") == std::string::npos)
        return "EPSG:" + text;
    const bool code = text.find(':') != std::string::npos && text.find(' ') == std::string::npos;
    if (code || text.find('[') != std::string::npos || text[0] == '+' || text[0] == '{' ||
        text.rfind("proj=", 0) == 0)
        return text;
    return std::nullopt;
}

// PROJ's definition of `text`: a PROJ string without "+type=crs" names an operation,
// not a system, so that is added.
PjPtr createCrs(PJ_CONTEXT* ctx, const std::string& text) {
    PjPtr pj(proj_create(ctx, text.c_str()));
    if (pj && proj_is_crs(pj.get()))
        return pj;
    if (!text.empty() && text[0] == '+' && text.find("+type=crs") == std::string::npos) {
        pj.reset(proj_create(ctx, (text + " +type=crs").c_str()));
        if (pj && proj_is_crs(pj.get()))
            return pj;
    }
    return nullptr;
}

// The text PROJ builds the system from again: its code when it has one (what cs2cs
// and the database know it by), else the user's text.
std::string definitionOf(const Crs& crs) {
    if (!crs.code().empty())
        return crs.code();
    return definitionText(crs.userText()).value_or(crs.userText());
}

}  // namespace

Result<Crs> Crs::fromUserText(std::string_view text) {
    Crs crs;
    crs.m_userText = trimmed(text);
    if (crs.m_userText.empty())
        return Error::data("没有给出坐标系。");
    ProjContext ctx;
    const std::optional<std::string> definition = definitionText(crs.m_userText);
    PjPtr pj = definition ? createCrs(ctx.get(), *definition) : nullptr;
    if (!pj)
        return Error::data("无法识别的坐标系“" + crs.m_userText +
                           "”：请给出 EPSG 代码（如 EPSG:4547）、WKT 或 PROJ 字符串。");
    PjPtr horizontal = horizontalPart(ctx.get(), pj.get());
    const PJ_TYPE type = horizontal ? proj_get_type(horizontal.get()) : PJ_TYPE_UNKNOWN;
    if (!isGeographicType(type) && type != PJ_TYPE_PROJECTED_CRS)
        return Error::data("坐标系“" + crs.m_userText + "”既不是投影坐标系也不是经纬度坐标系。");
    crs.m_geographic = isGeographicType(type);
    if (!crs.m_geographic)
        crs.m_falseEasting = falseEastingOf(ctx.get(), horizontal.get());
    if (const char* name = proj_get_name(pj.get()))
        crs.m_name = name;
    const char* auth = proj_get_id_auth_name(pj.get(), 0);
    const char* code = proj_get_id_code(pj.get(), 0);
    if (auth && code)
        crs.m_code = std::string(auth) + ":" + code;
    const char* options[] = {"MULTILINE=NO", nullptr};
    if (const char* wkt = proj_as_wkt(ctx.get(), pj.get(), PJ_WKT2_2019, options))
        crs.m_wkt = wkt;
    return crs;
}

Crs Crs::wgs84() {
    return fromUserText("EPSG:4326").value();
}

struct CrsTransform::Parts {
    ProjContext ctx;
    PjPtr op;
};

CrsTransform::CrsTransform(CrsTransform&&) noexcept = default;
CrsTransform& CrsTransform::operator=(CrsTransform&&) noexcept = default;
CrsTransform::~CrsTransform() = default;

Result<CrsTransform> CrsTransform::create(const Crs& from, const Crs& to) {
    CrsTransform transform;
    transform.m_parts = std::make_unique<Parts>();
    PJ_CONTEXT* ctx = transform.m_parts->ctx.get();
    PjPtr source = createCrs(ctx, definitionOf(from));
    PjPtr target = createCrs(ctx, definitionOf(to));
    PjPtr op;
    if (source && target)
        op.reset(proj_create_crs_to_crs_from_pj(ctx, source.get(), target.get(), nullptr, nullptr));
    // Easting before northing and longitude before latitude, whatever the systems say.
    if (op)
        transform.m_parts->op.reset(proj_normalize_for_visualization(ctx, op.get()));
    if (!transform.m_parts->op)
        return Error::data("无法在坐标系“" + from.label() + "”和“" + to.label() + "”之间转换。");
    return transform;
}

bool CrsTransform::apply(double& north, double& east) const {
    PJ_COORD c = proj_coord(east, north, 0, 0);
    proj_errno_reset(m_parts->op.get());
    c = proj_trans(m_parts->op.get(), PJ_FWD, c);
    if (proj_errno(m_parts->op.get()) != 0 || !std::isfinite(c.xy.x) || !std::isfinite(c.xy.y) ||
        c.xy.x == HUGE_VAL)
        return false;
    east = c.xy.x;
    north = c.xy.y;
    return true;
}

namespace {

// A family of Gauss-Krüger zones: by central meridian (no zone number before the
// easting) and by zone number, the same zones in the same order.
struct ZoneFamily {
    const char* datum;
    int degrees;
    int byMeridianFirst;
    int byZoneFirst;
    int firstZone;
    int count;
};

// Codes as PROJ's EPSG database lists them.
constexpr ZoneFamily kZoneFamilies[] = {
    {"CGCS2000", 3, 4534, 4513, 25, 21},  {"CGCS2000", 6, 4502, 4491, 13, 11},
    {"西安 1980", 3, 2370, 2349, 25, 21}, {"西安 1980", 6, 2338, 2327, 13, 11},
    {"北京 1954", 3, 2422, 2401, 25, 21}, {"北京 1954", 6, 21453, 21413, 13, 11},
};
constexpr int kUtmFirst = 32643;  // WGS 84 / UTM zone 43N
constexpr int kUtmCount = 11;     // to 53N

std::string epsg(int code) {
    return "EPSG:" + std::to_string(code);
}

std::string nameOf(const std::string& code) {
    ProjContext ctx;
    PjPtr pj(proj_create(ctx.get(), code.c_str()));
    const char* name = pj ? proj_get_name(pj.get()) : nullptr;
    return name ? name : code;
}

std::string usualLabel(int code) {
    return epsg(code) + " " + nameOf(epsg(code));
}

// The family and place in it of an EPSG code, if it is one of the zones.
struct ZonePlace {
    const ZoneFamily* family = nullptr;
    int index = 0;
    bool byZone = false;
};

std::optional<ZonePlace> placeOf(const std::string& code) {
    if (code.rfind("EPSG:", 0) != 0)
        return std::nullopt;
    const int number = std::atoi(code.c_str() + 5);
    for (const ZoneFamily& f : kZoneFamilies) {
        if (number >= f.byMeridianFirst && number < f.byMeridianFirst + f.count)
            return ZonePlace{&f, number - f.byMeridianFirst, false};
        if (number >= f.byZoneFirst && number < f.byZoneFirst + f.count)
            return ZonePlace{&f, number - f.byZoneFirst, true};
    }
    return std::nullopt;
}

}  // namespace

const std::vector<UsualCrs>& usualCrsList() {
    static const std::vector<UsualCrs> list = [] {
        std::vector<UsualCrs> out;
        for (const ZoneFamily& f : kZoneFamilies) {
            const std::string degrees = std::to_string(f.degrees) + "度带";
            for (int i = 0; i < f.count; ++i)
                out.push_back({epsg(f.byMeridianFirst + i), nameOf(epsg(f.byMeridianFirst + i)),
                               std::string(f.datum) + " " + degrees + "（无带号）"});
            for (int i = 0; i < f.count; ++i)
                out.push_back({epsg(f.byZoneFirst + i), nameOf(epsg(f.byZoneFirst + i)),
                               std::string(f.datum) + " " + degrees + "（带号）"});
        }
        for (int i = 0; i < kUtmCount; ++i)
            out.push_back({epsg(kUtmFirst + i), nameOf(epsg(kUtmFirst + i)), "WGS 84 UTM"});
        return out;
    }();
    return list;
}

std::optional<std::string> zoneWarning(const Crs& crs, const std::vector<double>& eastings) {
    if (crs.geographic() || eastings.empty())
        return std::nullopt;
    std::vector<double> sizes;
    sizes.reserve(eastings.size());
    for (double e : eastings)
        sizes.push_back(std::fabs(e));
    std::nth_element(sizes.begin(), sizes.begin() + sizes.size() / 2, sizes.end());
    const double median = sizes[sizes.size() / 2];
    const bool systemHasZone = crs.falseEasting() >= 1e6;
    const bool valuesHaveZone = median >= 1e7 && median < 1e8;
    const bool valuesHaveNone = median < 1e6;
    const std::optional<ZonePlace> place = placeOf(crs.code());
    std::string suggestion;
    std::string message;
    if (valuesHaveZone && !systemHasZone) {
        const int zone = static_cast<int>(median / 1e6);
        message = "东坐标Y 有 8 位整数（带号 " + std::to_string(zone) + " 在前），而坐标系“" +
                  crs.label() + "”的东坐标没有带号";
        const char* datum = place ? place->family->datum : "CGCS2000";
        for (const ZoneFamily& f : kZoneFamilies)
            if (std::strcmp(f.datum, datum) == 0 && zone >= f.firstZone &&
                zone < f.firstZone + f.count)
                suggestion = usualLabel(f.byZoneFirst + zone - f.firstZone);
    } else if (valuesHaveNone && systemHasZone) {
        message = "东坐标Y 没有带号，而坐标系“" + crs.label() + "”的东坐标前有带号";
        if (place && place->byZone)
            suggestion = usualLabel(place->family->byMeridianFirst + place->index);
    } else {
        return std::nullopt;
    }
    if (!suggestion.empty())
        message += "：可能应为“" + suggestion + "”";
    return message + "。";
}

}  // namespace corvane
