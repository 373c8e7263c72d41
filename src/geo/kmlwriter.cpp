#include "kmlwriter.h"

#include <cpl_conv.h>
#include <cpl_vsi.h>

#include <atomic>
#include <map>

#include "cellnumber.h"
#include "columns.h"
#include "pointtable.h"
#include "vocabularies.h"

namespace corvane {
namespace {

// Text for XML character data and attribute values.
void appendEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
}

// Ten decimals of a degree are about 0.01 mm on the ground.
void appendCoordinates(std::string& out, const LonLat& at, const SurveyPoint& point) {
    appendFixed(out, at.lon, 10);
    out += ',';
    appendFixed(out, at.lat, 10);
    if (point.height) {
        out += ',';
        appendFixed(out, *point.height, 4);
    }
}

std::string_view styleOf(std::string_view type) {
    if (type == kJStake)
        return "jstake";
    if (type == kZStake)
        return "zstake";
    return "point";
}

const char* kStyles =
    "<Style id=\"jstake\"><IconStyle><color>ff0000ff</color><scale>1.2</scale><Icon><href>"
    "http://maps.google.com/mapfiles/kml/shapes/triangle.png</href></Icon></IconStyle>"
    "<LabelStyle><scale>1.0</scale></LabelStyle></Style>\n"
    "<Style id=\"zstake\"><IconStyle><color>ff00ffff</color><scale>1.0</scale><Icon><href>"
    "http://maps.google.com/mapfiles/kml/shapes/square.png</href></Icon></IconStyle>"
    "<LabelStyle><scale>0.9</scale></LabelStyle></Style>\n"
    "<Style id=\"point\"><IconStyle><color>ffffffff</color><scale>0.7</scale><Icon><href>"
    "http://maps.google.com/mapfiles/kml/shapes/placemark_circle.png</href></Icon></IconStyle>"
    "<LabelStyle><scale>0.7</scale></LabelStyle></Style>\n"
    "<Style id=\"line\"><LineStyle><color>ff0000ff</color><width>3</width></LineStyle></Style>\n";

}  // namespace

std::string buildKml(const PointTable& table, const SurveyFeatures& features,
                     const std::vector<LonLat>& where, const std::string& title) {
    // Folders in the order their point types first appear.
    std::vector<std::string> folderNames;
    std::map<std::string, std::vector<size_t>, std::less<>> folders;
    for (size_t i = 0; i < features.points.size(); ++i) {
        std::string type(table.text(features.points[i].row, ColPointType));
        if (type.empty())
            type = "（无点类型）";
        auto [it, added] = folders.try_emplace(type);
        if (added)
            folderNames.push_back(type);
        it->second.push_back(i);
    }
    std::string out;
    out.reserve(features.points.size() * 900 + 2048);
    out +=
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n<Document>\n<name>";
    appendEscaped(out, title);
    out += "</name>\n";
    out += kStyles;
    for (const std::string& folder : folderNames) {
        out += "<Folder><name>";
        appendEscaped(out, folder);
        out += "</name>\n";
        for (size_t i : folders.find(folder)->second) {
            const SurveyPoint& point = features.points[i];
            out += "<Placemark><name>";
            appendEscaped(out, table.text(point.row, ColName));
            out += "</name><styleUrl>#";
            out += styleOf(table.text(point.row, ColPointType));
            // An HTML table of the row as character data: the escaped cells hold no
            // "]]>", which would end it.
            out += "</styleUrl><description><![CDATA[<table>";
            for (int c = 0; c < kColumnCount; ++c) {
                out += "<tr><td>";
                appendEscaped(out, kColumns[static_cast<size_t>(c)].header);
                out += "</td><td>";
                appendEscaped(out, table.text(point.row, c));
                out += "</td></tr>";
            }
            out += "</table>]]></description><Point><coordinates>";
            appendCoordinates(out, where[i], point);
            out += "</coordinates></Point></Placemark>\n";
        }
        out += "</Folder>\n";
    }
    if (features.line.size() >= 2) {
        out +=
            "<Placemark><name>电力线</name><styleUrl>#line</styleUrl><LineString>"
            "<tessellate>1</tessellate><coordinates>";
        for (size_t k = 0; k < features.line.size(); ++k) {
            if (k > 0)
                out += ' ';
            appendCoordinates(out, where[features.line[k]], features.points[features.line[k]]);
        }
        out += "</coordinates></LineString></Placemark>\n";
    }
    out += "</Document>\n</kml>\n";
    return out;
}

Result<std::string> zipKmz(const std::string& kml) {
    // Zipped in GDAL's memory file system, then written like any other file.
    static std::atomic<unsigned> serial{0};
    const std::string name = "/vsimem/corvane-kmz-" + std::to_string(serial++) + ".kmz";
    void* zip = CPLCreateZip(name.c_str(), nullptr);
    bool ok = zip != nullptr && CPLCreateFileInZip(zip, "doc.kml", nullptr) == CE_None &&
              CPLWriteFileInZip(zip, kml.data(), static_cast<int>(kml.size())) == CE_None &&
              CPLCloseFileInZip(zip) == CE_None;
    if (zip != nullptr)
        ok = CPLCloseZip(zip) == CE_None && ok;
    std::string bytes;
    if (ok) {
        vsi_l_offset size = 0;
        GByte* data = VSIGetMemFileBuffer(name.c_str(), &size, FALSE);
        if (data != nullptr)
            bytes.assign(reinterpret_cast<const char*>(data), static_cast<size_t>(size));
        else
            ok = false;
    }
    VSIUnlink(name.c_str());
    if (!ok)
        return Error::io("无法生成 KMZ 压缩包。");
    return bytes;
}

}  // namespace corvane
