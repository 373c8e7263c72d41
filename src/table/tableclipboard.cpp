#include "tableclipboard.h"

#include <vector>

#include "pointtable.h"

namespace corvane {

void appendRowAsTabText(const PointTable& table, int row, std::string& out) {
    for (int c = 0; c < kColumnCount; ++c) {
        if (c > 0)
            out += '\t';
        out += table.text(row, c);
    }
    out += '\n';
}

namespace {

std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        std::string_view line =
            text.substr(begin, end == std::string_view::npos ? end : end - begin);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos)
            break;
        begin = end + 1;
    }
    return lines;
}

}  // namespace

PasteOutcome pasteTabText(PointTable& table, int row, int column, std::string_view text) {
    PasteOutcome outcome;
    const std::vector<std::string_view> lines = splitLines(text);
    if (lines.empty() || row < 0 || column < 0 || column >= kColumnCount)
        return outcome;
    for (std::string_view line : lines) {
        if (line.find(',') != std::string_view::npos || line.find('\r') != std::string_view::npos) {
            outcome.status = PasteOutcome::Status::Refused;
            return outcome;
        }
    }
    PointTable::Command command(table, "粘贴");
    for (size_t i = 0; i < lines.size(); ++i) {
        const int r = row + static_cast<int>(i);
        if (r >= table.rowCount()) {
            outcome.clippedRows = static_cast<int>(lines.size() - i);
            break;
        }
        std::string_view line = lines[i];
        int c = column;
        while (true) {
            const size_t tab = line.find('\t');
            const std::string_view cell = line.substr(0, tab);
            if (c < kColumnCount)
                table.setText(r, c, cell);
            else
                ++outcome.clippedColumns;
            ++c;
            if (tab == std::string_view::npos)
                break;
            line.remove_prefix(tab + 1);
        }
        ++outcome.rows;
    }
    outcome.status = outcome.rows > 0 ? PasteOutcome::Status::Pasted : PasteOutcome::Status::Empty;
    return outcome;
}

}  // namespace corvane
