#include "tools/check/contact_sheet.h"

#include <algorithm>
#include <cstdio>

#include "linux/png_encoder.h"
#include "tools/check/check_cases.h"

namespace check {

namespace {

constexpr int shrink = 8;                     // a frame pixel block per thumbnail pixel
constexpr int thumbnail = frameSize / shrink; // 64
constexpr int border = 3;
constexpr int cell = thumbnail + 2 * border;
static_assert(cell == ContactSheet::cellSize);
constexpr int columnsAtMost = 24;

} // namespace

ContactSheet::ContactSheet(int cases)
    : columns_(std::clamp(cases, 1, columnsAtMost)), width_(columns_ * cell),
      height_(std::max(1, (cases + columns_ - 1) / columns_) * cell),
      rgb_(size_t(width_) * size_t(height_) * 3, 0) {}

void ContactSheet::add(int index, const std::vector<uint8_t>& frame, Verdict verdict) {
    const int left = (index % columns_) * cell, top = (index / columns_) * cell;
    if (top + cell > height_)
        return;
    uint8_t edge[3] = {70, 70, 70};
    if (verdict == Verdict::Disagrees)
        edge[0] = 255, edge[1] = 0, edge[2] = 0;
    else if (verdict == Verdict::KnownDisagreement)
        edge[0] = 255, edge[1] = 220, edge[2] = 0;
    for (int y = 0; y < cell; ++y) {
        for (int x = 0; x < cell; ++x) {
            uint8_t* out = &rgb_[(size_t(top + y) * size_t(width_) + size_t(left + x)) * 3];
            const int tx = x - border, ty = y - border;
            if (tx < 0 || ty < 0 || tx >= thumbnail || ty >= thumbnail) {
                std::copy(edge, edge + 3, out);
                continue;
            }
            if (frame.size() != size_t(frameSize) * frameSize * 3)
                continue;
            // The block's average, so a square of two pixels still shows.
            for (int channel = 0; channel < 3; ++channel) {
                int sum = 0;
                for (int by = 0; by < shrink; ++by)
                    for (int bx = 0; bx < shrink; ++bx)
                        sum += frame[(size_t(ty * shrink + by) * frameSize +
                                      size_t(tx * shrink + bx)) *
                                         3 +
                                     channel];
                out[channel] = uint8_t(sum / (shrink * shrink));
            }
        }
    }
}

const uint8_t* ContactSheet::pixel(int x, int y) const {
    return &rgb_[(size_t(y) * size_t(width_) + size_t(x)) * 3];
}

bool ContactSheet::writePng(const std::string& path) const {
    const std::vector<uint8_t> png = encodePng(rgb_.data(), width_, height_);
    if (png.empty())
        return false;
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    const bool written = std::fwrite(png.data(), 1, png.size(), out) == png.size();
    return std::fclose(out) == 0 && written;
}

} // namespace check
