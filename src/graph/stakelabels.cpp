#include "stakelabels.h"

#include <algorithm>

namespace corvane {

StakeLabelPlacer::StakeLabelPlacer(int left, int right, int shortest)
    : m_left(left),
      m_right(std::max(left, right)),
      m_shortest(std::max(shortest, 0)),
      m_labels(static_cast<size_t>(m_right - m_left + 1), 0),
      m_lines(m_labels.size(), 0) {}

bool StakeLabelPlacer::isFree(const std::vector<char>& taken, int from, int to) const {
    for (int x = std::max(from, m_left); x <= std::min(to, m_right); ++x)
        if (taken[static_cast<size_t>(x - m_left)])
            return false;
    return true;
}

void StakeLabelPlacer::take(std::vector<char>& taken, int from, int to) const {
    for (int x = std::max(from, m_left); x <= std::min(to, m_right); ++x)
        taken[static_cast<size_t>(x - m_left)] = 1;
}

}  // namespace corvane
