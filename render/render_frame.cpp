#include "render/render_frame.h"

#include "platform/winapi.h" // before the GL headers, as windows.h must be

#include <GL/gl.h>
#include <GL/glu.h>

#include "app/shell.h"
#include "scene/scene.h"

namespace {

constexpr float startAngle = 0.0f; // the 3D view starts square on

} // namespace

float viewAngleY = startAngle;
float viewAngleX = startAngle;

void resetViewAngles() {
    viewAngleY = viewAngleX = startAngle;
}

namespace {

struct DepthLayout {
    float z;  // depth of the first polygon
    float dz; // step from one polygon to the next
};

// 2D: the viewport spans -128..128 with +y down; depth runs from z = -256 (near) to 256 (far).
DepthLayout setOrthographicView() {
    glOrtho(-128.0, 128.0, 128.0, -128.0, 256.0, -256.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    return {255.0f, -1.0f};
}

// 3D: the eye stands 310 units from the scene, turned so +y points down; the polygons are
// spread along z around 0, the first farthest. The far value of -2 is what the view was
// designed with; it leaves the far side unclipped.
DepthLayout setPerspectiveView() {
    gluPerspective(45.0, 1.0, 2.0, -2.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRotatef(180.0f, 0.0f, 0.0f, 1.0f);
    glTranslatef(0.0f, 0.0f, -310.0f);
    glRotatef(-viewAngleY, 0.0f, 1.0f, 0.0f);
    glRotatef(-viewAngleX, 1.0f, 0.0f, 0.0f);

    int count = 0;
    for (const scene::Polygon* polygon = polygonListHead; polygon; polygon = polygon->next)
        ++count;
    if (count == 0)
        return {0.0f, 100.0f};
    float dz = float(50.0 / (count * 0.5) + 5.0);
    float z = count == 1 ? 0.0f : float(-((count - 1) * dz * 0.5));
    return {z, dz};
}

void setLightingState() {
    static const GLfloat diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
    static const GLfloat ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
    if (lighting) {
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
    } else {
        glDisable(GL_LIGHTING);
    }
    if (colorMaterial) {
        glEnable(GL_COLOR_MATERIAL);
    } else {
        // The grey front material is set again every frame so colour material leaves no trace.
        glDisable(GL_COLOR_MATERIAL);
        glMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
        glMaterialfv(GL_FRONT, GL_AMBIENT, ambient);
    }
}

void drawPolygon(const scene::Polygon& polygon, float z) {
    const GLfloat k = 1.0f / 255.0f;
    glPushMatrix();
    glTranslatef(float(polygon.x), float(polygon.y), 0.0f);

    if (polygon.blendEnabled == 1)
        glEnable(GL_BLEND);
    else
        glDisable(GL_BLEND);
    glBlendFunc(polygon.blendSrc, polygon.blendDst);

    if (polygon.alphaTestEnabled == 1)
        glEnable(GL_ALPHA_TEST);
    else
        glDisable(GL_ALPHA_TEST);
    glAlphaFunc(polygon.alphaFunc, polygon.alphaRef);

    if (textureMapping) {
        // Object 0 is bound for a polygon without a texture; it draws as plain colour.
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, polygon.texture);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GLint(polygon.texEnvMode));
    glColor4f(polygon.red * k, polygon.green * k, polygon.blue * k, polygon.alpha);

    const float h = polygon.size * 0.5f;
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-h, -h, z);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-h, h, z);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(h, h, z);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(h, -h, z);
    glEnd();

    glPopMatrix();
}

} // namespace

void drawFrame() {
    glViewport(0, 0, 512, 512); // fixed: the view frame never changes size
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    DepthLayout layout = orthographic ? setOrthographicView() : setPerspectiveView();

    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClearDepth(5.0); // clamped to 1.0 by GL
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    setLightingState();

    float z = layout.z;
    for (const scene::Polygon* polygon = polygonListHead; polygon; polygon = polygon->next) {
        drawPolygon(*polygon, z);
        z += layout.dz;
    }
}

void renderFrame() {
    drawFrame();
    SwapBuffers(viewFrameDc);
}
