#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vlpc/FormatReader.h>

// Readable listings of compiled asset files: the dictionaries and every record.
namespace vlpc {

enum class FileKind { Shaders, Textures, Models, Paths, LightLookup };

// The kind of a compiled file, told by its name (shaders.vlp, textures.vlp,
// models.vlp, path.vlp, lightlookup.vlp); none for any other name.
std::optional<FileKind> fileKindFromName(std::string const& path);
std::optional<FileKind> fileKindFromWord(std::string const& word);

struct DumpOptions {
    bool verbose = false; // also every vertex, index and shader line
};

// Reads the file, validates it and prints it. A model file's references into
// the other files are checked against the shader, texture and path files
// beside it, where they exist. Throws FormatError when the file cannot be
// read or breaks its layout; nothing is printed then.
void dumpFile(std::string const& path, FileKind kind, std::ostream& out,
              DumpOptions const& options = {});

void dumpShaders(ShaderFileContents const& contents, std::ostream& out, DumpOptions const& options);
void dumpTextures(TextureFileContents const& contents, std::ostream& out);
void dumpModels(ModelFileContents const& contents, std::ostream& out, DumpOptions const& options);
void dumpPaths(PathFileContents const& contents, std::ostream& out);

// Reads a whole file; throws FormatError when it cannot.
std::vector<std::uint8_t> readFileBytes(std::string const& path);

} // namespace vlpc
