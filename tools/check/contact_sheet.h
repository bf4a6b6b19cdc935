// Every case's frame small, side by side in case order, each in a frame of its own: grey where
// the GL agreed with the arithmetic, red where it did not, yellow for a known disagreement.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace check {

enum class Verdict { Agrees, Disagrees, KnownDisagreement };

class ContactSheet {
  public:
    explicit ContactSheet(int cases);
    // `frame` is 512 x 512 RGB, top row first; an empty one leaves the cell black.
    void add(int index, const std::vector<uint8_t>& frame, Verdict verdict);
    bool writePng(const std::string& path) const;
    // A pixel of the sheet, R, G, B; x right and y down from its top-left corner.
    const uint8_t* pixel(int x, int y) const;
    static constexpr int cellSize = 70; // a 64-pixel picture and its 3-pixel frame

  private:
    int columns_;
    int width_;
    int height_;
    std::vector<uint8_t> rgb_;
};

} // namespace check
