// The floor for an uncompressed picture: the least a loader with our output must do. It reads
// the file with one read into a buffer of huge pages and keeps it, as `load` keeps fileData,
// and makes the pixels (top row first, red first) in one pass over a second such buffer,
// rows flipped and red and blue exchanged on the way. No checks beyond the header it needs:
// it is a measure, not a reader.
#pragma once

#include <string>


bool decodeAtFloor(const std::string& path);
// An empty string when the floor's pixels are the picture written, else what differs.
std::string checkFloor(const std::string& path);
