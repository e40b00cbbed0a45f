#pragma once

// Texture creation shared by the render targets (not exported).
namespace Engine::Render::TextureSetup {

// Sets the filters of the bound texture of target: linear (mipmapped when
// mipmap is set) when filter is true, nearest otherwise.
void setFilter(unsigned int target, bool filter, bool mipmap);
// Sets wrap S and T (and R when withR) of the bound texture to clamp-to-edge.
void clampToEdge(unsigned int target, bool withR);
// Deletes the texture if it exists and sets the name to 0.
void deleteTexture(unsigned int& texture);
// Creates and binds a 2D texture without data; the previous texture of that
// name is deleted first.
void create2D(unsigned int& texture, int width, int height, int internalFormat, unsigned int format,
              unsigned int type);

} // namespace Engine::Render::TextureSetup
