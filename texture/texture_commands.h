// The two texture buttons beside the texture file name field.
#pragma once

// "Modify": the Texture Map dialog for the current polygon.
void modifyTexture();

// Texture "Remove": deletes the current polygon's texture and forgets its picture.
void removeTexture();
