#include "filemerge.h"

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

std::string quoted(const std::string& name) {
    return "“" + name + "”";
}

Status readLines(std::string_view bytes, const std::string& name, std::vector<std::string>& out) {
    size_t invalid = 0;
    Status status = decodeLines(bytes, detectEncoding(bytes), invalid, [&](std::string_view line) {
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        out.emplace_back(line);
    });
    if (!status) {
        Error e = status.error();
        e.message = "文件" + quoted(name) + "：" + e.message;
        return e;
    }
    return success();
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

bool sameNumber(const std::vector<std::string_view>& a, const std::vector<std::string_view>& b,
                size_t i) {
    const std::string_view x = i < a.size() ? a[i] : std::string_view();
    const std::string_view y = i < b.size() ? b[i] : std::string_view();
    return readNumber(x) == readNumber(y);
}

class Merger {
public:
    Merger(MergeResult& result, const std::array<std::string, 2>& names)
        : m_result(result), m_names(names) {}

    Status run() {
        // The keys point into the stored lines, which stay put from here on.
        for (int file = 0; file < 2; ++file)
            classify(file);
        for (int file = 0; file < 2; ++file)
            for (size_t i : m_other[file])
                takeOther({file, i});
        for (int file = 0; file < 2; ++file)
            for (size_t i : m_points[file])
                takePoint({file, i});
        return encode();
    }

private:
    void classify(int file) {
        const std::vector<std::string>& lines = m_result.lines[file];
        for (size_t i = 0; i < lines.size(); ++i) {
            if (SplitFields(lines[i], ',', m_fields) > kPointLineFields)
                m_points[file].push_back(i);
            else
                m_other[file].push_back(i);
        }
    }

    void split(MergeSource source, std::vector<std::string_view>& fields) {
        SplitFields(m_result.text(source), ',', fields);
    }

    void takeOther(MergeSource source) {
        split(source, m_fields);
        const KeyPair key{m_fields.size() > 0 ? m_fields[0] : std::string_view(),
                          m_fields.size() > 1 ? m_fields[1] : std::string_view()};
        if (key.first.empty() || key.second.empty()) {
            ++m_result.emptyKeysDropped;
            return;
        }
        auto [it, inserted] = m_otherKeys.try_emplace(key, source);
        if (inserted) {
            m_taken.push_back(source);
            return;
        }
        MergeDuplicate d{source, it->second};
        split(it->second, m_keptFields);
        d.attributesDiffer = m_fields != m_keptFields;
        addDuplicate(d);
    }

    void takePoint(MergeSource source) {
        split(source, m_fields);
        const std::string_view name = m_fields[0];
        if (name.empty()) {
            ++m_result.emptyKeysDropped;
            return;
        }
        auto [it, inserted] = m_pointKeys.try_emplace(name, source);
        if (inserted) {
            m_taken.push_back(source);
            return;
        }
        MergeDuplicate d{source, it->second};
        d.pointLine = true;
        split(it->second, m_keptFields);
        for (size_t i : {ColumnNorth, ColumnEast, ColumnHeight})
            d.coordinatesDiffer = d.coordinatesDiffer || !sameNumber(m_fields, m_keptFields, i);
        const size_t n = std::max(m_fields.size(), m_keptFields.size());
        for (size_t i = 0; i < n && !d.attributesDiffer; ++i) {
            if (i == ColumnNorth || i == ColumnEast || i == ColumnHeight)
                continue;
            const std::string_view a = i < m_fields.size() ? m_fields[i] : std::string_view();
            const std::string_view b =
                i < m_keptFields.size() ? m_keptFields[i] : std::string_view();
            d.attributesDiffer = a != b;
        }
        addDuplicate(d);
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

    static constexpr size_t ColumnNorth = 1;
    static constexpr size_t ColumnEast = 2;
    static constexpr size_t ColumnHeight = 3;

    MergeResult& m_result;
    const std::array<std::string, 2>& m_names;
    std::array<std::vector<size_t>, 2> m_other;
    std::array<std::vector<size_t>, 2> m_points;
    std::unordered_map<KeyPair, MergeSource, KeyPairHash> m_otherKeys;
    std::unordered_map<std::string_view, MergeSource> m_pointKeys;
    std::vector<MergeSource> m_taken;  // in output order
    std::vector<std::string_view> m_fields;
    std::vector<std::string_view> m_keptFields;
};

}  // namespace

Result<MergeResult> mergePointData(std::string_view first, std::string_view second,
                                   const std::array<std::string, 2>& names) {
    MergeResult result;
    const std::array<std::string_view, 2> inputs{first, second};
    for (int file = 0; file < 2; ++file) {
        Status read = readLines(inputs[file], names[file], result.lines[file]);
        if (!read)
            return read.error();
    }
    Status merged = Merger(result, names).run();
    if (!merged)
        return merged.error();
    return result;
}

Result<MergeResult> mergePointFiles(const std::string& first, const std::string& second) {
    Result<std::string> a = readWholeFile(first);
    if (!a)
        return a.error();
    Result<std::string> b = readWholeFile(second);
    if (!b)
        return b.error();
    return mergePointData(a.value(), b.value(), {first, second});
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
    std::string text = "两个数据文件合并成果！第一个文件写入 " +
                       std::to_string(result.linesTaken[0]) + " 行，第二个文件写入 " +
                       std::to_string(result.linesTaken[1]) + " 行，舍去重复的 " +
                       std::to_string(result.duplicatesDropped) + " 行";
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
