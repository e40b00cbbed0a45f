#include <algorithm>
#include <assimp/scene.h>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <set>
#include <sstream>
#include <tuple>
#include <vlpc/FormatConstants.h>
#include <vlpc/FormatError.h>
#include <vlpc/FormatWriter.h>
#include <vlpc/GeometryBuilder.h>
#include <vlpc/ManifestCompiler.h>
#include <vlpc/MeshImporter.h>
#include <vlpc/PngCheck.h>

namespace vlpc {

namespace {

namespace fs = std::filesystem;
using json = nlohmann::json;

constexpr double PI = 3.14159265358979323846;
constexpr std::size_t MAX_ID = 0xFFFE; // counts are u16, so ids end one below

std::string str(std::size_t value) {
    return std::to_string(value);
}

std::string at(std::string const& where, char const* key) {
    return where.empty() ? key : where + "." + key;
}

std::string at(std::string const& where, std::size_t index) {
    return where + "[" + str(index) + "]";
}

// Builds the manifest's JSON document and knows at each moment the field it
// reads, so that a number out of range and a key given twice in one object
// are reported with their place; nlohmann's own parser takes the last of
// duplicate keys silently.
class ManifestReader : public nlohmann::json_sax<json> {
public:
    json document;
    std::string error; // the place and reason that stopped the parse

    bool null() override { return add(nullptr) != nullptr; }
    bool boolean(bool value) override { return add(value) != nullptr; }
    bool number_integer(number_integer_t value) override { return add(value) != nullptr; }
    bool number_unsigned(number_unsigned_t value) override { return add(value) != nullptr; }
    bool number_float(number_float_t value, string_t const&) override {
        return add(value) != nullptr;
    }
    bool string(string_t& value) override { return add(std::move(value)) != nullptr; }
    bool binary(binary_t& value) override { return add(json::binary(std::move(value))) != nullptr; }
    bool start_object(std::size_t) override {
        open.push_back({add(json::object()), {}});
        return true;
    }
    bool key(string_t& value) override {
        Open& top = open.back();
        if (top.value->contains(value)) {
            error = prefixed(place(), "duplicate key '" + value + "'");
            return false;
        }
        top.key = std::move(value);
        return true;
    }
    bool end_object() override {
        open.pop_back();
        return true;
    }
    bool start_array(std::size_t) override {
        open.push_back({add(json::array()), {}});
        return true;
    }
    bool end_array() override {
        open.pop_back();
        return true;
    }
    bool parse_error(std::size_t, std::string const& token,
                     nlohmann::detail::exception const& e) override {
        if (e.id == 406) {
            error = prefixed(valuePlace(), "number " + token + " is out of range");
            return false;
        }
        error = e.what();
        // Drop nlohmann's "[json.exception.parse_error.101] " prefix.
        std::size_t const bracket = error.find("] ");
        if (bracket != std::string::npos) {
            error = error.substr(bracket + 2);
        }
        return false;
    }

private:
    // An object or array being read, with the key of the value to come.
    struct Open {
        json* value;
        std::string key;
    };

    static std::string prefixed(std::string const& where, std::string const& message) {
        return where.empty() ? message : where + ": " + message;
    }

    // Where the open object or array lies.
    std::string place() const {
        std::string where;
        for (std::size_t i = 0; i + 1 < open.size(); ++i) {
            // The child is the array's last element already.
            where = open[i].value->is_array() ? at(where, open[i].value->size() - 1)
                                              : at(where, open[i].key.c_str());
        }
        return where;
    }

    // Where the value being read goes.
    std::string valuePlace() const {
        if (open.empty()) {
            return {};
        }
        Open const& top = open.back();
        return top.value->is_array() ? at(place(), top.value->size())
                                     : at(place(), top.key.c_str());
    }

    // Stores a value where it belongs and returns it in its place.
    json* add(json value) {
        if (open.empty()) {
            document = std::move(value);
            return &document;
        }
        Open& top = open.back();
        if (top.value->is_array()) {
            top.value->push_back(std::move(value));
            return &top.value->back();
        }
        json& slot = (*top.value)[top.key];
        slot = std::move(value);
        return &slot;
    }

    std::vector<Open> open;
};

// Levels of a mesh hierarchy, the node itself being one.
std::size_t levels(MeshNode const& node) {
    std::size_t deepest = 0;
    for (MeshNode const& child : node.children) {
        deepest = std::max(deepest, levels(child));
    }
    return deepest + 1;
}

Mat4 multiply(Mat4 const& a, Mat4 const& b) {
    Mat4 c{};
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) {
                sum += a[k * 4 + row] * b[col * 4 + k];
            }
            c[col * 4 + row] = sum;
        }
    }
    return c;
}

Mat4 rotation(int axis, double degrees) {
    float const c = static_cast<float>(std::cos(degrees * PI / 180.0));
    float const s = static_cast<float>(std::sin(degrees * PI / 180.0));
    Mat4 m = IDENTITY_MATRIX;
    int const i = (axis + 1) % 3;
    int const j = (axis + 2) % 3;
    m[i * 4 + i] = c;
    m[i * 4 + j] = s;
    m[j * 4 + i] = -s;
    m[j * 4 + j] = c;
    return m;
}

// A file's materials mapped to manifest materials: by the file's material
// index first, then by name; "*" catches the rest.
struct MaterialMap {
    std::vector<std::uint16_t> byIndex;
    std::map<std::string, std::uint16_t> byName;
};
using UVMapping = std::vector<std::pair<std::uint8_t, std::uint8_t>>;

