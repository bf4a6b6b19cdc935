// Draws the check's cases with the program's own frame code in the headless backend's view
// frame: one context for the whole run, as the program has.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/check/check_cases.h"

namespace check {

// Writes the two pictures as TGA files and loads them with the program's loader. False, with
// the reason, when that fails.
bool loadPictures(Pictures& pictures, std::string& error);
void releasePictures(Pictures& pictures);

// The view frame and its GL context; false, with the reason, when this machine has no GL for it.
bool openViewFrame(std::string& error);
void closeViewFrame();

// The frame the program draws for the case's scene: 512 x 512, R, G, B, top row first; empty
// when it presented none.
std::vector<uint8_t> drawCase(const Case& c, const Pictures& pictures);

} // namespace check
