#include "splitfields.h"

namespace corvane {
namespace {

bool isAsciiSpace(unsigned char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// U+3000 in UTF-8.
constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";

}  // namespace

std::string_view trimField(std::string_view text) {
    for (;;) {
        if (!text.empty() && isAsciiSpace(static_cast<unsigned char>(text.front())))
            text.remove_prefix(1);
        else if (text.starts_with(kIdeographicSpace))
            text.remove_prefix(kIdeographicSpace.size());
        else
            break;
    }
    for (;;) {
        if (!text.empty() && isAsciiSpace(static_cast<unsigned char>(text.back())))
            text.remove_suffix(1);
        else if (text.ends_with(kIdeographicSpace))
            text.remove_suffix(kIdeographicSpace.size());
        else
            break;
    }
    return text;
}

int SplitFields(std::string_view line, char delimiter, std::vector<std::string_view>& fields) {
    fields.clear();
    if (line.empty())
        return 0;
    std::string_view rest = trimField(line);
    for (;;) {
        size_t p = rest.find(delimiter);
        if (p == std::string_view::npos)
            break;
        fields.push_back(trimField(rest.substr(0, p)));
        rest.remove_prefix(p + 1);
    }
    fields.push_back(trimField(rest));
    return static_cast<int>(fields.size());
}

}  // namespace corvane