// Entries of one kind, each name with its id and where it was defined.
struct NameTable {
    char const* kind;
    std::map<std::string, std::uint16_t> ids;
    std::map<std::string, std::string> definedAt;
};

class Compilation {
public:
    Compilation(std::string manifestPath, ManifestCompiler::Progress const& progress)
        : manifestPath(std::move(manifestPath)), progress(progress),
          baseDir(fs::path(this->manifestPath).parent_path()),
          importer([this](std::string const& line) { report(line); }) {}

    CompiledAssets run();

private:
    // Messages.
    [[noreturn]] void fail(std::string const& where, std::string const& message) const;
    void warn(std::string const& where, std::string const& message);
    void report(std::string const& line) const {
        if (progress) {
            progress(line);
        }
    }

    // JSON access, each failing with the field's place.
    json const& field(json const& object, char const* key, std::string const& where) const;
    json const* optionalField(json const& object, char const* key) const;
    void allowFields(json const& object, std::initializer_list<char const*> keys,
                     std::string const& where) const;
    json const& array(json const& value, std::string const& where) const;
    json const& object(json const& value, std::string const& where) const;
    std::string text(json const& value, std::string const& where) const;
    float number(json const& value, std::string const& where) const;
    std::uint64_t unsignedInt(json const& value, std::uint64_t max, std::string const& where) const;
    bool boolean(json const& value, std::string const& where) const;
    template <std::size_t N>
    std::array<float, N> floats(json const& value, std::string const& where) const;

    // Input files.
    std::string inputPath(json const& value, std::string const& where);
    std::string readText(std::string const& path, std::string const& where) const;
    std::vector<std::uint8_t> readBinary(std::string const& path, std::string const& where) const;

    // Names.
    void define(NameTable& table, json const& entry, std::string const& where, std::size_t id);
    std::uint16_t lookup(NameTable const& table, json const& value, std::string const& where) const;

    // Sections, in the order their names are needed.
    void compileShaders(json const& list);
    void compileTextures(json const& list);
    void compileMaterials(json const& list);
    void compileGeometries(json const& list);
    void compilePaths(json const& list);
    void compileModels(json const& list);

    MaterialPart materialPart(json const& entry, std::string const& where);
    ModelRecord model(json const& entry, std::string const& where);
    ComponentRecord component(json const& entry, std::string const& where);
    LightRecord light(json const& entry, std::string const& where);
    MeshNode meshNode(json const& entry, std::string const& where, std::size_t depth);
    MeshNode sceneNode(json const& entry, std::string const& where, std::size_t depth);
    std::optional<MeshNode> convertNode(aiScene const& scene, aiNode const& node,
                                        Mat4 const& carried, std::string const& file,
                                        MaterialMap const& materials, UVMapping const& mapping,
                                        int uvChannels, std::string const& where);
    Mat4 transform(json const& entry, std::string const& where) const;
    UVMapping uvMapping(json const& entry, std::string const& where) const;
    void checkMapping(UVMapping const& mapping, std::uint16_t geometry, std::string const& what,
                      std::string const& where) const;
    void setGeometry(MeshNode& node, std::uint16_t geometry);
    void checkTexturedMaterial(std::uint16_t material, std::uint16_t geometry,
                               std::string const& where);

    std::string manifestPath;
    ManifestCompiler::Progress const& progress;
    fs::path baseDir;
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
    std::set<std::string> inputsSeen;
};

void Compilation::fail(std::string const& where, std::string const& message) const {
    throw ManifestError(manifestPath + ": " + (where.empty() ? "" : where + ": ") + message);
}

void Compilation::warn(std::string const& where, std::string const& message) {
    out.warnings.push_back(manifestPath + ": " + (where.empty() ? "" : where + ": ") +
                           "warning: " + message);
}

json const& Compilation::field(json const& object, char const* key,
                               std::string const& where) const {
    auto found = object.find(key);
    if (found == object.end()) {
        fail(where, std::string("missing field '") + key + "'");
    }
    return *found;
}

json const* Compilation::optionalField(json const& object, char const* key) const {
    auto found = object.find(key);
    return found == object.end() ? nullptr : &*found;
}

void Compilation::allowFields(json const& object, std::initializer_list<char const*> keys,
                              std::string const& where) const {
    for (auto const& item : object.items()) {
        bool const known = std::any_of(keys.begin(), keys.end(),
                                       [&](char const* key) { return item.key() == key; });
        if (!known) {
            fail(where, "unknown field '" + item.key() + "'");
        }
    }
}

json const& Compilation::array(json const& value, std::string const& where) const {
    if (!value.is_array()) {
        fail(where, "expected an array");
    }
    return value;
}

json const& Compilation::object(json const& value, std::string const& where) const {
    if (!value.is_object()) {
        fail(where, "expected an object");
    }
    return value;
}

std::string Compilation::text(json const& value, std::string const& where) const {
    if (!value.is_string() || value.get_ref<std::string const&>().empty()) {
        fail(where, "expected a non-empty string");
    }
    return value.get<std::string>();
}

float Compilation::number(json const& value, std::string const& where) const {
    if (!value.is_number()) {
        fail(where, "expected a number");
    }
    double const v = value.get<double>();
    if (!std::isfinite(v) || std::fabs(v) > 3.4e38) {
        fail(where, "number out of range");
    }
    return static_cast<float>(v);
}

