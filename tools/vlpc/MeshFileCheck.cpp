#include <algorithm>
#include <array>
#include <assimp/scene.h>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>
#include <sstream>
#include <utility>
#include <vector>
#include <vlpc/MeshFileCheck.h>
#include <vlpc/MeshImporter.h>

namespace vlpc {

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

// The most header bytes read while looking for a PLY's "end_header".
constexpr std::size_t MAX_PLY_HEADER = 1 << 20;

std::string str(std::uintmax_t value) {
    return std::to_string(value);
}

// Up to size bytes from offset; fewer where the file ends.
std::string readPart(std::string const& path, std::uintmax_t offset, std::size_t size) {
    std::ifstream in(path, std::ios::binary);
    std::string data(size, '\0');
    in.seekg(static_cast<std::streamoff>(offset));
    in.read(data.data(), static_cast<std::streamsize>(size));
    data.resize(in ? size : static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return data;
}

std::uint32_t littleEndian32(std::string const& data, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= std::uint32_t(static_cast<unsigned char>(data[at + i])) << (8 * i);
    }
    return value;
}

std::string lowerExtension(std::string const& path) {
    std::string extension = fs::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

// The node tree of a parsed glTF document, walked level by level from the
// nodes that are no node's child. Each node may have one parent at most, as
// glTF demands; then the walk meets every node once unless some form a cycle.
void checkGltfNodes(json const& document) {
    auto const nodes = document.find("nodes");
    if (nodes == document.end() || !nodes->is_array()) {
        return;
    }
    std::size_t const count = nodes->size();
    std::vector<std::vector<std::size_t>> children(count);
    std::vector<bool> hasParent(count, false);
    for (std::size_t n = 0; n < count; ++n) {
        json const& node = (*nodes)[n];
        auto const list = node.is_object() ? node.find("children") : node.end();
        if (!node.is_object() || list == node.end() || !list->is_array()) {
            continue;
        }
        for (json const& child : *list) {
            // Broken references are left for the importer to report.
            if (!child.is_number_unsigned() || child.get<std::uint64_t>() >= count) {
                continue;
            }
            std::size_t const c = child.get<std::size_t>();
            if (hasParent[c]) {
                throw ImportError("node " + str(c) + " is the child of more than one node");
            }
            hasParent[c] = true;
            children[n].push_back(c);
        }
    }
    std::vector<std::size_t> level;
    for (std::size_t n = 0; n < count; ++n) {
        if (!hasParent[n]) {
            level.push_back(n);
        }
    }
    std::size_t depth = 0;
    std::size_t reached = 0;
    while (!level.empty()) {
        if (++depth > MAX_NODE_DEPTH) {
            throw ImportError("its nodes nest deeper than " + str(MAX_NODE_DEPTH) + " levels");
        }
        reached += level.size();
        std::vector<std::size_t> next;
        for (std::size_t n : level) {
            next.insert(next.end(), children[n].begin(), children[n].end());
        }
        level = std::move(next);
    }
    if (reached < count) {
        throw ImportError("its nodes form a cycle");
    }
}

void checkGltf(std::string const& text) {
    auto tooDeep = [](int depth, json::parse_event_t, json&) {
        if (static_cast<std::size_t>(depth) > MAX_GLTF_JSON_DEPTH) {
            throw ImportError("its JSON nests deeper than " + str(MAX_GLTF_JSON_DEPTH) + " levels");
        }
        return true;
    };
    json const document = json::parse(text, tooDeep, false);
    // A file that is no JSON object is left for the importer to report.
    if (document.is_object()) {
        checkGltfNodes(document);
    }
}

// The JSON chunk of a binary glTF file, or nothing when the file has none.
std::string glbJson(std::string const& path, std::uintmax_t fileSize) {
    std::string const header = readPart(path, 0, 20);
    constexpr std::uint32_t JSON_CHUNK = 0x4E4F534A; // "JSON"
    if (header.size() < 20 || littleEndian32(header, 16) != JSON_CHUNK) {
        return {};
    }
    std::uintmax_t const length = std::min<std::uintmax_t>(littleEndian32(header, 12), fileSize);
    return readPart(path, 20, static_cast<std::size_t>(length));
}

// Bytes of one PLY value type; 0 for a name that is none.
std::size_t plyTypeSize(std::string const& type) {
    static std::pair<char const*, std::size_t> const types[] = {
        {"char", 1},  {"uchar", 1},   {"int8", 1},   {"uint8", 1},  {"short", 2}, {"ushort", 2},
        {"int16", 2}, {"uint16", 2},  {"int", 4},    {"uint", 4},   {"int32", 4}, {"uint32", 4},
        {"float", 4}, {"float32", 4}, {"double", 8}, {"float64", 8}};
    for (auto const& [name, size] : types) {
        if (type == name) {
            return size;
        }
    }
    return 0;
}

// The header of a PLY file against the bytes after it. An element needs its
// property sizes in a binary file (a list at least its count) and two bytes
// per value in a text file (a digit and a separator; a list at least its
// count), and never less than one byte. Headers that cannot be read are left
// for the importer to report.
void checkPly(std::string const& path, std::uintmax_t fileSize) {
    std::string const head = readPart(path, 0, MAX_PLY_HEADER);
    std::istringstream lines(head);
    std::string line;
    bool binary = false;
    bool ended = false;
    struct Element {
        std::string name;
        std::uintmax_t count = 0;
        std::uintmax_t bytesEach = 0;
    };
    std::vector<Element> elements;
    while (!ended && std::getline(lines, line)) {
        std::istringstream words(line);
        std::string keyword;
        words >> keyword;
        if (keyword == "format") {
            std::string kind;
            words >> kind;
            binary = kind != "ascii";
        } else if (keyword == "element") {
            Element element;
            if (!(words >> element.name >> element.count)) {
                return;
            }
            elements.push_back(element);
        } else if (keyword == "property" && !elements.empty()) {
            std::string type;
            words >> type;
            if (type == "list") {
                words >> type; // the list's count type; its items may be none
            }
            std::size_t const size = plyTypeSize(type);
            if (size == 0) {
                return;
            }
            elements.back().bytesEach += binary ? size : 2;
        } else if (keyword == "end_header") {
            ended = true;
        }
    }
    if (!ended) {
        return;
    }
    std::streamoff const headerEnd =
        lines.eof() ? std::streamoff(head.size()) : std::streamoff(lines.tellg());
    std::uintmax_t const body = fileSize - std::min<std::uintmax_t>(fileSize, headerEnd);
    std::uintmax_t needed = 0;
    for (Element const& element : elements) {
        std::uintmax_t const each = std::max<std::uintmax_t>(element.bytesEach, 1);
        std::uintmax_t const room = std::numeric_limits<std::uintmax_t>::max() - needed;
        if (element.count > room / each) {
            needed = std::numeric_limits<std::uintmax_t>::max();
        } else {
            needed += element.count * each;
        }
        // The last value of a text file needs no separator.
        std::uintmax_t const slack = binary ? 0 : 1;
        if (needed > body + slack) {
            throw ImportError("its header declares " + str(element.count) + " '" + element.name +
                              "' elements; the " + str(body) +
                              " bytes after the header cannot hold them");
        }
    }
}

} // namespace

void checkMeshFile(std::string const& path) {
    std::error_code ec;
    std::uintmax_t const fileSize = fs::file_size(path, ec);
    if (ec) {
        return; // the importer says why it cannot read the file
    }
    std::string const magic = readPart(path, 0, 4);
    if (magic == "glTF") {
        std::string const text = glbJson(path, fileSize);
        if (!text.empty()) {
            checkGltf(text);
        }
    } else if (lowerExtension(path) == ".gltf") {
        checkGltf(readPart(path, 0, static_cast<std::size_t>(fileSize)));
    } else if (magic == "ply\n" || magic == "ply\r") {
        checkPly(path, fileSize);
    }
}

void checkNodeDepth(aiNode const& root) {
    std::vector<std::pair<aiNode const*, std::size_t>> pending{{&root, 1}};
    while (!pending.empty()) {
        auto const [node, depth] = pending.back();
        pending.pop_back();
        if (depth > MAX_NODE_DEPTH) {
            throw ImportError("its nodes nest deeper than " + str(MAX_NODE_DEPTH) + " levels");
        }
        for (unsigned c = 0; c < node->mNumChildren; ++c) {
            pending.emplace_back(node->mChildren[c], depth + 1);
        }
    }
}

} // namespace vlpc
