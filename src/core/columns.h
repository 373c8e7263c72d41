#pragma once

#include <array>
#include <string_view>

namespace corvane {

inline constexpr int kColumnCount = 17;

/// The seventeen columns of the point table, by index.
enum Column : int {
    ColName = 0,
    ColNorth = 1,
    ColEast = 2,
    ColHeight = 3,
    ColSegmentStart = 4,
    ColSegmentEnd = 5,
    ColRemark = 6,
    ColDistance = 7,
    ColOffset = 8,
    ColPointType = 9,
    ColCrossing = 10,
    ColMeasuredHeight = 11,
    ColAngle = 12,
    ColPoleType = 13,
    ColLength = 14,
    ColWidth = 15,
    ColOldName = 16,
};

/// Which in-place editor a column uses; column 10 picks its list when the editor opens.
enum class EditorKind { Text, PointTypes, Crossing, PoleTypes };

struct ColumnSpec {
    std::string_view header;
    int width;
    EditorKind editor;
};

inline constexpr std::array<ColumnSpec, kColumnCount> kColumns{{
    {"点名", 120, EditorKind::Text},
    {"北坐标X[m]", 100, EditorKind::Text},
    {"东坐标Y[m]", 100, EditorKind::Text},
    {"高程H[m]", 80, EditorKind::Text},
    {"电力线起点", 80, EditorKind::Text},
    {"电力线终点", 80, EditorKind::Text},
    {"备注", 120, EditorKind::Text},
    {"累距[m]", 80, EditorKind::Text},
    {"离中[m]", 80, EditorKind::Text},
    {"点类型", 120, EditorKind::PointTypes},
    {"跨越物", 120, EditorKind::Crossing},
    {"量高[m]", 80, EditorKind::Text},
    {"角度[Rad]", 80, EditorKind::Text},
    {"杆型", 120, EditorKind::PoleTypes},
    {"长度[m]", 80, EditorKind::Text},
    {"宽度[m]", 80, EditorKind::Text},
    {"旧点名", 120, EditorKind::Text},
}};

}  // namespace corvane
