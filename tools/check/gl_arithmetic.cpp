#include "tools/check/gl_arithmetic.h"

#include "platform/winapi.h" // before the GL headers, as windows.h must be

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace arithmetic {

namespace {

double clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}

Colour scaled(const Colour& c, const Colour& f) {
    return {c.r * f.r, c.g * f.g, c.b * f.b, c.a * f.a};
}

Colour oneMinus(const Colour& c) {
    return {1 - c.r, 1 - c.g, 1 - c.b, 1 - c.a};
}

Colour all(double v) {
    return {v, v, v, v};
}

// Tables 4.1 and 4.2: one factor for the four components; saturate leaves alpha at 1.
Colour factor(uint32_t name, const Colour& source, const Colour& destination) {
    switch (name) {
    case GL_ZERO: return all(0);
    case GL_ONE: return all(1);
    case GL_SRC_COLOR: return source;
    case GL_ONE_MINUS_SRC_COLOR: return oneMinus(source);
    case GL_DST_COLOR: return destination;
    case GL_ONE_MINUS_DST_COLOR: return oneMinus(destination);
    case GL_SRC_ALPHA: return all(source.a);
    case GL_ONE_MINUS_SRC_ALPHA: return all(1 - source.a);
    case GL_DST_ALPHA: return all(destination.a);
    case GL_ONE_MINUS_DST_ALPHA: return all(1 - destination.a);
    case GL_SRC_ALPHA_SATURATE: {
        double f = std::min(source.a, 1 - destination.a);
        return {f, f, f, 1};
    }
    default: return all(0);
    }
}

int fixedPoint(double v) {
    return int(std::lround(clamp01(v) * 255));
}

} // namespace

Colour fromBytes(int r, int g, int b, double a) {
    return {r / 255.0, g / 255.0, b / 255.0, a};
}

Colour blend(uint32_t sourceFactor, uint32_t destinationFactor, const Colour& source,
             const Colour& destination) {
    Colour d = destination;
    d.a = 1; // no alpha bitplanes
    Colour s = scaled(source, factor(sourceFactor, source, d));
    Colour t = scaled(d, factor(destinationFactor, source, d));
    return {clamp01(s.r + t.r), clamp01(s.g + t.g), clamp01(s.b + t.b), clamp01(s.a + t.a)};
}

bool alphaTestPasses(uint32_t function, double alpha, double reference) {
    int a = fixedPoint(alpha);
    int r = fixedPoint(reference);
    switch (function) {
    case GL_NEVER: return false;
    case GL_LESS: return a < r;
    case GL_EQUAL: return a == r;
    case GL_LEQUAL: return a <= r;
    case GL_GREATER: return a > r;
    case GL_NOTEQUAL: return a != r;
    case GL_GEQUAL: return a >= r;
    default: return true; // GL_ALWAYS
    }
}

Colour textureEnvironment(uint32_t mode, bool textureHasAlpha, const Colour& fragment,
                          const Colour& texel) {
    const Colour& f = fragment;
    const Colour& t = texel;
    const double alpha = textureHasAlpha ? f.a * t.a : f.a;
    switch (mode) {
    case GL_DECAL:
        if (!textureHasAlpha)
            return {t.r, t.g, t.b, f.a};
        return {f.r * (1 - t.a) + t.r * t.a, f.g * (1 - t.a) + t.g * t.a,
                f.b * (1 - t.a) + t.b * t.a, f.a};
    case GL_BLEND: // C = Cf (1 - Ct) + Cc Ct with Cc = 0
        return {f.r * (1 - t.r), f.g * (1 - t.g), f.b * (1 - t.b), alpha};
    default: // GL_MODULATE
        return {f.r * t.r, f.g * t.g, f.b * t.b, alpha};
    }
}

Colour lit(const Colour& colour, bool colourMaterial, double facing) {
    const double sceneAmbient = 0.2;
    const double diffuseShare = std::max(facing, 0.0);
    Colour ambient = colourMaterial ? colour : Colour{0.2, 0.2, 0.2, 1};
    Colour diffuse = colourMaterial ? colour : Colour{0.8, 0.8, 0.8, 1};
    auto component = [&](double a, double d) {
        return clamp01(a * sceneAmbient + d * diffuseShare);
    };
    return {component(ambient.r, diffuse.r), component(ambient.g, diffuse.g),
            component(ambient.b, diffuse.b), clamp01(diffuse.a)};
}

Matrix identity() {
    return {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};
}

Matrix operator*(const Matrix& a, const Matrix& b) {
    Matrix product{};
    for (int col = 0; col < 4; ++col)
        for (int row = 0; row < 4; ++row)
            for (int k = 0; k < 4; ++k)
                product.m[col * 4 + row] += a.m[k * 4 + row] * b.m[col * 4 + k];
    return product;
}

Matrix rotation(double degrees, double x, double y, double z) {
    const double length = std::sqrt(x * x + y * y + z * z);
    x /= length, y /= length, z /= length;
    const double radians = degrees * std::numbers::pi / 180;
    const double c = std::cos(radians), s = std::sin(radians), k = 1 - c;
    Matrix r = identity();
    r.m[0] = x * x * k + c, r.m[4] = x * y * k - z * s, r.m[8] = x * z * k + y * s;
    r.m[1] = y * x * k + z * s, r.m[5] = y * y * k + c, r.m[9] = y * z * k - x * s;
    r.m[2] = x * z * k - y * s, r.m[6] = y * z * k + x * s, r.m[10] = z * z * k + c;
    return r;
}

Matrix translation(double x, double y, double z) {
    Matrix t = identity();
    t.m[12] = x, t.m[13] = y, t.m[14] = z;
    return t;
}

Matrix perspective(double fovyDegrees, double aspect, double zNear, double zFar) {
    const double f = 1 / std::tan(fovyDegrees * std::numbers::pi / 360);
    Matrix p{};
    p.m[0] = f / aspect;
    p.m[5] = f;
    p.m[10] = (zFar + zNear) / (zNear - zFar);
    p.m[11] = -1;
    p.m[14] = 2 * zFar * zNear / (zNear - zFar);
    return p;
}

Vector operator*(const Matrix& a, const Vector& v) {
    const double in[4] = {v.x, v.y, v.z, v.w};
    double out[4] = {};
    for (int row = 0; row < 4; ++row)
        for (int k = 0; k < 4; ++k)
            out[row] += a.m[k * 4 + row] * in[k];
    return {out[0], out[1], out[2], out[3]};
}

ImagePoint toImage(const Vector& clip, int size) {
    const double half = size / 2.0;
    const double windowX = (clip.x / clip.w + 1) * half;
    const double windowY = (clip.y / clip.w + 1) * half; // up from the bottom row
    return {windowX, size - windowY};
}

int toByte(double component) {
    return fixedPoint(component);
}

} // namespace arithmetic
