#pragma once

#include <charconv>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "columns.h"
#include "pointtable.h"
#include "row.h"
#include "vocabularies.h"

namespace corvane::test {

/// One cell's text; takes the vocabulary's string_views as well as strings, and knows
/// whether the fixture gave it at all (an empty text given on purpose stays empty).
struct Text : std::string {
    Text() = default;
    Text(const char* s) : std::string(s), given(true) {}
    Text(std::string_view s) : std::string(s), given(true) {}
    Text(std::string s) : std::string(std::move(s)), given(true) {}
    // Coordinates of plan fixtures, written as the shortest text that reads back the same.
    Text(int v) : Text(static_cast<double>(v)) {}
    Text(double v) : given(true) {
        char buffer[32];
        const auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
        assign(buffer, end);
    }
    bool given = false;
};

/// The cells of one fixture row by column, written with designated initializers:
/// {.name = "P1", .north = "5", .east = "50", .type = kJStake}. A row is an ordinary
/// point unless told otherwise; the other cells left out stay empty.
struct Cells {
    // Each with an initializer, so that designated initializers may leave cells out.
    Text name{}, north{}, east{}, height{}, start{}, end{}, remark{}, distance{}, offset{};
    Text type{kOrdinaryPoint};
    Text crossing{}, measuredHeight{}, angle{}, pole{}, length{}, width{}, oldName{};
};

inline Row rowOf(const Cells& c) {
    const std::string_view cells[kColumnCount] = {
        c.name,   c.north,    c.east,   c.height, c.start,    c.end,
        c.remark, c.distance, c.offset, c.type,   c.crossing, c.measuredHeight,
        c.angle,  c.pole,     c.length, c.width,  c.oldName};
    return Row(cells);
}

inline std::vector<Row> rowsOf(const std::vector<Cells>& points) {
    std::vector<Row> rows;
    for (const Cells& c : points)
        rows.push_back(rowOf(c));
    return rows;
}

/// The cells of a point as the editor makes it on the segment J1 -> J2: the cells the
/// fixture left out get the raw survey values.
inline Cells onJ1J2(Cells c) {
    auto fill = [](Text& cell, std::string_view value) {
        if (!cell.given)
            cell = value;
    };
    for (Text* zero : {&c.north, &c.east, &c.height, &c.distance, &c.offset, &c.measuredHeight,
                       &c.angle, &c.length, &c.width})
        fill(*zero, kRawZero);
    fill(c.start, "J1");
    fill(c.end, "J2");
    fill(c.type, kOrdinaryPoint);
    fill(c.crossing, kRawCrossing);
    fill(c.pole, kRawPoleType);
    return c;
}

/// Replaces the table's rows and forgets the history, as after an import; sets the line
/// point list when one is given.
inline void load(PointTable& table, std::vector<Row> rows,
                 std::vector<std::string> linePoints = {}) {
    table.replaceAll(std::move(rows), {});
    if (!linePoints.empty())
        table.setLinePoints(std::move(linePoints));
    table.clearHistory();
}

inline void load(PointTable& table, const std::vector<Cells>& points,
                 std::vector<std::string> linePoints = {}) {
    load(table, rowsOf(points), std::move(linePoints));
}

/// Loads the points as fresh points on J1 -> J2 (see onJ1J2).
inline void loadOnJ1J2(PointTable& table, const std::vector<Cells>& points,
                       std::vector<std::string> linePoints = {}) {
    std::vector<Row> rows;
    for (const Cells& c : points)
        rows.push_back(rowOf(onJ1J2(c)));
    load(table, std::move(rows), std::move(linePoints));
}

}  // namespace corvane::test
