#pragma once

#include <Engine/Data/Format/DictionaryEntry.h>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>
#include <vlpc/FormatRecords.h>
#include <vlpc/PngCheck.h>

// Reads compiled asset files back into records and validates them: versions,
// dictionaries (every id once, every record inside the file), record layouts
// (each record consumed exactly), type codes, ids against the dictionaries
// they index and index ranges. A file that breaks any of these throws
// FormatError with the record and the reason. Oddities that the engine
// tolerates are collected as notes instead.
namespace vlpc {

using DictionaryEntry = format::DictionaryEntry;

// Entry counts of the other files of the same compiled set, where known; a
// model file's references into them are checked only against known counts.
struct ReferenceCounts {
    std::optional<std::size_t> shaders;
    std::optional<std::size_t> textures;
    std::optional<std::size_t> paths;
};

struct ShaderFileContents {
    ShaderFile file;
    std::vector<DictionaryEntry> dictionary;
    std::vector<std::string> notes;
};

struct TextureFileContents {
    TextureFile file;
    std::vector<DictionaryEntry> dictionary;
    std::vector<PngInfo> images;
    std::vector<std::string> notes;
};

struct ModelFileContents {
    ModelFile file;
    std::vector<DictionaryEntry> materialDictionary;
    std::vector<DictionaryEntry> geometryDictionary;
    std::vector<DictionaryEntry> modelDictionary;
    std::vector<std::string> notes;
};

struct PathFileContents {
    PathFile file;
    std::vector<DictionaryEntry> dictionary;
    std::vector<std::string> notes;
};

ShaderFileContents readShaderFile(std::vector<std::uint8_t> const& bytes);
TextureFileContents readTextureFile(std::vector<std::uint8_t> const& bytes);
ModelFileContents readModelFile(std::vector<std::uint8_t> const& bytes,
                                ReferenceCounts const& references = {});
PathFileContents readPathFile(std::vector<std::uint8_t> const& bytes);

// The number of entries a file's (first) dictionary announces, read without
// validating the rest: used to check references between files.
std::size_t readDictionaryCount(std::vector<std::uint8_t> const& bytes, bool hasVersion);

} // namespace vlpc
