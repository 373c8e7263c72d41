#include "inputformat.h"

#include <CLI/CLI.hpp>

#include <string>

namespace corvane {

std::optional<PointFileFormat> inputFormatByName(std::string_view name) {
    std::string lower(name);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    if (lower == "ept")
        return PointFileFormat::Ept;
    if (lower == "csv")
        return PointFileFormat::RawCsv;
    return std::nullopt;
}

void addInputFormatOption(CLI::App& command, std::optional<PointFileFormat>& format) {
    command
        .add_option_function<std::string>(
            "--input-format",
            [&format](const std::string& name) { format = inputFormatByName(name); },
            "输入格式：ept 或 csv，不分大小写（默认按扩展名）")
        ->check(CLI::IsMember({"ept", "csv"}, CLI::ignore_case));
}

}  // namespace corvane
