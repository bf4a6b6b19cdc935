// The two sides of every benchmark case: our loader, and the common decoder for the format.
// Each "decode" call reads the file, decodes it and frees what it made, as a program that
// loads one picture would; each "check" call decodes once and compares with the picture the
// file was made from, so the timings are of decoders that agree.
#pragma once

#include <string>

#include "bench/picture_files.h"

bool decodeWithOurs(const std::string& path);
bool decodeWithReference(const PictureCase& pictureCase, const std::string& path);

// An empty string when the decoded picture is the one written, else what differs.
std::string checkOurs(const PictureCase& pictureCase, const std::string& path);
std::string checkReference(const PictureCase& pictureCase, const std::string& path);

const char* referenceName(Reference reference);
