#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>
#include <vlpc/ManifestCompiler.h>
#include <vlpc/ManifestFields.h>
#include <vlpc/MeshImporter.h>

namespace vlpc {

// Texture-channel mapping of a mesh: (mapping key, channel) pairs.
using UVMapping = std::vector<std::pair<std::uint8_t, std::uint8_t>>;

// The state of compiling one manifest, shared by the section compilers: the
// records made so far, the names defined so far, the files read and the
// importer that holds the mesh files.
class Compilation : public ManifestFields {
public:
    // Counts are u16, so ids end one below.
    static constexpr std::size_t MAX_ID = 0xFFFE;

    // Entries of one kind, each name with its id and where it was defined.
    struct NameTable {
        char const* kind;
        std::map<std::string, std::uint16_t> ids;
        std::map<std::string, std::string> definedAt;
    };

    Compilation(std::string const& manifestPath, ManifestCompiler::Progress const& progress);

    void warn(std::string const& where, std::string const& text);
    void report(std::string const& line) const {
        if (progress) {
            progress(line);
        }
    }

    // The path of an input file named by value, relative to the manifest's
    // folder; it is listed among the inputs.
    std::string inputPath(json const& value, std::string const& where);
    std::string readText(std::string const& path, std::string const& where) const;
    std::vector<std::uint8_t> readBinary(std::string const& path, std::string const& where) const;

    // Gives the entry's "name" the id, failing on a name defined before.
    void define(NameTable& table, json const& entry, std::string const& where, std::size_t id);
    std::uint16_t lookup(NameTable const& table, json const& value, std::string const& where) const;

    // Sets a mesh node's geometry and its bounding box.
    void setGeometry(MeshNode& node, std::uint16_t geometry) const;
    // Fails unless every channel the mapping names is one the geometry has.
    void checkMapping(UVMapping const& mapping, std::uint16_t geometry, std::string const& what,
                      std::string const& where) const;
    // Warns of texture parts on a geometry without texture channels.
    void checkTexturedMaterial(std::uint16_t material, std::uint16_t geometry,
                               std::string const& where);

    ManifestCompiler::Progress const& progress;
    std::filesystem::path const baseDir;
    MeshImporter importer;
    CompiledAssets out;

    NameTable shaders{"shader", {}, {}};
    NameTable textures{"texture", {}, {}};
    NameTable materials{"material", {}, {}};
    NameTable geometries{"geometry", {}, {}};
    NameTable paths{"path", {}, {}};
    NameTable models{"model", {}, {}};
    // Geometries made from single meshes of files: (file, mesh index, channels).
    std::map<std::tuple<std::string, unsigned, int>, std::uint16_t> sceneGeometries;

private:
    std::set<std::string> inputsSeen;
};

} // namespace vlpc
