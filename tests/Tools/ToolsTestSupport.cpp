#include "ToolsTestSupport.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <nlohmann/json.hpp>
#include <png.h>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>
#include <vlpc/CommandLine.h>

namespace ToolsTest {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "vlpc-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a temporary folder");
    }
    root = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(root, ignored);
}

std::string TempDir::path(std::string const& name) const {
    return name.empty() ? root.string() : (root / name).string();
}

std::string TempDir::write(std::string const& name, std::string const& content) const {
    fs::path const target = root / name;
    fs::create_directories(target.parent_path());
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out << content;
    return target.string();
}

std::string TempDir::write(std::string const& name,
                           std::vector<std::uint8_t> const& content) const {
    return write(name, std::string(content.begin(), content.end()));
}

std::vector<std::uint8_t> readBytes(std::string const& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
}

std::string readText(std::string const& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::uint8_t> makePng(std::uint32_t width, std::uint32_t height, bool alpha) {
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    std::size_t const channels = alpha ? 4 : 3;
    std::vector<std::uint8_t> pixels(width * height * channels);
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        pixels[i] = static_cast<std::uint8_t>(i * 7);
    }
    png_alloc_size_t size = 0;
    png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr);
    std::vector<std::uint8_t> stream(size);
    if (!png_image_write_to_memory(&image, stream.data(), &size, 0, pixels.data(), 0, nullptr)) {
        throw std::runtime_error(image.message);
    }
    stream.resize(size);
    return stream;
}

std::string quadObj() {
    return "v -1 -1 0\nv 1 -1 0\nv 1 1 0\nv -1 1 0\n"
           "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
           "vn 0 0 1\n"
           "f 1/1/1 2/2/1 3/3/1 4/4/1\n";
}

namespace {

std::string base64(std::vector<std::uint8_t> const& data) {
    static char const* const alphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (std::size_t i = 0; i < data.size(); i += 3) {
        std::uint32_t chunk = std::uint32_t(data[i]) << 16;
        if (i + 1 < data.size()) {
            chunk |= std::uint32_t(data[i + 1]) << 8;
        }
        if (i + 2 < data.size()) {
            chunk |= data[i + 2];
        }
        out += alphabet[(chunk >> 18) & 63];
        out += alphabet[(chunk >> 12) & 63];
        out += i + 1 < data.size() ? alphabet[(chunk >> 6) & 63] : '=';
        out += i + 2 < data.size() ? alphabet[chunk & 63] : '=';
    }
    return out;
}

} // namespace

