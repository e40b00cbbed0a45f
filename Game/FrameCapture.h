#pragma once

#include <Game/Platform.h>
#include <cstdint>
#include <iosfwd>
#include <string>

namespace Game {

// Writes rendered frames as PNG files DIR/frame_NNNNNN.png. When the folder
// cannot be created or a file cannot be written, it says so once and stops
// capturing; the program goes on.
class FrameCapture {
public:
    // Inactive until Open succeeds.
    explicit FrameCapture(std::ostream& errors);

    // Creates the folder (with its parents) if needed; false, with an error
    // line, when that fails or the path is no folder.
    bool Open(std::string const& directory);
    bool Active() const { return active; }
    void Stop() { active = false; }

    // Writes the image, given bottom row first, top row first into the file,
    // compressed for speed: a capture is usually material for a video, and
    // at the default compression writing the frames took about 40 % of the
    // recording of the demo. On failure writes an error line, stops capturing
    // and returns false.
    bool Write(std::uint64_t frame, Platform::Image const& image);

    // Writes the image (bottom row first) as an RGB PNG file; false, with the
    // reason in `error`, when it has no pixels or cannot be written. Fast
    // compresses less, for about a quarter of the time: the same pixels in a
    // larger file.
    static bool WritePng(std::string const& file, Platform::Image const& image, std::string& error,
                         bool fast = false);

    // DIR/frame_NNNNNN.png, at least six digits.
    std::string FileName(std::uint64_t frame) const;

private:
    std::ostream& errors;
    std::string directory;
    bool active = false;
};

} // namespace Game
