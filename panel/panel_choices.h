// The choices of the panel's four drop-down lists, each with the GL enum its text names; that
// enum is the item's data and what the polygon is drawn with.
#pragma once

#include <cstdint>
#include <span>

struct PanelChoice {
    const char* text; // as the list shows it
    uint32_t value;   // the GL enum
};

extern const std::span<const PanelChoice> texEnvChoices;           // "glTexEnv"
extern const std::span<const PanelChoice> blendSourceChoices;      // "glBlend1"
extern const std::span<const PanelChoice> blendDestinationChoices; // "glBlend2"
extern const std::span<const PanelChoice> alphaFuncChoices;        // "glAlpha1"