std::uint64_t Compilation::unsignedInt(json const& value, std::uint64_t max,
                                       std::string const& where) const {
    if (!value.is_number_unsigned()) {
        fail(where, "expected a whole number from 0 to " + std::to_string(max));
    }
    std::uint64_t const v = value.get<std::uint64_t>();
    if (v > max) {
        fail(where, "expected a whole number from 0 to " + std::to_string(max));
    }
    return v;
}

bool Compilation::boolean(json const& value, std::string const& where) const {
    if (!value.is_boolean()) {
        fail(where, "expected true or false");
    }
    return value.get<bool>();
}

template <std::size_t N>
std::array<float, N> Compilation::floats(json const& value, std::string const& where) const {
    if (!value.is_array() || value.size() != N) {
        fail(where, "expected an array of " + str(N) + " numbers");
    }
    std::array<float, N> result{};
    for (std::size_t i = 0; i < N; ++i) {
        result[i] = number(value[i], at(where, i));
    }
    return result;
}

std::string Compilation::inputPath(json const& value, std::string const& where) {
    fs::path const relative = text(value, where);
    std::string const path = (relative.is_absolute() ? relative : baseDir / relative).string();
    if (inputsSeen.insert(path).second) {
        out.inputs.push_back(path);
    }
    return path;
}

std::string Compilation::readText(std::string const& path, std::string const& where) const {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        fail(where, "cannot read '" + path + "'");
    }
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

std::vector<std::uint8_t> Compilation::readBinary(std::string const& path,
                                                  std::string const& where) const {
    std::string const content = readText(path, where);
    return std::vector<std::uint8_t>(content.begin(), content.end());
}

void Compilation::define(NameTable& table, json const& entry, std::string const& where,
                         std::size_t id) {
    std::string const name = text(field(entry, "name", where), at(where, "name"));
    auto const found = table.definedAt.find(name);
    if (found != table.definedAt.end()) {
        fail(at(where, "name"), "duplicate " + std::string(table.kind) + " name '" + name +
                                    "' (also " + found->second + ")");
    }
    table.ids[name] = static_cast<std::uint16_t>(id);
    table.definedAt[name] = where;
}

std::uint16_t Compilation::lookup(NameTable const& table, json const& value,
                                  std::string const& where) const {
    std::string const name = text(value, where);
    auto const found = table.ids.find(name);
    if (found == table.ids.end()) {
        fail(where, "unknown " + std::string(table.kind) + " '" + name + "'");
    }
    return found->second;
}

void Compilation::compileShaders(json const& list) {
    static char const* const stageKeys[format::SHADER_STAGE_COUNT] = {
        "vertex", "tessControl", "tessEvaluation", "geometry", "fragment"};
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::string const where = at("shaders", i);
        json const& entry = object(list[i], where);
        allowFields(entry,
                    {"name", "vertex", "tessControl", "tessEvaluation", "geometry", "fragment"},
                    where);
        define(shaders, entry, where, i);
        ShaderRecord record;
        for (std::size_t s = 0; s < format::SHADER_STAGE_COUNT; ++s) {
            json const* file = optionalField(entry, stageKeys[s]);
            bool const required = s == format::STAGE_VERTEX || s == format::STAGE_FRAGMENT;
            if (file == nullptr) {
                if (required) {
                    field(entry, stageKeys[s], where);
                }
                continue;
            }
            std::string const fieldAt = at(where, stageKeys[s]);
            std::string const path = inputPath(*file, fieldAt);
            std::string source = readText(path, fieldAt);
            if (source.empty()) {
                fail(fieldAt, "'" + path + "' is empty");
            }
            if (source.find('\0') != std::string::npos) {
                fail(fieldAt, "'" + path + "' contains a zero byte");
            }
            if (source.size() > format::MAX_SHADER_TEXT) {
                fail(fieldAt, "'" + path + "' has " + str(source.size()) +
                                  " bytes; a stored text holds at most " +
                                  str(format::MAX_SHADER_TEXT));
            }
            record.stages[s] = std::move(source);
        }
        // The loader uses a tessellation pair only when both texts are there.
        if (record.stages[format::STAGE_TESS_CONTROL].empty() !=
            record.stages[format::STAGE_TESS_EVALUATION].empty()) {
            fail(where, "'tessControl' and 'tessEvaluation' go together");
        }
        out.shaders.shaders.push_back(std::move(record));
    }
}

void Compilation::compileTextures(json const& list) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::string const where = at("textures", i);
        json const& entry = object(list[i], where);
        allowFields(entry, {"name", "file"}, where);
        define(textures, entry, where, i);
        std::string const fieldAt = at(where, "file");
        std::string const path = inputPath(field(entry, "file", where), fieldAt);
        std::vector<std::uint8_t> png = readBinary(path, fieldAt);
        try {
            PngInfo const info = checkPng(png.data(), png.size());
            png.resize(info.streamSize); // anything after IEND is not part of the image
        } catch (FormatError const& e) {
            fail(fieldAt, "'" + path + "' is not a usable PNG file: " + e.what());
        }
        out.textures.textures.push_back(TextureRecord{std::move(png)});
    }
}

