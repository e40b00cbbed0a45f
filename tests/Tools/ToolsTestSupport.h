#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Helpers of the asset compiler tests: scratch folders, small input files made
// on the spot (PNG, OBJ, glTF) and runs of the vlpc command line.
namespace ToolsTest {

// A new empty folder under the system's temporary folder, removed with its
// contents when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(TempDir const&) = delete;
    TempDir& operator=(TempDir const&) = delete;

    std::string path(std::string const& name = "") const;
    // Writes a file below the folder (creating its folders) and returns its path.
    std::string write(std::string const& name, std::string const& content) const;
    std::string write(std::string const& name, std::vector<std::uint8_t> const& content) const;

private:
    std::filesystem::path root;
};

std::vector<std::uint8_t> readBytes(std::string const& path);
std::string readText(std::string const& path);

// An 8-bit RGB or RGBA PNG stream of the given size with a colour gradient.
std::vector<std::uint8_t> makePng(std::uint32_t width, std::uint32_t height, bool alpha = false);

// An OBJ square of side 2 in the xy plane with texture coordinates and a
// normal: one quad face, so two triangles once triangulated.
std::string quadObj();

// A mesh and a node of a glTF 2.0 file made by makeGltf.
struct GltfMesh {
    std::string name;
    std::vector<std::array<float, 3>> positions;
    std::vector<std::array<float, 3>> normals; // may be empty
    std::vector<std::array<float, 2>> uv0;     // may be empty
    std::vector<std::array<float, 2>> uv1;     // may be empty
    std::vector<std::uint32_t> indices;
    int material = -1; // index into the material names, -1 for none
};

struct GltfNode {
    std::string name;
    int mesh = -1;
    std::array<float, 3> translation{0, 0, 0};
    std::vector<int> children;
};

// A glTF 2.0 file (text, buffer embedded as a data URI) with the scene's root
// nodes listed in roots.
std::string makeGltf(std::vector<GltfMesh> const& meshes, std::vector<GltfNode> const& nodes,
                     std::vector<int> const& roots,
                     std::vector<std::string> const& materialNames = {});

// A unit right triangle in the xy plane with two texture channels.
GltfMesh triangleMesh(std::string const& name, int material = -1);

// A glTF file whose nodes nest in one chain of the given length, the last
// one holding a triangle mesh.
std::string chainGltf(std::size_t levels);

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// The command line, run in this process.
RunResult runVlpc(std::vector<std::string> const& args);

// The vlpc executable, run as its own process with the given arguments.
RunResult runVlpcProcess(std::vector<std::string> const& args, TempDir const& scratch);

// A program run as its own process (standard output and error kept in the
// scratch folder), from the current working folder.
RunResult runProcess(std::string program, std::vector<std::string> const& args,
                     TempDir const& scratch);

} // namespace ToolsTest
