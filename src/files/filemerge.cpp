#include "filemerge.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "cellnumber.h"
#include "codepage.h"
#include "encodedtext.h"
#include "filesystem.h"
#include "splitfields.h"
#include "textdecoder.h"

namespace corvane {
namespace {

constexpr int kPointLineFields = 10;  // more fields than this make a point line
constexpr size_t kNorth = 1, kEast = 2, kElevation = 3;

std::string quoted(const std::string& name) {
    return "“" + name + "”";
}

Status readLines(std::string_view bytes, const std::string& name, MergeInput& input) {
    size_t invalid = 0;
    Status status = decodeLines(bytes, detectEncoding(bytes), invalid, [&](std::string_view line) {
        // Carriage returns before the line feed are the line's end, not its text: none
        // is written back inside a record.
        while (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        input.lines.push_back(line);
    });
    if (!status) {
        Error e = status.error();
        e.message = "文件" + quoted(name) + "：" + e.message;
        return e;
    }
    return success();
}

// What the merge needs of a line: its number of fields as SplitFields counts them
// and its first two fields, trimmed, without splitting the whole line.
struct LineKey {
    size_t fields = 0;
    std::string_view first;
    std::string_view second;
};

LineKey keyOf(std::string_view line) {
    LineKey key;
    if (line.empty())
        return key;
    key.fields = 1 + static_cast<size_t>(std::count(line.begin(), line.end(), ','));
    const size_t comma = line.find(',');
    key.first = trimField(line.substr(0, comma));
    if (comma != std::string_view::npos) {
        const std::string_view rest = line.substr(comma + 1);
        key.second = trimField(rest.substr(0, rest.find(',')));
    }
    return key;
}

struct KeyPair {
    std::string_view first;
    std::string_view second;
    bool operator==(const KeyPair&) const = default;
};

struct KeyPairHash {
    size_t operator()(const KeyPair& k) const {
        const size_t a = std::hash<std::string_view>()(k.first);
        const size_t b = std::hash<std::string_view>()(k.second);
        return a ^ (b + 0x9E3779B97F4A7C15ULL + (a << 6) + (a >> 2));
    }
};

std::string_view fieldAt(const std::vector<std::string_view>& fields, size_t i) {
    return i < fields.size() ? fields[i] : std::string_view();
}

class Merger {
public:
    Merger(MergeResult& result, const std::array<std::string, 2>& names)
        : m_result(result), m_names(names) {}

    Status run() {
        std::array<std::vector<size_t>, 2> points;
        // Other lines of both files first, then point lines of both; keys point into the
        // stored text, which stays put from here on.
        for (int file = 0; file < 2; ++file) {
            const MergeInput& input = m_result.inputs[file];
            for (size_t i = 0; i < input.lines.size(); ++i) {
                const LineKey key = keyOf(input.line(i));
                if (key.fields > kPointLineFields)
                    points[file].push_back(i);
                else
                    takeOther({file, i}, key);
            }
        }
        m_pointKeys.reserve(points[0].size() + points[1].size());
        for (int file = 0; file < 2; ++file)
            for (size_t i : points[file])
                takePoint({file, i}, keyOf(m_result.inputs[file].line(i)));
        return encode();
    }

private:
    void takeOther(MergeSource source, const LineKey& key) {
        if (key.first.empty() || key.second.empty()) {
            ++m_result.emptyKeysDropped;
            return;
        }
        auto [it, inserted] = m_otherKeys.try_emplace(KeyPair{key.first, key.second}, source);
        if (inserted) {
            m_taken.push_back(source);
            return;
        }
        MergeDuplicate d{source, it->second};
        if (m_result.text(source) != m_result.text(it->second)) {
            SplitFields(m_result.text(source), ',', m_fields);
            SplitFields(m_result.text(it->second), ',', m_keptFields);
            d.attributesDiffer = m_fields != m_keptFields;
        }
        addDuplicate(d);
    }

    void takePoint(MergeSource source, const LineKey& key) {
        if (key.first.empty()) {
            ++m_result.emptyKeysDropped;
            return;
        }
        auto [it, inserted] = m_pointKeys.try_emplace(key.first, source);
        if (inserted) {
            m_taken.push_back(source);
            return;
        }
        MergeDuplicate d{source, it->second};
        d.pointLine = true;
        if (m_result.text(source) != m_result.text(it->second))
            compareFields(d);
        addDuplicate(d);
    }

    void compareFields(MergeDuplicate& d) {
        SplitFields(m_result.text(d.dropped), ',', m_fields);
        SplitFields(m_result.text(d.kept), ',', m_keptFields);
        for (size_t i : {kNorth, kEast, kElevation})
            if (readNumber(fieldAt(m_fields, i)) != readNumber(fieldAt(m_keptFields, i)))
                d.coordinatesDiffer = true;
        const size_t n = std::max(m_fields.size(), m_keptFields.size());
        for (size_t i = 0; i < n; ++i)
            if (i != kNorth && i != kEast && i != kElevation &&
                fieldAt(m_fields, i) != fieldAt(m_keptFields, i))
                d.attributesDiffer = true;
    }

    void addDuplicate(const MergeDuplicate& d) {
        ++m_result.duplicatesDropped;
        m_result.duplicates.push_back(d);
    }

    Status encode() {
        size_t size = 0;
        for (const MergeSource& s : m_taken)
            size += m_result.text(s).size() + 2;
        std::string& out = m_result.bytes;
        out.reserve(size);
        for (const MergeSource& s : m_taken) {
            const std::string_view text = m_result.text(s);
            const size_t bad = cp936::encode(text, out);
            if (bad != std::string_view::npos) {
                out.clear();
                Error e = unencodableError(text, bad, -1, -1);
                e.message = "文件" + quoted(m_names[s.file]) + "第 " + std::to_string(s.line + 1) +
                            " 行：" + e.message;
                e.line = static_cast<int>(s.line + 1);
                return e;
            }
            out.append("\r\n");
            ++m_result.linesTaken[s.file];
        }
        return success();
    }

    MergeResult& m_result;
    const std::array<std::string, 2>& m_names;
    std::unordered_map<KeyPair, MergeSource, KeyPairHash> m_otherKeys;
    std::unordered_map<std::string_view, MergeSource> m_pointKeys;
    std::vector<MergeSource> m_taken;  // in output order: other lines, then point lines
    std::vector<std::string_view> m_fields;
    std::vector<std::string_view> m_keptFields;
};

Result<MergeResult> finishMerge(MergeResult& result, const std::array<std::string, 2>& names) {
    Status merged = Merger(result, names).run();
    if (!merged)
        return merged.error();
    return std::move(result);
}

}  // namespace

Result<MergeResult> mergePointData(std::string_view first, std::string_view second,
                                   const std::array<std::string, 2>& names) {
    MergeResult result;
    const std::array<std::string_view, 2> inputs{first, second};
    for (int file = 0; file < 2; ++file) {
        Status read = readLines(inputs[file], names[file], result.inputs[file]);
        if (!read)
            return read.error();
    }
    return finishMerge(result, names);
}

Result<MergeResult> mergePointFiles(const std::string& first, const std::string& second) {
    const std::array<std::string, 2> names{first, second};
    MergeResult result;
    for (int file = 0; file < 2; ++file) {
        // Each file's bytes are let go once its lines are decoded.
        Result<std::string> bytes = readWholeFile(names[file]);
        if (!bytes)
            return bytes.error();
        Status read = readLines(bytes.value(), names[file], result.inputs[file]);
        if (!read)
            return read.error();
    }
    return finishMerge(result, names);
}

Result<MergeResult> mergeFiles(const std::string& first, const std::string& second,
                               const std::string& output) {
    Result<MergeResult> merged = mergePointFiles(first, second);
    if (!merged)
        return merged;
    Status written = writeFileAtomically(output, merged->bytes);
    if (!written)
        return written.error();
    return merged;
}

std::string mergeSummary(const MergeResult& result) {
    return "两个数据文件合并成果！" + mergeCounts(result);
}

std::string mergeCounts(const MergeResult& result) {
    std::string text = "第一个文件写入 " + std::to_string(result.linesTaken[0]) +
                       " 行，第二个文件写入 " + std::to_string(result.linesTaken[1]) +
                       " 行，舍去重复的 " + std::to_string(result.duplicatesDropped) + " 行";
    size_t conflicts = 0;
    for (const MergeDuplicate& d : result.duplicates)
        conflicts += d.conflicts() ? 1 : 0;
    if (conflicts > 0)
        text += "（其中 " + std::to_string(conflicts) + " 行与保留的行内容不同）";
    if (result.emptyKeysDropped > 0)
        text += "，舍去缺少名称的 " + std::to_string(result.emptyKeysDropped) + " 行";
    text += "。";
    return text;
}

}  // namespace corvane
