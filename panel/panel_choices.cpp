#include "panel/panel_choices.h"

#include "platform/winapi.h" // before the GL headers, as windows.h must be

#include <GL/gl.h>

namespace {

constexpr PanelChoice texEnvItems[] = {
    {"GL_MODULATE", GL_MODULATE},
    {"GL_DECAL", GL_DECAL},
    {"GL_BLEND", GL_BLEND},
};

constexpr PanelChoice blendSourceItems[] = {
    {"GL_ZERO", GL_ZERO},
    {"GL_ONE", GL_ONE},
    {"GL_DST_COLOR", GL_DST_COLOR},
    {"GL_ONE_MINUS_DST_COLOR", GL_ONE_MINUS_DST_COLOR},
    {"GL_SRC_ALPHA", GL_SRC_ALPHA},
    {"GL_ONE_MINUS_SRC_ALPHA", GL_ONE_MINUS_SRC_ALPHA},
    {"GL_DST_ALPHA", GL_DST_ALPHA},
    {"GL_ONE_MINUS_DST_ALPHA", GL_ONE_MINUS_DST_ALPHA},
    {"GL_SRC_ALPHA_SATURATE", GL_SRC_ALPHA_SATURATE},
};

constexpr PanelChoice blendDestinationItems[] = {
    {"GL_ZERO", GL_ZERO},           {"GL_ONE", GL_ONE},
    {"GL_SRC_COLOR", GL_SRC_COLOR}, {"GL_ONE_MINUS_SRC_COLOR", GL_ONE_MINUS_SRC_COLOR},
    {"GL_SRC_ALPHA", GL_SRC_ALPHA}, {"GL_ONE_MINUS_SRC_ALPHA", GL_ONE_MINUS_SRC_ALPHA},
    {"GL_DST_ALPHA", GL_DST_ALPHA}, {"GL_ONE_MINUS_DST_ALPHA", GL_ONE_MINUS_DST_ALPHA},
};

constexpr PanelChoice alphaFuncItems[] = {
    {"GL_NEVER", GL_NEVER},   {"GL_LESS", GL_LESS},       {"GL_EQUAL", GL_EQUAL},
    {"GL_LEQUAL", GL_LEQUAL}, {"GL_GREATER", GL_GREATER}, {"GL_NOTEQUAL", GL_NOTEQUAL},
    {"GL_GEQUAL", GL_GEQUAL}, {"GL_ALWAYS", GL_ALWAYS},
};

} // namespace

const std::span<const PanelChoice> texEnvChoices = texEnvItems;
const std::span<const PanelChoice> blendSourceChoices = blendSourceItems;
const std::span<const PanelChoice> blendDestinationChoices = blendDestinationItems;
const std::span<const PanelChoice> alphaFuncChoices = alphaFuncItems;