MaterialPart Compilation::materialPart(json const& entry, std::string const& where) {
    object(entry, where);
    std::string const type = text(field(entry, "type", where), at(where, "type"));
    MaterialPart part;
    if (type == "diffuseColor") {
        allowFields(entry, {"type", "color", "emit"}, where);
        part.type = format::PART_DIFFUSE_COLOR;
        part.color = floats<3>(field(entry, "color", where), at(where, "color"));
        json const* emit = optionalField(entry, "emit");
        part.emit = emit ? number(*emit, at(where, "emit")) : 0.0f;
    } else if (type == "specularColor") {
        allowFields(entry, {"type", "color", "shininess"}, where);
        part.type = format::PART_SPECULAR_COLOR;
        part.color = floats<3>(field(entry, "color", where), at(where, "color"));
        part.shininess = static_cast<std::uint32_t>(
            unsignedInt(field(entry, "shininess", where), 0xFFFFFFFFu, at(where, "shininess")));
    } else if (type == "diffuseTexture" || type == "normalTexture" ||
               type == "displacementTexture") {
        allowFields(entry, {"type", "texture"}, where);
        part.type = type == "diffuseTexture"  ? format::PART_DIFFUSE_TEXTURE
                    : type == "normalTexture" ? format::PART_NORMAL_TEXTURE
                                              : format::PART_DISPLACEMENT_TEXTURE;
        part.texture = lookup(textures, field(entry, "texture", where), at(where, "texture"));
    } else {
        fail(at(where, "type"), "unknown part type '" + type +
                                    "' (diffuseColor, specularColor, diffuseTexture, "
                                    "normalTexture, displacementTexture)");
    }
    return part;
}

void Compilation::compileMaterials(json const& list) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::string const where = at("materials", i);
        json const& entry = object(list[i], where);
        allowFields(entry, {"name", "shader", "parts"}, where);
        define(materials, entry, where, i);
        MaterialRecord record;
        record.shader = lookup(shaders, field(entry, "shader", where), at(where, "shader"));
        if (json const* parts = optionalField(entry, "parts")) {
            std::string const partsAt = at(where, "parts");
            array(*parts, partsAt);
            if (parts->size() > format::MAX_MATERIAL_PARTS) {
                fail(partsAt, str(parts->size()) + " parts; a material holds at most " +
                                  str(format::MAX_MATERIAL_PARTS));
            }
            for (std::size_t p = 0; p < parts->size(); ++p) {
                record.parts.push_back(materialPart((*parts)[p], at(partsAt, p)));
            }
        }
        out.models.materials.push_back(std::move(record));
    }
}

void Compilation::compileGeometries(json const& list) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::string const where = at("geometries", i);
        json const& entry = object(list[i], where);
        allowFields(entry, {"name", "file", "mesh", "uvChannels"}, where);
        define(geometries, entry, where, i);
        std::string const fileAt = at(where, "file");
        std::string const path = inputPath(field(entry, "file", where), fileAt);
        int uvChannels = -1;
        if (json const* channels = optionalField(entry, "uvChannels")) {
            uvChannels = static_cast<int>(
                unsignedInt(*channels, format::MAX_UV_CHANNELS, at(where, "uvChannels")));
        }
        try {
            aiScene const& scene = importer.scene(path);
            json const* mesh = optionalField(entry, "mesh");
            if (mesh == nullptr) {
                out.models.geometries.push_back(MeshImporter::geometryOfScene(scene, uvChannels));
                continue;
            }
            std::string const meshAt = at(where, "mesh");
            std::optional<unsigned> index;
            if (mesh->is_number_integer()) {
                index = static_cast<unsigned>(unsignedInt(*mesh, 0xFFFFFFFFu, meshAt));
                if (*index >= scene.mNumMeshes) {
                    fail(meshAt, "'" + path + "' has " + str(scene.mNumMeshes) + " meshes");
                }
            } else {
                std::string const name = text(*mesh, meshAt);
                for (unsigned m = 0; m < scene.mNumMeshes; ++m) {
                    if (name != scene.mMeshes[m]->mName.C_Str()) {
                        continue;
                    }
                    if (index) {
                        fail(meshAt, "several meshes of '" + path + "' are named '" + name +
                                         "'; use an index");
                    }
                    index = m;
                }
                if (!index) {
                    fail(meshAt, "'" + path + "' has no mesh named '" + name + "'");
                }
            }
            out.models.geometries.push_back(
                MeshImporter::geometryOfMesh(*scene.mMeshes[*index], uvChannels));
            // A node tree that uses the same mesh shares this geometry.
            sceneGeometries.emplace(
                std::make_tuple(path, *index, int(out.models.geometries.back().format)),
                static_cast<std::uint16_t>(out.models.geometries.size() - 1));
        } catch (ImportError const& e) {
            fail(fileAt, "cannot use '" + path + "': " + e.what());
        }
    }
}

void Compilation::compilePaths(json const& list) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::string const where = at("paths", i);
        json const& entry = object(list[i], where);
        allowFields(entry, {"name", "points"}, where);
        define(paths, entry, where, i);
        std::string const pointsAt = at(where, "points");
        json const& points = array(field(entry, "points", where), pointsAt);
        if (points.size() < 2) {
            fail(pointsAt, "a path needs at least 2 points");
        }
        if (points.size() > format::MAX_PATH_POINTS) {
            fail(pointsAt, str(points.size()) + " points; a path holds at most " +
                               str(format::MAX_PATH_POINTS));
        }
        PathRecord record;
        for (std::size_t p = 0; p < points.size(); ++p) {
            std::string const pointAt = at(pointsAt, p);
            if (!points[p].is_array() || points[p].size() != 4) {
                fail(pointAt, "expected [time, x, y, z]");
            }
            Vec4 const values = floats<4>(points[p], pointAt);
            PathPoint const point{values[0], {values[1], values[2], values[3]}};
            if (p > 0 && !(point.time > record.points.back().time)) {
                std::ostringstream message;
                message << "time " << point.time
                        << " does not come after the previous point's time "
                        << record.points.back().time;
                fail(pointAt, message.str());
            }
            record.points.push_back(point);
        }
        out.paths.paths.push_back(std::move(record));
    }
}

