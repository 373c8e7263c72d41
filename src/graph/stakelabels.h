#pragma once

#include <optional>
#include <vector>

namespace corvane {

/// Where the J stakes' names go in the section's label band, and which of their lines
/// are drawn, when the plot's width cannot hold them all. Stakes are offered most
/// important first; each gets its name right of its line, or left of it where that
/// side is taken or the plot ends, never over a name placed before. A line is drawn
/// for every named stake, and for the others when no drawn line lies within 3 pixels.
class StakeLabelPlacer {
public:
    struct Placement {
        std::optional<int> labelLeft;  // the name's left edge, when it has room
        bool line = false;
    };

    /// The plot spans pixel columns [left, right]; `shortest` is the narrowest a name can
    /// be, so that a stake with no room for even that is refused without measuring.
    StakeLabelPlacer(int left, int right, int shortest);

    /// Offers the stake at pixel column `x`; `measure()` gives its label's width and is
    /// called only when the label may have room.
    template <class Measure>
    Placement offer(int x, Measure&& measure) {
        Placement placed;
        if (isFree(m_labels, x + kGap, x + kGap + m_shortest) ||
            isFree(m_labels, x - kGap - m_shortest, x - kGap)) {
            const int width = measure();
            int from = x + kGap;
            if (from + width > m_right || !isFree(m_labels, from, from + width))
                from = x - kGap - width;
            if (from >= m_left && from + width <= m_right && isFree(m_labels, from, from + width)) {
                take(m_labels, from, from + width);
                placed.labelLeft = from;
            }
        }
        if (placed.labelLeft || isFree(m_lines, x - kLineReach, x + kLineReach)) {
            take(m_lines, x - kLineReach, x + kLineReach);
            placed.line = true;
        }
        return placed;
    }

    static constexpr int kGap = 3;        // between a line and its name
    static constexpr int kLineReach = 3;  // no two unnamed lines closer than this

private:
    bool isFree(const std::vector<char>& taken, int from, int to) const;
    void take(std::vector<char>& taken, int from, int to) const;

    int m_left;
    int m_right;
    int m_shortest;
    std::vector<char> m_labels;  // by pixel column of the plot: taken by a name
    std::vector<char> m_lines;   // taken by a line or its reach
};

}  // namespace corvane
