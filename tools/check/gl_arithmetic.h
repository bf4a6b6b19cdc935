// What a GL must draw for the state the panel offers, worked out from the formulas of the
// OpenGL 1.1 reference in double precision, apart from any GL. Colour components run 0..1;
// enums are the GL's own values.
#pragma once

#include <cstdint>

namespace arithmetic {

struct Colour {
    double r, g, b, a;
};

// A framebuffer value of 8 bits per component read back as the reference's fixed point.
Colour fromBytes(int r, int g, int b, double a);

// Blending (OpenGL 1.1 reference, 4.1.6, tables 4.1 and 4.2): source * S + destination * D,
// clamped. The view frame has no alpha bitplanes, so the destination's alpha is 1.
Colour blend(uint32_t sourceFactor, uint32_t destinationFactor, const Colour& source,
             const Colour& destination);

// The alpha test (4.1.3): the reference value is clamped to 0..1 and both sides compared as
// fixed-point values.
bool alphaTestPasses(uint32_t function, double alpha, double reference);

// Texture environment (3.9, table 3.17) for a one- or three-component texture (RGB pictures
// have no alpha of their own) or a four-component one; the environment colour is the GL's
// default, (0, 0, 0, 0).
Colour textureEnvironment(uint32_t mode, bool textureHasAlpha, const Colour& fragment,
                          const Colour& texel);

// Lighting (2.13.1) with the defaults the view frame never changes: light 0 in the eye's
// direction, diffuse and specular white, no ambient of its own; the scene's ambient 0.2 grey.
// Without colour material the front material is 0.8 grey diffuse, 0.2 grey ambient and no
// specular; with it, ambient and diffuse follow the colour. `facing` is the eye-space normal's
// dot product with the light's direction.
Colour lit(const Colour& colour, bool colourMaterial, double facing);

// A column-major 4 x 4 matrix, as the GL keeps them.
struct Matrix {
    double m[16];
};
Matrix identity();
Matrix operator*(const Matrix& a, const Matrix& b);
Matrix rotation(double degrees, double x, double y, double z); // glRotate's matrix
Matrix translation(double x, double y, double z);              // glTranslate's
Matrix perspective(double fovyDegrees, double aspect, double zNear, double zFar); // gluPerspective

struct Vector {
    double x, y, z, w;
};
Vector operator*(const Matrix& a, const Vector& v);

// Where a point lands in a square viewport of `size` pixels at the origin, as picture
// coordinates: x right and y down from the top-left corner of the picture, a pixel's centre at
// half-integers. w must be positive (the point is not clipped).
struct ImagePoint {
    double x, y;
};
ImagePoint toImage(const Vector& clip, int size);

// Rounds a component to the 8 bits the frame keeps.
int toByte(double component);

} // namespace arithmetic