Mat4 Compilation::transform(json const& entry, std::string const& where) const {
    json const* matrix = optionalField(entry, "matrix");
    json const* translate = optionalField(entry, "translate");
    json const* rotate = optionalField(entry, "rotate");
    json const* scale = optionalField(entry, "scale");
    if (matrix != nullptr) {
        if (translate || rotate || scale) {
            fail(where, "give either 'matrix' or 'translate', 'rotate' and 'scale'");
        }
        return floats<16>(*matrix, at(where, "matrix"));
    }
    Mat4 result = IDENTITY_MATRIX;
    if (translate != nullptr) {
        Vec3 const t = floats<3>(*translate, at(where, "translate"));
        result[12] = t[0];
        result[13] = t[1];
        result[14] = t[2];
    }
    if (rotate != nullptr) {
        Vec3 const r = floats<3>(*rotate, at(where, "rotate"));
        // Degrees about x, then y, then z.
        result = multiply(result, rotation(2, r[2]));
        result = multiply(result, rotation(1, r[1]));
        result = multiply(result, rotation(0, r[0]));
    }
    if (scale != nullptr) {
        Vec3 s{};
        if (scale->is_number()) {
            float const v = number(*scale, at(where, "scale"));
            s = {v, v, v};
        } else {
            s = floats<3>(*scale, at(where, "scale"));
        }
        Mat4 m = IDENTITY_MATRIX;
        m[0] = s[0];
        m[5] = s[1];
        m[10] = s[2];
        result = multiply(result, m);
    }
    return result;
}

UVMapping Compilation::uvMapping(json const& entry, std::string const& where) const {
    UVMapping mapping;
    json const* value = optionalField(entry, "uvMapping");
    if (value == nullptr) {
        return mapping;
    }
    std::string const mappingAt = at(where, "uvMapping");
    object(*value, mappingAt);
    static std::pair<char const*, std::uint8_t> const keys[] = {
        {"diffuse", format::UV_MAP_DIFFUSE},
        {"normal", format::UV_MAP_NORMAL},
        {"displacement", format::UV_MAP_DISPLACEMENT}};
    allowFields(*value, {"diffuse", "normal", "displacement"}, mappingAt);
    for (auto const& [name, key] : keys) {
        if (json const* channel = optionalField(*value, name)) {
            mapping.emplace_back(
                key, static_cast<std::uint8_t>(
                         unsignedInt(*channel, format::MAX_UV_CHANNELS - 1, at(mappingAt, name))));
        }
    }
    return mapping;
}

void Compilation::checkMapping(UVMapping const& mapping, std::uint16_t geometry,
                               std::string const& what, std::string const& where) const {
    std::uint8_t const channels = out.models.geometries[geometry].format;
    for (auto const& [key, channel] : mapping) {
        if (channel >= channels) {
            fail(at(where, "uvMapping"), "channel " + str(channel) + " of " + what +
                                             ", which has " + str(channels) +
                                             " texture channel(s)");
        }
    }
}

void Compilation::setGeometry(MeshNode& node, std::uint16_t geometry) {
    node.geometry = geometry;
    Bounds const bounds = computeBounds(out.models.geometries[geometry]);
    node.boundsMin = bounds.min;
    node.boundsMax = bounds.max;
}

void Compilation::checkTexturedMaterial(std::uint16_t material, std::uint16_t geometry,
                                        std::string const& where) {
    if (out.models.geometries[geometry].format != format::FORMAT_BASE) {
        return;
    }
    for (MaterialPart const& part : out.models.materials[material].parts) {
        if (part.type >= format::PART_DIFFUSE_TEXTURE) {
            warn(where, "material with texture parts on a geometry without texture channels");
            return;
        }
    }
}

MeshNode Compilation::meshNode(json const& entry, std::string const& where, std::size_t depth) {
    object(entry, where);
    if (depth > format::MAX_MESH_DEPTH) {
        fail(where, "mesh hierarchy deeper than " + str(format::MAX_MESH_DEPTH) + " levels");
    }
    if (optionalField(entry, "scene") != nullptr) {
        return sceneNode(entry, where, depth);
    }
    MeshNode node;
    if (json const* group = optionalField(entry, "group")) {
        if (!boolean(*group, at(where, "group"))) {
            fail(at(where, "group"), "leave 'group' out for a mesh with geometry");
        }
        allowFields(entry, {"group", "children"}, where);
        node.group = 1;
    } else {
        allowFields(entry,
                    {"geometry", "material", "matrix", "translate", "rotate", "scale", "uvMapping",
                     "children"},
                    where);
        std::uint16_t const geometry =
            lookup(geometries, field(entry, "geometry", where), at(where, "geometry"));
        setGeometry(node, geometry);
        node.material = lookup(materials, field(entry, "material", where), at(where, "material"));
        node.matrix = transform(entry, where);
        node.uvMapping = uvMapping(entry, where);
        checkMapping(node.uvMapping, geometry,
                     "geometry '" + entry["geometry"].get<std::string>() + "'", where);
        checkTexturedMaterial(node.material, geometry, where);
    }
    if (json const* children = optionalField(entry, "children")) {
        std::string const childrenAt = at(where, "children");
        array(*children, childrenAt);
        for (std::size_t c = 0; c < children->size(); ++c) {
            node.children.push_back(meshNode((*children)[c], at(childrenAt, c), depth + 1));
        }
    }
    return node;
}

