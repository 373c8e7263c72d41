#include "labelspace.h"

#include <algorithm>

namespace corvane {
namespace {

// Bits [from, to) of word `w` (pixels counted from the word's first pixel).
uint64_t wordMask(int w, int from, int to) {
    const int lo = std::max(from - w * 64, 0);
    const int hi = std::min(to - w * 64, 64);
    if (lo >= hi)
        return 0;
    const uint64_t upper = hi == 64 ? ~uint64_t{0} : ((uint64_t{1} << hi) - 1);
    return upper & ~((uint64_t{1} << lo) - 1);
}

}  // namespace

void LabelSpace::reset(int width, int height) {
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
    m_words = (m_width + 63) / 64;
    m_bits.assign(static_cast<size_t>(m_words) * m_height, 0);
}

bool LabelSpace::clip(const PixelRect& rect, PixelRect& out) const {
    out = {std::max(rect.left, 0), std::max(rect.top, 0), std::min(rect.right, m_width),
           std::min(rect.bottom, m_height)};
    return out.left < out.right && out.top < out.bottom;
}

bool LabelSpace::isFree(const PixelRect& rect) const {
    PixelRect r;
    if (!clip(rect, r))
        return true;
    const int w0 = r.left / 64;
    const int w1 = (r.right - 1) / 64;
    for (int y = r.top; y < r.bottom; ++y) {
        const uint64_t* row = m_bits.data() + static_cast<size_t>(y) * m_words;
        for (int w = w0; w <= w1; ++w)
            if (row[w] & wordMask(w, r.left, r.right))
                return false;
    }
    return true;
}

void LabelSpace::occupy(const PixelRect& rect) {
    PixelRect r;
    if (!clip(rect, r))
        return;
    const int w0 = r.left / 64;
    const int w1 = (r.right - 1) / 64;
    for (int y = r.top; y < r.bottom; ++y) {
        uint64_t* row = m_bits.data() + static_cast<size_t>(y) * m_words;
        for (int w = w0; w <= w1; ++w)
            row[w] |= wordMask(w, r.left, r.right);
    }
}

}  // namespace corvane
