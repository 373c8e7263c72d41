#include "pointfilewriter.h"

#include <string>
#include <vector>

#include "encodedtext.h"
#include "pointtable.h"

namespace corvane {
namespace {

bool appendRows(const PointTable& table, EncodedText& out) {
    const int rows = table.rowCount();
    for (int r = 0; r < rows; ++r) {
        if (!out.appendRow(table.rowAt(r), r, ','))
            return false;
        out.endLine();
    }
    return true;
}

// Room for the usual rows; pages reserved but never written cost no memory.
size_t estimate(const PointTable& table) {
    return static_cast<size_t>(table.rowCount()) * 192;
}

}  // namespace

Result<std::string> buildEptFile(const PointTable& table) {
    EncodedText out;
    out.reserve(estimate(table));
    const std::vector<std::string>& other = table.otherLines();
    for (size_t i = 0; i < other.size(); ++i) {
        if (!out.append(other[i])) {
            // Not a cell: name the line of the file it will be.
            Error e = out.error();
            e.line = static_cast<int>(i + 1);
            e.message = "第 " + std::to_string(i + 1) + " 行（点以外的内容）中的" + e.message;
            return e;
        }
        out.endLine();
    }
    if (!appendRows(table, out))
        return out.error();
    return std::move(out.bytes());
}

Result<std::string> buildCsvTable(const PointTable& table) {
    EncodedText out;
    out.reserve(estimate(table));
    for (int c = 0; c < kColumnCount; ++c) {
        if (c > 0)
            out.appendChar(',');
        out.append(kColumns[c].header);
    }
    out.endLine();
    if (!appendRows(table, out))
        return out.error();
    return std::move(out.bytes());
}

}  // namespace corvane
