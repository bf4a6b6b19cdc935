// Template 107, the Texture Map dialog.
#pragma once

#include "platform/resource_data.h"

extern const DialogResource textureDialogTemplate;
