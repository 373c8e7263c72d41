#include "exportformat.h"

#include "dxfexport.h"
#include "filesystem.h"
#include "orgwriter.h"
#include "pointfilewriter.h"

namespace corvane {
namespace {

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

}  // namespace

std::string_view extensionOf(ExportType type) {
    switch (type) {
        case ExportType::Org:
            return ".org";
        case ExportType::Ept:
            return ".ept";
        case ExportType::Csv:
            return ".csv";
        case ExportType::Dxf:
            return ".dxf";
    }
    return "";
}

std::optional<ExportType> exportTypeByName(std::string_view name) {
    std::string n = lower(name);
    if (n == "org")
        return ExportType::Org;
    if (n == "ept")
        return ExportType::Ept;
    if (n == "csv")
        return ExportType::Csv;
    if (n == "dxf")
        return ExportType::Dxf;
    return std::nullopt;
}

std::optional<ExportType> exportTypeForPath(std::string_view path) {
    size_t dot = path.rfind('.');
    size_t slash = path.rfind('/');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return std::nullopt;
    return exportTypeByName(path.substr(dot + 1));
}

Result<std::string> buildExport(const PointTable& table, ExportType type) {
    switch (type) {
        case ExportType::Ept:
            return buildEptFile(table);
        case ExportType::Csv:
            return buildCsvTable(table);
        case ExportType::Org:
            return buildOrgFile(table);
        case ExportType::Dxf:
            return buildDxfFile(table);
    }
    return Error::data("未知的导出文件类型。");
}

Status exportTable(const PointTable& table, ExportType type, const std::string& path,
                   OrgReport* orgReport) {
    // The point files are written as they are encoded.
    if (type == ExportType::Ept)
        return writeEptFile(table, path);
    if (type == ExportType::Csv)
        return writeCsvTable(table, path);
    Result<std::string> bytes =
        type == ExportType::Org ? buildOrgFile(table, orgReport) : buildExport(table, type);
    if (!bytes)
        return bytes.error();
    return writeFileAtomically(path, bytes.value());
}

}  // namespace corvane
