// What the program does with texture names, image buffers and Polygon records, seen from the
// link. The soak executable is linked with --wrap for the GL texture calls, renderFrame,
// allocBuffer/freeBuffer and makePolygon/releasePolygon, so every call the program makes to
// them passes through link_watch.cpp first. The program's code knows nothing of it.
//
// Inside each frame it checks every bind and every square drawn: the name bound is a live
// texture, and it is the texture of the polygon whose square follows (squares are drawn in
// list order). Everywhere it checks that no texture name is bound or deleted after its
// deletion, and no buffer or record is freed twice.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace scene {
struct Polygon;
}
using scene::Polygon;

namespace watch {

const std::set<uint32_t>& liveTextures();             // made and not yet deleted
const std::map<const uint8_t*, size_t>& liveBlocks(); // image buffers and their sizes
const std::set<const Polygon*>& livePolygons();       // records made and not released
size_t largestBlockSince(bool restart);               // largest image buffer made
long framesDrawn();                                   // renderFrame calls
long squaresChecked();                                // squares whose binding was checked

// Breaches seen inside those calls since the last take, oldest first.
std::vector<std::string> takeBreaches();

} // namespace watch
