#include "mergereport.h"

#include <algorithm>

#include "cellnumber.h"
#include "columns.h"
#include "filemerge.h"
#include "splitfields.h"

namespace corvane {
namespace {

std::string fileName(int file) {
    return file == 0 ? "第一个文件" : "第二个文件";
}

std::string where(const MergeSource& source) {
    return fileName(source.file) + "第 " + std::to_string(source.line + 1) + " 行";
}

std::string signedMetres(double value) {
    std::string text = formatFixed(value, 3);
    if (text[0] != '-' && text != "0.000")
        text.insert(text.begin(), '+');
    return text;
}

}  // namespace

std::vector<MergeReportEntry> mergeReport(const MergeResult& result) {
    std::vector<MergeReportEntry> entries;
    std::vector<std::string_view> kept;
    std::vector<std::string_view> dropped;
    for (const MergeDuplicate& d : result.duplicates) {
        SplitFields(result.text(d.kept), ',', kept);
        SplitFields(result.text(d.dropped), ',', dropped);
        MergeReportEntry entry;
        entry.conflict = d.conflicts();
        entry.key = kept.empty() ? std::string() : std::string(kept[0]);
        if (!d.pointLine && kept.size() > 1)
            entry.key += "," + std::string(kept[1]);
        std::string label = d.pointLine ? "点“" + entry.key + "”" : "行“" + entry.key + "”";
        entry.text = label + "：" + where(d.dropped) + "与" + where(d.kept) + "重复，已舍去";
        if (d.pointLine && d.coordinatesDiffer) {
            auto number = [](const std::vector<std::string_view>& f, int c) {
                return c < static_cast<int>(f.size()) ? readNumber(f[c]) : 0.0;
            };
            entry.text +=
                "；坐标不同：ΔX " +
                signedMetres(number(dropped, ColNorth) - number(kept, ColNorth)) + " m，ΔY " +
                signedMetres(number(dropped, ColEast) - number(kept, ColEast)) + " m，ΔH " +
                signedMetres(number(dropped, ColHeight) - number(kept, ColHeight)) + " m";
        }
        if (d.attributesDiffer) {
            std::string columns;
            const size_t n = std::max(kept.size(), dropped.size());
            for (size_t c = 0; c < n; ++c) {
                if (d.pointLine && c >= ColNorth && c <= ColHeight)
                    continue;
                std::string_view a = c < kept.size() ? kept[c] : std::string_view();
                std::string_view b = c < dropped.size() ? dropped[c] : std::string_view();
                if (a == b)
                    continue;
                if (!columns.empty())
                    columns += "、";
                columns += d.pointLine && c < kColumnCount
                               ? std::string(kColumns[c].header)
                               : "第 " + std::to_string(c + 1) + " 个字段";
            }
            entry.text += "；" + columns + "不同";
        }
        entry.text += "。";
        entries.push_back(std::move(entry));
    }
    std::stable_partition(entries.begin(), entries.end(),
                          [](const MergeReportEntry& e) { return e.conflict; });
    return entries;
}

}  // namespace corvane
