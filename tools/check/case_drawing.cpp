#include "tools/check/case_drawing.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <unistd.h>

#include "app/shell.h"
#include "app/start_up.h"
#include "platform/headless/headless.h"
#include "render/render_frame.h"
#include "scene/scene.h"
#include "texture/texture_object.h"

namespace check {

namespace {

std::optional<headless::Session> session;

constexpr int pictureSide = 16;

// Distinct texels with every component spread over its range, so a texel taken from the wrong
// place or a component from the wrong channel shows.
void texelBytes(int i, int j, uint8_t out[4]) {
    out[0] = uint8_t(i * 53 + j * 17);
    out[1] = uint8_t(i * 29 + j * 71 + 90);
    out[2] = uint8_t(255 - i * 16 - j * 5);
    out[3] = uint8_t(i * 37 + j * 23 + 20);
}

// An uncompressed true-colour TGA, bottom row first, blue-green-red(-alpha) as the format stores
// them.
bool writeTga(const std::string& path, int bytesPerPixel) {
    std::vector<uint8_t> file(18, 0);
    file[2] = 2;
    file[12] = pictureSide, file[14] = pictureSide;
    file[16] = uint8_t(bytesPerPixel * 8);
    file[17] = bytesPerPixel == 4 ? 8 : 0;
    for (int row = pictureSide - 1; row >= 0; --row) {
        for (int i = 0; i < pictureSide; ++i) {
            uint8_t t[4];
            texelBytes(i, row, t);
            const uint8_t stored[4] = {t[2], t[1], t[0], t[3]};
            file.insert(file.end(), stored, stored + bytesPerPixel);
        }
    }
    FILE* out = std::fopen(path.c_str(), "wb");
    if (!out)
        return false;
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written;
}

bool loadPicture(Image& image, const std::string& folder, int bytesPerPixel, std::string& error) {
    const std::string path = folder + (bytesPerPixel == 4 ? "/rgba.tga" : "/rgb.tga");
    if (!writeTga(path, bytesPerPixel)) {
        error = "cannot write " + path;
        return false;
    }
    const ImageStatus status = load(image, path.c_str());
    std::remove(path.c_str());
    if (status != ImageOk) {
        error = path + ": " + imageStatusName(status);
        return false;
    }
    return true;
}

scene::Polygon* makeScenePolygon(const PolygonState& state, const Pictures& pictures) {
    scene::Polygon* p = makePolygon();
    if (!p)
        return nullptr;
    p->red = state.red, p->green = state.green, p->blue = state.blue;
    p->alpha = state.alpha;
    p->size = state.size;
    p->x = state.x, p->y = state.y;
    p->blendEnabled = state.blend ? 1 : 0;
    p->blendSrc = state.blendSource, p->blendDst = state.blendDestination;
    p->alphaTestEnabled = state.alphaTest ? 1 : 0;
    p->alphaFunc = state.alphaFunc, p->alphaRef = state.alphaRef;
    p->texEnvMode = state.texEnv;
    currentPolygon = p; // the texture goes to the current polygon
    if (state.picture != Picture::None) {
        const Image& image = state.picture == Picture::Rgba ? pictures.rgba : pictures.rgb;
        createTexture(image, state.minFilter, state.magFilter);
    }
    return p;
}

} // namespace

bool loadPictures(Pictures& pictures, std::string& error) {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = std::string(tmp && *tmp ? tmp : "/tmp") + "/quillfen-check-XXXXXX";
    if (!mkdtemp(folder.data())) {
        error = "cannot make a folder for the pictures in " + folder;
        return false;
    }
    const bool loaded =
        loadPicture(pictures.rgb, folder, 3, error) && loadPicture(pictures.rgba, folder, 4, error);
    rmdir(folder.c_str());
    return loaded;
}

void releasePictures(Pictures& pictures) {
    releaseImage(pictures.rgb);
    releaseImage(pictures.rgba);
}

bool openViewFrame(std::string& error) {
    session.emplace();
    if (!headless::glAvailable()) {
        error = "no EGL pbuffer with RGB 8-8-8 and a 16-bit depth buffer on this machine";
        return false;
    }
    viewFrame = CreateWindowExA(0, "STATIC", "glFrame", WS_POPUP | WS_VISIBLE | SS_BLACKRECT, 0, 0,
                                frameSize, frameSize, nullptr, nullptr, nullptr, nullptr);
    if (!viewFrame || !createGlContext()) {
        error = "the view frame's GL context could not be made";
        return false;
    }
    return true;
}

void closeViewFrame() {
    resetScene(); // the textures go while the context is still there
    viewFrame = nullptr;
    viewFrameDc = nullptr;
    session.reset();
}

std::vector<uint8_t> drawCase(const Case& c, const Pictures& pictures) {
    resetScene();
    scene::Polygon** tail = &polygonListHead;
    for (const PolygonState& state : c.scene.polygons) {
        *tail = makeScenePolygon(state, pictures);
        if (!*tail)
            break;
        tail = &(*tail)->next;
    }
    orthographic = c.scene.orthographic;
    textureMapping = c.scene.textureMapping;
    lighting = c.scene.lighting;
    colorMaterial = c.scene.colorMaterial;
    viewAngleY = c.scene.angleY;
    viewAngleX = c.scene.angleX;
    const int presented = headless::framesPresented();
    renderFrame();
    if (headless::framesPresented() == presented)
        return {}; // nothing new reached the frame
    return headless::presentedFrame();
}

} // namespace check