MeshNode Compilation::sceneNode(json const& entry, std::string const& where, std::size_t depth) {
    allowFields(entry,
                {"scene", "materials", "materialsByIndex", "uvChannels", "uvMapping", "matrix",
                 "translate", "rotate", "scale"},
                where);
    std::string const sceneAt = at(where, "scene");
    std::string const path = inputPath(entry["scene"], sceneAt);
    MaterialMap materialMap;
    std::string const materialsAt = at(where, "materials");
    json const* byIndex = optionalField(entry, "materialsByIndex");
    if (byIndex != nullptr) {
        std::string const byIndexAt = at(where, "materialsByIndex");
        json const& list = array(*byIndex, byIndexAt);
        for (std::size_t i = 0; i < list.size(); ++i) {
            materialMap.byIndex.push_back(lookup(materials, list[i], at(byIndexAt, i)));
        }
    }
    if (byIndex == nullptr || optionalField(entry, "materials") != nullptr) {
        json const& names = object(field(entry, "materials", where), materialsAt);
        for (auto const& item : names.items()) {
            materialMap.byName[item.key()] =
                lookup(materials, item.value(), at(materialsAt, item.key().c_str()));
        }
    }
    int uvChannels = -1;
    if (json const* channels = optionalField(entry, "uvChannels")) {
        uvChannels = static_cast<int>(
            unsignedInt(*channels, format::MAX_UV_CHANNELS, at(where, "uvChannels")));
    }
    UVMapping const mapping = uvMapping(entry, where);
    Mat4 const matrix = transform(entry, where);
    try {
        aiScene const& scene = importer.scene(path);
        std::optional<MeshNode> root = convertNode(scene, *scene.mRootNode, matrix, path,
                                                   materialMap, mapping, uvChannels, where);
        if (!root) {
            fail(sceneAt, "'" + path + "' has no node with a mesh");
        }
        if (depth - 1 + levels(*root) > format::MAX_MESH_DEPTH) {
            fail(sceneAt, "the node tree of '" + path + "' makes the mesh hierarchy deeper than " +
                              str(format::MAX_MESH_DEPTH) + " levels");
        }
        return *root;
    } catch (ImportError const& e) {
        fail(sceneAt, "cannot use '" + path + "': " + e.what());
    }
}

// One node of a file's node tree. A group record has no matrix, so a group
// node's transform is carried down to its children; nodes without meshes
// below them are left out.
std::optional<MeshNode> Compilation::convertNode(aiScene const& scene, aiNode const& node,
                                                 Mat4 const& carried, std::string const& file,
                                                 MaterialMap const& materialMap,
                                                 UVMapping const& mapping, int uvChannels,
                                                 std::string const& where) {
    Mat4 const local = multiply(carried, toColumnMajor(node));
    auto meshOf = [&](unsigned meshIndex, Mat4 const& matrix) {
        aiMesh const& mesh = *scene.mMeshes[meshIndex];
        std::string const meshName =
            "mesh " + str(meshIndex) +
            (mesh.mName.length > 0 ? " ('" + std::string(mesh.mName.C_Str()) + "')" : "") +
            " of '" + file + "'";
        int const channels = uvChannels >= 0 ? uvChannels : int(MeshImporter::channelsOf(mesh));
        auto key = std::make_tuple(file, meshIndex, channels);
        auto found = sceneGeometries.find(key);
        std::uint16_t geometry = 0;
        if (found != sceneGeometries.end()) {
            geometry = found->second;
        } else {
            if (out.models.geometries.size() > MAX_ID) {
                fail(where, "too many geometries");
            }
            try {
                out.models.geometries.push_back(MeshImporter::geometryOfMesh(mesh, uvChannels));
            } catch (ImportError const& e) {
                fail(at(where, "scene"), meshName + ": " + e.what());
            }
            geometry = static_cast<std::uint16_t>(out.models.geometries.size() - 1);
            sceneGeometries[key] = geometry;
        }
        std::string const materialName = scene.mMaterials[mesh.mMaterialIndex]->GetName().C_Str();
        std::uint16_t materialId = 0;
        if (mesh.mMaterialIndex < materialMap.byIndex.size()) {
            materialId = materialMap.byIndex[mesh.mMaterialIndex];
        } else {
            auto material = materialMap.byName.find(materialName);
            if (material == materialMap.byName.end()) {
                material = materialMap.byName.find("*");
            }
            if (material == materialMap.byName.end()) {
                fail(at(where, "materials"), "no material for the file's material '" +
                                                 materialName + "' (name it, or add a '*' entry)");
            }
            materialId = material->second;
        }
        MeshNode result;
        setGeometry(result, geometry);
        result.material = materialId;
        result.matrix = matrix;
        result.uvMapping = mapping;
        checkMapping(mapping, geometry, meshName, where);
        checkTexturedMaterial(result.material, geometry, where);
        return result;
    };

    MeshNode result;
    Mat4 childCarried = IDENTITY_MATRIX;
    if (node.mNumMeshes == 0) {
        result.group = 1;
        childCarried = local;
    } else {
        result = meshOf(node.mMeshes[0], local);
        // Further meshes of the node share its place: children with no own transform.
        for (unsigned m = 1; m < node.mNumMeshes; ++m) {
            result.children.push_back(meshOf(node.mMeshes[m], IDENTITY_MATRIX));
        }
    }
    for (unsigned c = 0; c < node.mNumChildren; ++c) {
        std::optional<MeshNode> child = convertNode(scene, *node.mChildren[c], childCarried, file,
                                                    materialMap, mapping, uvChannels, where);
        if (child) {
            result.children.push_back(std::move(*child));
        }
    }
    if (result.group != 0 && result.children.empty()) {
        return std::nullopt;
    }
    // A group with a single child stands for nothing but that child.
    if (result.group != 0 && result.children.size() == 1) {
        return std::move(result.children.front());
    }
    return result;
}

