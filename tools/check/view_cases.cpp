// Where squares land: the 2D view to the pixel, the 3D view from the projection arithmetic.
#include <cmath>
#include <optional>

#include "tools/check/case_building.h"

namespace check {

namespace {

using arithmetic::ImagePoint;
using arithmetic::Matrix;

void addFlatProbe(Case& c, int x, int y, Rgb expected, const char* where) {
    if (insideFrame(x, y))
        c.probes.push_back({x, y, expected, tolerance::exact, where});
}

// A square covers the pixels whose centres lie inside it; its edges fall on pixel boundaries
// (two pixels a unit), so no centre is ever on an edge.
void addEdgeProbes(Case& c, const PolygonState& p) {
    const Rgb colour = {p.red, p.green, p.blue};
    const int left = flatPixel(p.x - p.size / 2.0), right = flatPixel(p.x + p.size / 2.0);
    const int top = flatPixel(p.y - p.size / 2.0), bottom = flatPixel(p.y + p.size / 2.0);
    const int midX = (left + right) / 2, midY = (top + bottom) / 2;
    addFlatProbe(c, left, midY, colour, "inside the left edge");
    addFlatProbe(c, left - 1, midY, background, "outside the left edge");
    addFlatProbe(c, right - 1, midY, colour, "inside the right edge");
    addFlatProbe(c, right, midY, background, "outside the right edge");
    addFlatProbe(c, midX, top, colour, "inside the top edge");
    addFlatProbe(c, midX, top - 1, background, "outside the top edge");
    addFlatProbe(c, midX, bottom - 1, colour, "inside the bottom edge");
    addFlatProbe(c, midX, bottom, background, "outside the bottom edge");
    addFlatProbe(c, left, top, colour, "inside the top-left corner");
    addFlatProbe(c, left - 1, top - 1, background, "outside the top-left corner");
    addFlatProbe(c, right - 1, bottom - 1, colour, "inside the bottom-right corner");
    addFlatProbe(c, right, bottom, background, "outside the bottom-right corner");
}

struct ProjectedSquare {
    ImagePoint corners[4];
    ImagePoint centre;
    double eyeZ;   // of its centre; the larger, the nearer
    double facing; // its normal's dot product with the light's direction, (0, 0, 1)
    Rgb colour;
};

// The 3D view as the frame code sets it up: gluPerspective(45, 1, 2, -2); the eye 310 units
// away, turned half round about z; then the view's turns about y and x; the polygons spread
// along z with the first farthest.
ProjectedSquare project(const SceneState& scene, size_t index) {
    const size_t count = scene.polygons.size();
    const float dz = float(50.0 / (double(count) * 0.5) + 5.0);
    float z = count == 1 ? 0.0f : float(-(double(count - 1) * dz * 0.5));
    for (size_t i = 0; i < index; ++i)
        z += dz;
    const PolygonState& p = scene.polygons[index];
    const Matrix modelView =
        arithmetic::rotation(180, 0, 0, 1) * arithmetic::translation(0, 0, -310) *
        arithmetic::rotation(-scene.angleY, 0, 1, 0) *
        arithmetic::rotation(-scene.angleX, 1, 0, 0) * arithmetic::translation(p.x, p.y, 0);
    const Matrix all = arithmetic::perspective(45, 1, 2, -2) * modelView;
    const double h = p.size * 0.5;
    const double corners[4][2] = {{-h, -h}, {-h, h}, {h, h}, {h, -h}};
    ProjectedSquare out{};
    for (int k = 0; k < 4; ++k)
        out.corners[k] = arithmetic::toImage(
            all * arithmetic::Vector{corners[k][0], corners[k][1], z, 1}, frameSize);
    out.centre = arithmetic::toImage(all * arithmetic::Vector{0, 0, z, 1}, frameSize);
    out.eyeZ = (modelView * arithmetic::Vector{0, 0, z, 1}).z;
    out.facing = (modelView * arithmetic::Vector{0, 0, 1, 0}).z;
    out.colour = {p.red, p.green, p.blue};
    return out;
}

enum class Side { Inside, Outside, OnEdge };

// Pixels whose centres lie within a pixel of an edge are left alone: the reference leaves the
// rasterisation of such points to the implementation's subpixel precision.
Side sideOf(const ProjectedSquare& s, ImagePoint point) {
    double area = 0;
    double distances[4];
    for (int k = 0; k < 4; ++k) {
        const ImagePoint a = s.corners[k], b = s.corners[(k + 1) % 4];
        area += a.x * b.y - b.x * a.y;
        const double cross = (b.x - a.x) * (point.y - a.y) - (b.y - a.y) * (point.x - a.x);
        distances[k] = cross / std::hypot(b.x - a.x, b.y - a.y);
    }
    const double orientation = area > 0 ? 1 : -1;
    bool clearlyInside = true;
    for (double d : distances) {
        if (d * orientation <= -1.0)
            return Side::Outside;
        clearlyInside = clearlyInside && d * orientation >= 1.0;
    }
    return clearlyInside ? Side::Inside : Side::OnEdge;
}

// The nearest square covering the pixel, the frame's colour where none does; nothing when the
// pixel is too near an edge to say.
std::optional<Rgb> expectedAt(const std::vector<ProjectedSquare>& squares, int x, int y) {
    const ImagePoint centre = {x + 0.5, y + 0.5};
    const ProjectedSquare* nearest = nullptr;
    for (const ProjectedSquare& s : squares) {
        Side side = sideOf(s, centre);
        if (side == Side::OnEdge)
            return std::nullopt;
        if (side == Side::Inside && (!nearest || s.eyeZ > nearest->eyeZ))
            nearest = &s;
    }
    return nearest ? nearest->colour : background;
}

void addPerspectiveProbe(Case& c, const std::vector<ProjectedSquare>& squares, ImagePoint at,
                         const std::string& where) {
    const int x = int(std::floor(at.x)), y = int(std::floor(at.y));
    if (!insideFrame(x, y))
        return;
    if (std::optional<Rgb> expected = expectedAt(squares, x, y))
        c.probes.push_back({x, y, *expected, tolerance::exact, where});
}

// The centre, and a point five pixels inside and outside each corner along its diagonal.
void addSquareProbes(Case& c, const std::vector<ProjectedSquare>& squares, size_t index) {
    const ProjectedSquare& s = squares[index];
    const std::string name = "polygon " + std::to_string(index + 1);
    addPerspectiveProbe(c, squares, s.centre, "the centre of " + name);
    const char* cornerNames[4] = {"corner -x -y", "corner -x +y", "corner +x +y", "corner +x -y"};
    for (int k = 0; k < 4; ++k) {
        const ImagePoint corner = s.corners[k];
        const double dx = s.centre.x - corner.x, dy = s.centre.y - corner.y;
        const double length = std::hypot(dx, dy);
        const double step = length > 0 ? 5.0 / length : 0;
        addPerspectiveProbe(c, squares, {corner.x + dx * step, corner.y + dy * step},
                            "inside " + name + "'s " + cornerNames[k]);
        addPerspectiveProbe(c, squares, {corner.x - dx * step, corner.y - dy * step},
                            "outside " + name + "'s " + cornerNames[k]);
    }
}

std::vector<ProjectedSquare> projectAll(const SceneState& scene) {
    std::vector<ProjectedSquare> squares;
    for (size_t i = 0; i < scene.polygons.size(); ++i)
        squares.push_back(project(scene, i));
    return squares;
}

struct Turn {
    float y, x;
};

const Turn turns[] = {{0, 0},    {25, 0},   {-25, 0}, {0, 30},    {0, -30},
                      {35, -20}, {-40, 15}, {60, 45}, {-15, -50}, {150, 10}};

} // namespace

void addFlatViewCases(std::vector<Case>& cases) {
    const int sizes[] = {1, 2, 3, 50, 51, 100, 255};
    const int positions[][2] = {{0, 0}, {1, -1}, {-37, 24}, {64, -63}, {119, 120}};
    for (int size : sizes) {
        for (const auto& at : positions) {
            Case c;
            c.kind = "2D view";
            c.scene.polygons = {square(at[0], at[1], size, {220, 40, 90})};
            c.state = describe(c.scene);
            addEdgeProbes(c, c.scene.polygons[0]);
            cases.push_back(c);
        }
    }
    // The later polygon covers the earlier one where both are.
    Case c;
    c.kind = "2D view";
    c.scene.polygons = {square(-10, 5, 90, {255, 0, 0}), square(5, 0, 41, {0, 255, 0})};
    c.state = describe(c.scene);
    addEdgeProbes(c, c.scene.polygons[1]);
    for (Probe& probe : c.probes)
        if (probe.expected.r == 0 && probe.expected.g == 0)
            probe.expected = {255, 0, 0}; // around the small one, inside the large one
    cases.push_back(c);
}

void addPerspectiveViewCases(std::vector<Case>& cases) {
    const PolygonState single[] = {square(0, 0, 100, {220, 40, 90}),
                                   square(40, -30, 60, {40, 220, 90}),
                                   square(-55, 45, 41, {90, 40, 220})};
    for (const Turn& turn : turns) {
        for (const PolygonState& p : single) {
            Case c;
            c.kind = "3D view";
            c.scene.orthographic = false;
            c.scene.angleY = turn.y, c.scene.angleX = turn.x;
            c.scene.polygons = {p};
            c.state = describe(c.scene);
            addSquareProbes(c, projectAll(c.scene), 0);
            cases.push_back(c);
        }
    }
    // Two polygons: the nearer covers the other, whichever the turn brings forward.
    const Turn orders[] = {{0, 0}, {30, -20}, {160, 0}, {-150, 30}, {10, 170}, {-60, -40}};
    for (const Turn& turn : orders) {
        Case c;
        c.kind = "3D view";
        c.scene.orthographic = false;
        c.scene.angleY = turn.y, c.scene.angleX = turn.x;
        c.scene.polygons = {square(0, 0, 120, {255, 0, 0}), square(10, 10, 60, {0, 255, 0})};
        c.state = describe(c.scene);
        const std::vector<ProjectedSquare> squares = projectAll(c.scene);
        addSquareProbes(c, squares, 0);
        addSquareProbes(c, squares, 1);
        cases.push_back(c);
    }
}

void addPerspectiveLightingCases(std::vector<Case>& cases) {
    const Turn lightingTurns[] = {{0, 0}, {40, 0}, {0, -60}, {120, 0}, {-30, 45}, {70, -30}};
    for (const Turn& turn : lightingTurns) {
        for (bool colourMaterial : {true, false}) {
            Case c;
            c.kind = "lighting";
            c.scene.orthographic = false;
            c.scene.lighting = true;
            c.scene.colorMaterial = colourMaterial;
            c.scene.angleY = turn.y, c.scene.angleX = turn.x;
            PolygonState p = square(0, 0, 100, {200, 100, 50});
            p.alpha = 0.5f;
            c.scene.polygons = {p};
            c.state = describe(c.scene);
            const ProjectedSquare s = project(c.scene, 0);
            const Rgb lit = toRgb(arithmetic::lit(colourOf(p), colourMaterial, s.facing));
            const int x = int(std::floor(s.centre.x)), y = int(std::floor(s.centre.y));
            c.probes.push_back({x, y, lit, tolerance::oneStage, "the centre of polygon 1"});
            cases.push_back(c);
        }
    }
}

} // namespace check
