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
// Creates and binds a 2D texture, its level 0 cleared (see clearLevelZero) to
// the far plane (depth formats) or to clearValue in every channel; the
// previous texture of that name is deleted first.
void create2D(unsigned int& texture, int width, int height, int internalFormat, unsigned int format,
              unsigned int type, float clearValue = 0.0f);
// Sets every channel of every texel of level 0 of texture (every face of a
// cube map) to value; format is the texture's base format, as for
// glTexImage2D. A render target then holds defined values before its first
// pass, and its memory is committed when it is created, not in the middle of
// the frame that first draws into it. Without clear-texture support (before
// OpenGL 4.4) the texture stays as created.
void clearLevelZero(unsigned int texture, unsigned int format, float value);

} // namespace Engine::Render::TextureSetup