LightRecord Compilation::light(json const& entry, std::string const& where) {
    object(entry, where);
    std::string const kind = text(field(entry, "kind", where), at(where, "kind"));
    LightRecord light;
    if (kind == "point") {
        allowFields(entry,
                    {"kind", "intensity", "specular", "location", "attenuation", "castsShadow"},
                    where);
        light.kind = format::LIGHT_KIND_POINT;
    } else if (kind == "spot") {
        allowFields(entry,
                    {"kind", "intensity", "specular", "location", "direction", "angle", "exponent",
                     "attenuation", "castsShadow"},
                    where);
        light.kind = format::LIGHT_KIND_SPOT;
        light.direction = floats<3>(field(entry, "direction", where), at(where, "direction"));
        light.coneAngle = number(field(entry, "angle", where), at(where, "angle"));
        if (!(light.coneAngle > 0.0f && light.coneAngle < 180.0f)) {
            fail(at(where, "angle"), "the full cone angle in degrees must lie between 0 and 180");
        }
        light.exponent = number(field(entry, "exponent", where), at(where, "exponent"));
    } else {
        fail(at(where, "kind"), "unknown light kind '" + kind + "' (point, spot)");
    }
    light.intensity = floats<3>(field(entry, "intensity", where), at(where, "intensity"));
    if (json const* specular = optionalField(entry, "specular")) {
        light.specular = boolean(*specular, at(where, "specular")) ? 1 : 0;
    }
    json const& location = field(entry, "location", where);
    std::string const locationAt = at(where, "location");
    if (location.is_array() && location.size() == 3) {
        Vec3 const l = floats<3>(location, locationAt);
        light.location = {l[0], l[1], l[2], 1.0f};
    } else {
        light.location = floats<4>(location, locationAt);
    }
    if (json const* attenuation = optionalField(entry, "attenuation")) {
        light.attenuation = floats<3>(*attenuation, at(where, "attenuation"));
    }
    if (json const* shadow = optionalField(entry, "castsShadow")) {
        light.castsShadow = boolean(*shadow, at(where, "castsShadow")) ? 1 : 0;
    }
    return light;
}

ComponentRecord Compilation::component(json const& entry, std::string const& where) {
    object(entry, where);
    std::string const type = text(field(entry, "type", where), at(where, "type"));
    ComponentRecord component;
    if (type == "position" || type == "collision") {
        allowFields(entry, {"type"}, where);
        component.type = type == "position" ? COMPONENT_POSITION : COMPONENT_COLLISION;
    } else if (type == "meshDraw") {
        allowFields(entry, {"type", "mesh"}, where);
        component.type = COMPONENT_MESH_DRAW;
        component.mesh = meshNode(field(entry, "mesh", where), at(where, "mesh"), 1);
        ByteWriter data;
        encodeMeshNode(data, component.mesh);
        if (data.size() > format::MAX_COMPONENT_DATA) {
            fail(at(where, "mesh"), "the mesh hierarchy needs " + str(data.size()) +
                                        " bytes; a component holds at most " +
                                        str(format::MAX_COMPONENT_DATA));
        }
    } else if (type == "light") {
        allowFields(entry, {"type", "lights"}, where);
        component.type = COMPONENT_LIGHT;
        if (json const* lights = optionalField(entry, "lights")) {
            std::string const lightsAt = at(where, "lights");
            array(*lights, lightsAt);
            std::size_t const limit = (format::MAX_COMPONENT_DATA - 2) / format::SPOT_LIGHT_SIZE;
            if (lights->size() > limit) {
                fail(lightsAt, "at most " + str(limit) + " lights fit in one component");
            }
            for (std::size_t l = 0; l < lights->size(); ++l) {
                component.lights.push_back(light((*lights)[l], at(lightsAt, l)));
            }
        }
    } else if (type == "pathAnimation") {
        allowFields(entry, {"type", "position", "lookAt"}, where);
        component.type = COMPONENT_PATH_ANIMATION;
        component.positionPath =
            lookup(paths, field(entry, "position", where), at(where, "position"));
        component.lookAtPath = lookup(paths, field(entry, "lookAt", where), at(where, "lookAt"));
    } else if (type == "bsp") {
        allowFields(entry, {"type", "material", "geometry"}, where);
        component.type = COMPONENT_BSP_DRAW;
        component.material =
            lookup(materials, field(entry, "material", where), at(where, "material"));
        component.geometry =
            lookup(geometries, field(entry, "geometry", where), at(where, "geometry"));
        if (out.models.geometries[component.geometry].format != format::FORMAT_BASE) {
            fail(at(where, "geometry"), "geometry '" + entry["geometry"].get<std::string>() +
                                            "' has texture channels; a BSP geometry needs "
                                            "\"uvChannels\": 0");
        }
    } else if (type == "camera") {
        fail(at(where, "type"), "a camera component cannot be stored in the model file");
    } else {
        fail(at(where, "type"), "unknown component type '" + type +
                                    "' (position, meshDraw, collision, light, pathAnimation, bsp)");
    }
    return component;
}

