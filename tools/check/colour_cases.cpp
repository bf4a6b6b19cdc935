// Blending, the alpha test and lighting: what each does to a polygon's colour.
#include "platform/winapi.h" // before the GL headers, as windows.h must be

#include <GL/gl.h>

#include <cstdio>

#include "panel/panel_choices.h"
#include "tools/check/case_building.h"

namespace check {

namespace {

using arithmetic::Colour;

Probe flatProbe(double unitX, double unitY, Rgb expected, int tolerance, const char* where) {
    return {flatPixel(unitX), flatPixel(unitY), expected, tolerance, where};
}

struct SourceColour {
    Rgb colour;
    float alpha;
};

// The blended polygon spans two destination polygons drawn before it and the bare frame.
void addBlendCase(std::vector<Case>& cases, const SourceColour& source, bool enabled,
                  uint32_t sourceFactor, uint32_t destinationFactor) {
    const Rgb left = {60, 120, 240}, right = {250, 200, 30};
    Case c;
    c.kind = "blending";
    PolygonState top = square(0, 0, 220, source.colour);
    top.alpha = source.alpha;
    top.blend = enabled;
    top.blendSource = sourceFactor;
    top.blendDestination = destinationFactor;
    c.scene.polygons = {square(-45, 0, 90, left), square(45, 0, 90, right), top};
    c.state = describe(c.scene);
    const Colour s = colourOf(top);
    auto drawn = [&](Rgb destination) {
        if (!enabled)
            return source.colour;
        return toRgb(arithmetic::blend(sourceFactor, destinationFactor, s, fromRgb(destination)));
    };
    const int t = enabled ? tolerance::oneStage : tolerance::exact;
    c.probes = {flatProbe(-45, 0, drawn(left), t, "over the first polygon"),
                flatProbe(45, 0, drawn(right), t, "over the second polygon"),
                flatProbe(0, 80, drawn(background), t, "over the bare frame"),
                flatProbe(0, 115, background, tolerance::exact, "outside")};
    cases.push_back(c);
}

void addAlphaTestCase(std::vector<Case>& cases, bool enabled, uint32_t function, float alpha,
                      float reference) {
    const Rgb under = {30, 90, 150}, tested = {240, 220, 40};
    Case c;
    c.kind = "alpha test";
    PolygonState top = square(0, 0, 80, tested);
    top.alpha = alpha;
    top.alphaTest = enabled;
    top.alphaFunc = function;
    top.alphaRef = reference;
    c.scene.polygons = {square(0, 0, 160, under), top};
    c.state = describe(c.scene);
    const bool passes =
        !enabled || arithmetic::alphaTestPasses(function, double(alpha), double(reference));
    c.probes = {flatProbe(0, 0, passes ? tested : under, tolerance::exact, "the tested polygon"),
                flatProbe(0, 60, under, tolerance::exact, "the polygon under it")};
    cases.push_back(c);
}

} // namespace

void addBlendCases(std::vector<Case>& cases) {
    const SourceColour sources[] = {
        {{255, 128, 0}, 0.6f}, {{40, 200, 220}, 0.25f}, {{200, 200, 200}, 1.0f}};
    for (const SourceColour& source : sources) {
        for (const PanelChoice& s : blendSourceChoices)
            for (const PanelChoice& d : blendDestinationChoices)
                addBlendCase(cases, source, true, s.value, d.value);
        // The check box off again: the factors stay chosen but nothing blends.
        addBlendCase(cases, source, false, GL_ONE, GL_ONE);
    }
}

void addAlphaTestCases(std::vector<Case>& cases) {
    const float alphas[] = {0.2f, 0.55f, 0.9f};
    for (const PanelChoice& function : alphaFuncChoices) {
        for (float alpha : alphas)
            for (float reference : {alpha - 0.1f, alpha, alpha + 0.1f})
                addAlphaTestCase(cases, true, function.value, alpha, reference);
    }
    // The check box off again after every fragment was refused.
    addAlphaTestCase(cases, false, GL_NEVER, 0.55f, 0.55f);
}

void addLightingCases(std::vector<Case>& cases) {
    struct Options {
        bool lighting, colourMaterial;
    };
    // Switched as a user switches them, back and forth, in the one context.
    const Options sequence[] = {
        {true, true}, {true, false}, {false, true}, {true, true}, {false, false}};
    const SourceColour colours[] = {
        {{200, 100, 50}, 0.5f}, {{250, 250, 250}, 1.0f}, {{30, 60, 90}, 0.8f}};
    for (const SourceColour& colour : colours) {
        for (const Options& options : sequence) {
            Case c;
            c.kind = "lighting";
            PolygonState p = square(20, -10, 120, colour.colour);
            p.alpha = colour.alpha;
            c.scene.polygons = {p};
            c.scene.lighting = options.lighting;
            c.scene.colorMaterial = options.colourMaterial;
            c.state = describe(c.scene);
            Rgb expected = colour.colour;
            int t = tolerance::exact;
            if (options.lighting) {
                // The 2D view's normal (0, 0, 1) faces the light head on.
                expected = toRgb(arithmetic::lit(colourOf(p), options.colourMaterial, 1.0));
                t = tolerance::oneStage;
            }
            c.probes = {flatProbe(20, -10, expected, t, "the polygon"),
                        flatProbe(20, 55, background, tolerance::exact, "beside it")};
            cases.push_back(c);
        }
    }
    addPerspectiveLightingCases(cases);
}

} // namespace check
