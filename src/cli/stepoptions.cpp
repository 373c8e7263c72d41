#include "stepoptions.h"

#include <CLI/CLI.hpp>

#include <charconv>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "processcommand.h"
#include "splitfields.h"

namespace corvane {
namespace {

// A whole option text as a finite decimal number, whatever the locale.
std::optional<double> parseNumber(std::string_view text) {
    text = trimField(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    double value = 0.0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value, std::chars_format::general);
    if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// A CLI11 validator for number options, with a Chinese message.
CLI::Validator numberValidator() {
    return CLI::Validator(
        [](std::string& text) {
            return parseNumber(text) ? std::string() : "“" + text + "”不是一个数字";
        },
        "NUMBER");
}

// The same for a distance: a finite number of at least 0.
CLI::Validator distanceValidator() {
    return CLI::Validator(
        [](std::string& text) {
            const std::optional<double> value = parseNumber(text);
            return value && *value >= 0.0 ? std::string() : "“" + text + "”不是一个不小于 0 的数";
        },
        "DISTANCE");
}

struct StepTexts {
    std::string line;
    std::string startMileage;
    std::string maxDistance;
    std::string projectLimit;
};

}  // namespace

std::function<void()> addStepOptions(CLI::App& command, ProcessOptions& options) {
    auto texts = std::make_shared<StepTexts>();
    CLI::Option* lineOption = command.add_option(
        "--line", texts->line,
        "电力线点选择：以逗号分隔的 J 桩点名，或 all（表中全部 J 桩，按表中顺序）");
    command.add_option("--start-mileage", texts->startMileage, "电力线点选择的起始里程（默认 0）")
        ->check(numberValidator())
        ->needs(lineOption);
    CLI::Option* autoSelect =
        command.add_flag("--auto-select", options.autoSelect, "自动选择电力线");
    command
        .add_option("--max-distance", texts->maxDistance,
                    "自动选择电力线时，离最近线段超过此距离[m]的点不分配")
        ->check(distanceValidator())
        ->needs(autoSelect);
    command.add_flag("--calculate", options.calculate, "电力数据计算");
    command
        .add_option("--project", texts->projectLimit,
                    "测点投影到电力线，投影距离限差[m]；之后再做一次电力数据计算")
        ->check(numberValidator());
    command.add_flag("--sort", options.sort, "按累距排序");
    command.footer(
        "步骤总按此顺序执行：--line（电力线点选择）、--auto-select、--calculate、--project、"
        "--sort。");
    return [texts, lineOption, &options] {
        if (lineOption->count() > 0)
            options.line = texts->line;
        if (!texts->startMileage.empty())
            options.startMileage = parseNumber(texts->startMileage).value_or(0.0);
        if (!texts->maxDistance.empty())
            options.maxDistance = parseNumber(texts->maxDistance);
        if (!texts->projectLimit.empty())
            options.projectLimit = parseNumber(texts->projectLimit);
    };
}

}  // namespace corvane