ModelRecord Compilation::model(json const& entry, std::string const& where) {
    ModelRecord record;
    std::string const componentsAt = at(where, "components");
    json const& list = array(field(entry, "components", where), componentsAt);
    std::map<std::uint16_t, std::string> seen;
    for (std::size_t c = 0; c < list.size(); ++c) {
        std::string const componentAt = at(componentsAt, c);
        ComponentRecord component = this->component(list[c], componentAt);
        auto const earlier = seen.find(component.type);
        if (earlier != seen.end()) {
            fail(componentAt, "a second component of type '" + list[c]["type"].get<std::string>() +
                                  "' (also " + earlier->second + ")");
        }
        seen[component.type] = componentAt;
        record.components.push_back(std::move(component));
    }
    for (auto const& [type, componentAt] : seen) {
        if (type != COMPONENT_POSITION && seen.count(COMPONENT_POSITION) == 0) {
            fail(componentAt, "needs a 'position' component in the same model");
        }
        if (type == COMPONENT_COLLISION && seen.count(COMPONENT_MESH_DRAW) == 0) {
            warn(componentAt, "a collision component without a 'meshDraw' component has no boxes");
        }
    }
    // Components are stored in ascending type order, the order in which the
    // object updates them: the collision component then finds the meshes.
    std::stable_sort(
        record.components.begin(), record.components.end(),
        [](ComponentRecord const& a, ComponentRecord const& b) { return a.type < b.type; });
    return record;
}

void Compilation::compileModels(json const& list) {
    // Pinned ids first, then every other model takes the lowest free id.
    std::map<std::size_t, std::size_t> entryOfId;
    std::vector<std::size_t> idOfEntry(list.size());
    std::vector<bool> pinned(list.size(), false);
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::string const where = at("models", i);
        json const& entry = object(list[i], where);
        allowFields(entry, {"name", "id", "components"}, where);
        if (json const* id = optionalField(entry, "id")) {
            std::size_t const value = unsignedInt(*id, MAX_ID, at(where, "id"));
            auto const taken = entryOfId.find(value);
            if (taken != entryOfId.end()) {
                fail(at(where, "id"),
                     "id " + str(value) + " is also pinned by " + at("models", taken->second));
            }
            entryOfId[value] = i;
            idOfEntry[i] = value;
            pinned[i] = true;
        }
    }
    std::size_t next = 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (pinned[i]) {
            continue;
        }
        while (entryOfId.count(next) != 0) {
            ++next;
        }
        if (next > MAX_ID) {
            fail(at("models", i), "too many models");
        }
        entryOfId[next] = i;
        idOfEntry[i] = next;
    }
    std::size_t const count = entryOfId.empty() ? 0 : entryOfId.rbegin()->first + 1;
    out.models.models.assign(count, ModelRecord{});
    for (std::size_t i = 0; i < list.size(); ++i) {
        std::string const where = at("models", i);
        define(models, list[i], where, idOfEntry[i]);
        out.models.models[idOfEntry[i]] = model(list[i], where);
    }
    // Ids left free, as ranges, reported in one warning.
    std::vector<std::pair<std::size_t, std::size_t>> gaps;
    std::size_t missing = 0;
    for (std::size_t id = 0; id < count; ++id) {
        if (entryOfId.count(id) != 0) {
            continue;
        }
        ++missing;
        if (!gaps.empty() && gaps.back().second + 1 == id) {
            gaps.back().second = id;
        } else {
            gaps.emplace_back(id, id);
        }
    }
    if (missing == 1) {
        warn("models",
             "no model has id " + str(gaps[0].first) + "; it is stored as an empty model");
    } else if (missing > 1) {
        constexpr std::size_t LISTED = 4;
        std::string list;
        for (std::size_t g = 0; g < gaps.size() && g < LISTED; ++g) {
            list += (g > 0 ? ", " : "") + str(gaps[g].first) +
                    (gaps[g].second > gaps[g].first ? " to " + str(gaps[g].second) : "");
        }
        if (gaps.size() > LISTED) {
            list += ", ...";
        }
        warn("models", "no model has ids " + list + " (" + str(missing) +
                           " ids); they are stored as empty models");
    }
}

CompiledAssets Compilation::run() {
    report("reading " + manifestPath);
    out.inputs.push_back(manifestPath);
    inputsSeen.insert(manifestPath);
    std::ifstream in(manifestPath, std::ios::binary);
    if (!in) {
        throw ManifestError(manifestPath + ": cannot read the manifest");
    }
    ManifestReader reader;
    if (!json::sax_parse(in, &reader, json::input_format_t::json, true, true)) {
        throw ManifestError(manifestPath + ": " + reader.error);
    }
    json const& manifest = reader.document;
    object(manifest, "");
    allowFields(manifest, {"shaders", "textures", "materials", "geometries", "paths", "models"},
                "");
    auto section = [&](char const* key, void (Compilation::*compileSection)(json const&)) {
        json const* list = optionalField(manifest, key);
        if (list == nullptr) {
            return;
        }
        array(*list, key);
        if (list->size() > MAX_ID + 1) {
            fail(key, "too many entries (at most " + str(MAX_ID + 1) + ")");
        }
        (this->*compileSection)(*list);
    };
    section("shaders", &Compilation::compileShaders);
    section("textures", &Compilation::compileTextures);
    section("materials", &Compilation::compileMaterials);
    section("geometries", &Compilation::compileGeometries);
    section("paths", &Compilation::compilePaths);
    section("models", &Compilation::compileModels);
    return std::move(out);
}

} // namespace

ManifestCompiler::ManifestCompiler(Progress progress) : progress(std::move(progress)) {}

CompiledAssets ManifestCompiler::compile(std::string const& manifestPath) const {
    return Compilation(manifestPath, progress).run();
}

} // namespace vlpc
