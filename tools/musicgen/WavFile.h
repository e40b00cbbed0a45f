#pragma once

#include <musicgen/StereoBuffer.h>
#include <string>

namespace musicgen {

// Writes a mix as a 44.1 kHz 16-bit stereo WAV file. The samples go to a
// temporary file beside path that is renamed into place only when complete,
// so that a failed write leaves no partial file. Returns an empty string on
// success, otherwise what went wrong.
std::string writeWav(std::string const& path, StereoBuffer const& mix);

} // namespace musicgen