std::string makeGltf(std::vector<GltfMesh> const& meshes, std::vector<GltfNode> const& nodes,
                     std::vector<int> const& roots, std::vector<std::string> const& materialNames) {
    using nlohmann::json;
    std::vector<std::uint8_t> blob;
    json views = json::array();
    json accessors = json::array();
    auto add = [&](void const* data, std::size_t bytes, std::size_t count, char const* type,
                   int componentType) {
        std::size_t const offset = blob.size();
        auto const* first = static_cast<std::uint8_t const*>(data);
        blob.insert(blob.end(), first, first + bytes);
        views.push_back({{"buffer", 0}, {"byteOffset", offset}, {"byteLength", bytes}});
        accessors.push_back({{"bufferView", views.size() - 1},
                             {"componentType", componentType},
                             {"count", count},
                             {"type", type}});
        return accessors.size() - 1;
    };
    json meshList = json::array();
    for (GltfMesh const& mesh : meshes) {
        json attributes;
        std::size_t const position = add(mesh.positions.data(), mesh.positions.size() * 12,
                                         mesh.positions.size(), "VEC3", 5126);
        std::array<float, 3> lo{1e30f, 1e30f, 1e30f};
        std::array<float, 3> hi{-1e30f, -1e30f, -1e30f};
        for (auto const& p : mesh.positions) {
            for (int a = 0; a < 3; ++a) {
                lo[a] = std::min(lo[a], p[a]);
                hi[a] = std::max(hi[a], p[a]);
            }
        }
        accessors[position]["min"] = lo;
        accessors[position]["max"] = hi;
        attributes["POSITION"] = position;
        if (!mesh.normals.empty()) {
            attributes["NORMAL"] = add(mesh.normals.data(), mesh.normals.size() * 12,
                                       mesh.normals.size(), "VEC3", 5126);
        }
        if (!mesh.uv0.empty()) {
            attributes["TEXCOORD_0"] =
                add(mesh.uv0.data(), mesh.uv0.size() * 8, mesh.uv0.size(), "VEC2", 5126);
        }
        if (!mesh.uv1.empty()) {
            attributes["TEXCOORD_1"] =
                add(mesh.uv1.data(), mesh.uv1.size() * 8, mesh.uv1.size(), "VEC2", 5126);
        }
        json primitive = {{"attributes", attributes},
                          {"indices", add(mesh.indices.data(), mesh.indices.size() * 4,
                                          mesh.indices.size(), "SCALAR", 5125)}};
        if (mesh.material >= 0) {
            primitive["material"] = mesh.material;
        }
        meshList.push_back({{"name", mesh.name}, {"primitives", json::array({primitive})}});
    }
    json nodeList = json::array();
    for (GltfNode const& node : nodes) {
        json n = {{"name", node.name}, {"translation", node.translation}};
        if (node.mesh >= 0) {
            n["mesh"] = node.mesh;
        }
        if (!node.children.empty()) {
            n["children"] = node.children;
        }
        nodeList.push_back(n);
    }
    json materials = json::array();
    for (std::string const& name : materialNames) {
        materials.push_back({{"name", name}});
    }
    json gltf = {
        {"asset", {{"version", "2.0"}}},
        {"scene", 0},
        {"scenes", json::array({{{"nodes", roots}}})},
        {"nodes", nodeList},
        {"meshes", meshList},
        {"accessors", accessors},
        {"bufferViews", views},
        {"buffers",
         json::array({{{"byteLength", blob.size()},
                       {"uri", "data:application/octet-stream;base64," + base64(blob)}}})}};
    if (!materials.empty()) {
        gltf["materials"] = materials;
    }
    return gltf.dump(1);
}

GltfMesh triangleMesh(std::string const& name, int material) {
    GltfMesh mesh;
    mesh.name = name;
    mesh.positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    mesh.normals = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
    mesh.uv0 = {{0, 0}, {1, 0}, {0, 1}};
    mesh.uv1 = {{0, 0}, {0, 1}, {1, 0}};
    mesh.indices = {0, 1, 2};
    mesh.material = material;
    return mesh;
}

std::string chainGltf(std::size_t levels) {
    std::vector<GltfNode> nodes(levels);
    for (std::size_t n = 0; n + 1 < levels; ++n) {
        nodes[n].children = {static_cast<int>(n + 1)};
    }
    nodes.back().mesh = 0;
    return makeGltf({triangleMesh("Tip")}, nodes, {0});
}

RunResult runVlpc(std::vector<std::string> const& args) {
    std::ostringstream out;
    std::ostringstream err;
    RunResult result;
    result.exitCode = vlpc::runCommandLine(args, out, err);
    result.out = out.str();
    result.err = err.str();
    return result;
}

RunResult runVlpcProcess(std::vector<std::string> const& args, TempDir const& scratch) {
    return runProcess(VLPC_EXECUTABLE, args, scratch);
}

RunResult runProcess(std::string program, std::vector<std::string> const& args,
                     TempDir const& scratch) {
    std::string const outPath = scratch.path("process.out");
    std::string const errPath = scratch.path("process.err");
    pid_t const pid = ::fork();
    if (pid == 0) {
        std::vector<char*> argv;
        argv.push_back(program.data());
        std::vector<std::string> copies = args;
        for (std::string& arg : copies) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        // Standard input closed: nothing waits for a person.
        if (std::freopen("/dev/null", "r", stdin) == nullptr ||
            std::freopen(outPath.c_str(), "w", stdout) == nullptr ||
            std::freopen(errPath.c_str(), "w", stderr) == nullptr) {
            ::_exit(127);
        }
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    RunResult result;
    int status = 0;
    if (pid > 0 && ::waitpid(pid, &status, 0) == pid && WIFEXITED(status)) {
        result.exitCode = WEXITSTATUS(status);
    }
    result.out = readText(outPath);
    result.err = readText(errPath);
    return result;
}

} // namespace ToolsTest
