#include "pointfilewriter.h"

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
    for (const std::string& line : table.otherLines()) {
        if (!out.append(line))
            return out.error();
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
