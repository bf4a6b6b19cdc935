// Pieces the case tables share: the state in the panel's words, colours between the reference's
// arithmetic and the frame's bytes, and the 2D view's mapping of units to pixels.
#pragma once

#include <string>
#include <vector>

#include "tools/check/check_cases.h"
#include "tools/check/gl_arithmetic.h"

namespace check {

// How far a probe may be off, per kind of arithmetic. The OpenGL 1.1 reference fixes the
// formulas but leaves open how a fixed-point result is rounded (2.13.9: a component becomes
// fixed point by "f * (2^m - 1)" with no rounding rule, and 4.1.6 only says the blending
// computations are "effectively carried out in floating point"), so every product or sum that
// ends between two steps of 255 may land on either: one step for each such stage.
namespace tolerance {
constexpr int exact = 0;     // a colour or texel passed through unchanged
constexpr int oneStage = 1;  // one product or sum rounded: blending, the environment, lighting
constexpr int twoStages = 2; // the environment's result blended in turn
// LINEAR: 3.8.1 defines the weights from the fractional parts of u - 1/2 and v - 1/2 but not
// their precision; with 8 bits of weight, two neighbours 255 apart move the result by one
// more step, and the two interpolations each round: two steps on top of the arithmetic's.
constexpr int linearFilter = 2;
} // namespace tolerance

std::string describe(const SceneState& scene);
Rgb toRgb(const arithmetic::Colour& colour);
arithmetic::Colour fromRgb(const Rgb& colour);
arithmetic::Colour colourOf(const PolygonState& polygon); // its vertex colour
PolygonState square(int x, int y, int size, Rgb colour);  // opaque, nothing else set
// 2D view: unit u of either axis covers pixels (u + 128) * 2 and the one after.
int flatPixel(double unit);
double flatUnit(int pixel); // the unit at the pixel's centre
bool insideFrame(int x, int y);

constexpr Rgb background = {0, 0, 0}; // the frame's clear colour

void addBlendCases(std::vector<Case>& cases);
void addAlphaTestCases(std::vector<Case>& cases);
void addLightingCases(std::vector<Case>& cases);
void addTextureCases(std::vector<Case>& cases, const Pictures& pictures);
void addFlatViewCases(std::vector<Case>& cases);
void addPerspectiveViewCases(std::vector<Case>& cases);
void addPerspectiveLightingCases(std::vector<Case>& cases); // the normal turned with the view

} // namespace check
