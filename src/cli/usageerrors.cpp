#include "usageerrors.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <string_view>

namespace corvane {
namespace {

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// What follows `marker` in `text`, or the whole text when the marker is not there.
std::string after(std::string_view text, std::string_view marker) {
    const size_t at = text.find(marker);
    return std::string(at == std::string_view::npos ? text : text.substr(at + marker.size()));
}

std::string before(std::string_view text, std::string_view marker) {
    const size_t at = text.find(marker);
    return std::string(at == std::string_view::npos ? text : text.substr(0, at));
}

}  // namespace

std::string usageMessage(const CLI::ParseError& error) {
    const std::string_view text = error.what();
    // The validators of the step options already speak Chinese.
    if (!isAscii(text))
        return std::string(text);
    if (dynamic_cast<const CLI::RequiredError*>(&error)) {
        if (text.find("subcommand") != std::string_view::npos)
            return "请给出一个子命令：process、check 或 merge。";
        return "缺少必需的参数 " + before(text, " is required") + "。";
    }
    if (dynamic_cast<const CLI::ExtrasError*>(&error))
        return "不认识的参数：" + after(text, ": ") + "。";
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error))
        return "选项 " + before(text, ":") + " 缺少取值或取值个数不对。";
    if (dynamic_cast<const CLI::ValidationError*>(&error) ||
        dynamic_cast<const CLI::ConversionError*>(&error)) {
        const std::string option = before(text, ": ");
        const std::string detail = after(text, ": ");
        if (detail.find(" not in ") != std::string::npos)
            return "选项 " + option + " 的取值“" + before(detail, " not in ") + "”无效，可选：" +
                   after(detail, " not in ") + "。";
        return "选项 " + option + " 的取值无效：" + detail;
    }
    return "命令行有误：" + std::string(text);
}

}  // namespace corvane
