#pragma once

#include <cstdint>
#include <vector>

#include "graphviewport.h"

namespace corvane {

/// Which pixels of the canvas the labels placed so far cover, one bit a pixel, so
/// that a crowded drawing puts a label only where it overlaps none.
class LabelSpace {
public:
    void reset(int width, int height);
    /// True when no placed label covers any pixel of `rect` inside the canvas.
    bool isFree(const PixelRect& rect) const;
    /// The same for the pixel (x, y) inside the canvas.
    bool isFree(int x, int y) const {
        return !(m_bits[static_cast<size_t>(y) * m_words + x / 64] >> (x % 64) & 1);
    }
    void occupy(const PixelRect& rect);

private:
    bool clip(const PixelRect& rect, PixelRect& out) const;

    int m_width = 0;
    int m_height = 0;
    int m_words = 0;  // 64-bit words a canvas row
    std::vector<uint64_t> m_bits;
};

}  // namespace corvane
