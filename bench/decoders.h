// Every decoder of the benchmark on one file: our loader, the floor program, and the common
// decoder for the format. Each "decode" call reads the file, decodes it and frees what it made,
// as a program that loads one picture would; each "check" call decodes once and compares with
// the picture the file was made from, so the timings are of decoders that agree.
#pragma once

#include <string>

#include "bench/picture_files.h"

bool decodeWith(Decoder decoder, const std::string& path);

// An empty string when the decoded picture is the one written, else what differs.
std::string checkWith(Decoder decoder, const PictureCase& pictureCase, const std::string& path);

const char* decoderName(Decoder decoder);
