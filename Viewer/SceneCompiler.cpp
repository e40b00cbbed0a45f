#include <Viewer/ContentHash.h>
#include <Viewer/SceneCompiler.h>
#include <Viewer/TextureImage.h>
#include <algorithm>
#include <assimp/DefaultIOSystem.h>
#include <assimp/GltfMaterial.h>
#include <assimp/Importer.hpp>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <unistd.h>
#include <vlpc/CommandLine.h>

namespace Viewer {

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

// First line of a cache folder's stamp; a new layout of the cache or of the
// generated manifest changes it, which makes every older folder stale.
constexpr char const* CacheFormat = "viewer-cache 2";
constexpr char const* StampFile = "viewer-cache.txt";
constexpr char const* CompiledFiles[] = {"shaders.vlp", "textures.vlp", "models.vlp", "path.vlp"};
// The floor under the model: a square of side 2 in the xz plane, facing up.
constexpr char const* FloorObj = "v -1 0 -1\nv -1 0 1\nv 1 0 1\nv 1 0 -1\n"
                                 "vn 0 1 0\nf 1//1 2//1 3//1 4//1\n";
// The node tree of a file may not nest deeper than this.
constexpr int MaxNodeDepth = 256;

// The material library's shaders the generated materials use.
struct LibraryShader {
    char const* name;
    char const* vertex;
    char const* fragment;
};
constexpr LibraryShader Shaders[] = {{"color", "color.vert", "color.frag"},
                                     {"texture", "texture.vert", "texture.frag"},
                                     {"normalMap", "normalMap.vert", "normalMap.frag"}};

// Every file assimp opens while importing (the model, its .bin buffers, its
// .mtl libraries), so that a change to any of them makes the cache stale.
class RecordingIOSystem : public Assimp::DefaultIOSystem {
public:
    explicit RecordingIOSystem(std::vector<std::string>& files) : files(files) {}

    Assimp::IOStream* Open(char const* file, char const* mode) override {
        Assimp::IOStream* stream = DefaultIOSystem::Open(file, mode);
        if (stream != nullptr) {
            files.push_back(fs::absolute(file).lexically_normal().string());
        }
        return stream;
    }

private:
    std::vector<std::string>& files;
};

float luminance(float r, float g, float b) {
    return 0.2126f * r + 0.7152f * g + 0.0722f * b;
}

float clamp01(float value) {
    return std::min(1.0f, std::max(0.0f, value));
}

// A texture path of a file, as the file wrote it: backslashes and %-escapes
// are common in exported files.
std::string percentDecoded(std::string const& text) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() &&
            std::isxdigit(static_cast<unsigned char>(text[i + 1])) != 0 &&
            std::isxdigit(static_cast<unsigned char>(text[i + 2])) != 0) {
            result += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            result += text[i];
        }
    }
    return result;
}

std::string folderName(fs::path const& model, std::string const& hash) {
    std::string stem;
    for (char c : model.stem().string()) {
        stem += std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '-' || c == '_' ? c : '_';
    }
    return stem.substr(0, 40) + "-" + hash;
}

struct Box {
    std::array<float, 3> min{std::numeric_limits<float>::max(), std::numeric_limits<float>::max(),
                             std::numeric_limits<float>::max()};
    std::array<float, 3> max{-std::numeric_limits<float>::max(), -std::numeric_limits<float>::max(),
                             -std::numeric_limits<float>::max()};
    bool empty() const { return min[0] > max[0]; }
    void add(aiVector3D const& p) {
        float const v[3] = {p.x, p.y, p.z};
        for (int i = 0; i < 3; ++i) {
            if (std::isfinite(v[i])) {
                min[i] = std::min(min[i], v[i]);
                max[i] = std::max(max[i], v[i]);
            }
        }
    }
};

// One compile of one file into a fresh folder.
class Compilation {
public:
    Compilation(fs::path model, fs::path folder, std::string shaderFolder, std::ostream& progress)
        : model(std::move(model)), folder(std::move(folder)), shaderFolder(std::move(shaderFolder)),
          progress(progress) {}

    CompiledScene run();

private:
    void note(std::string const& text) {
        if (said.insert(text).second) {
            scene.notes.push_back(text);
        }
    }
    void scanMeshes();
    void scanNodes(aiNode const& node, aiMatrix4x4 const& parent, int depth);
    json material(unsigned index, aiMaterial const& source);
    std::string texture(aiMaterial const& source, aiTextureType type);
    bool loadTexture(std::string const& path, TextureImage& image, std::string& error);
    std::string whiteTexture();
    void compileManifest(json const& manifest);
    void writeStamp() const;

    fs::path model;
    fs::path folder;
    std::string shaderFolder;
    std::ostream& progress;
    aiScene const* file = nullptr;
    CompiledScene scene;
    std::set<std::string> said;
    std::vector<std::string> inputs;
    std::vector<bool> materialHasUVs;
    Box box;
    json textures = json::array();
    std::map<std::string, std::string> textureNames; // file's path -> manifest name ("" unusable)
    unsigned textureCount = 0;
};

CompiledScene Compilation::run() {
    progress << "viewer: reading " << model.string() << "\n" << std::flush;
    Assimp::Importer importer;
    importer.SetIOHandler(new RecordingIOSystem(inputs));
    file = importer.ReadFile(model.string(), aiProcess_Triangulate | aiProcess_SortByPType |
                                                 aiProcess_ValidateDataStructure);
    if (file == nullptr) {
        throw CompileError("cannot read '" + model.string() + "': " + importer.GetErrorString());
    }
    if (file->mRootNode == nullptr || file->mNumMeshes == 0) {
        throw CompileError("'" + model.string() + "' holds no meshes");
    }
    scanMeshes();
    scanNodes(*file->mRootNode, aiMatrix4x4(), 0);
    if (box.empty()) {
        throw CompileError("'" + model.string() + "' has no node with a mesh");
    }
    progress << "viewer: " << file->mNumMeshes << " meshes, " << file->mNumMaterials
             << " materials\n"
             << std::flush;

    json shaders = json::array();
    for (LibraryShader const& shader : Shaders) {
        std::string const vertex = shaderFolder + shader.vertex;
        std::string const fragment = shaderFolder + shader.fragment;
        shaders.push_back({{"name", shader.name}, {"vertex", vertex}, {"fragment", fragment}});
        inputs.push_back(vertex);
        inputs.push_back(fragment);
    }
    json materials = json::array();
    json byIndex = json::array();
    for (unsigned i = 0; i < file->mNumMaterials; ++i) {
        json entry = material(i, *file->mMaterials[i]);
        byIndex.push_back(entry["name"]);
        materials.push_back(std::move(entry));
    }
    materials.push_back(
        {{"name", "floor"},
         {"shader", "color"},
         {"parts",
          {{{"type", "diffuseColor"}, {"color", {0.42, 0.42, 0.42}}, {"emit", 0}},
           {{"type", "specularColor"}, {"color", {0.08, 0.08, 0.08}}, {"shininess", 8}}}}});
    {
        std::ofstream floor(folder / "floor.obj");
        floor << FloorObj;
    }
    json const mesh = {{"scene", model.string()}, {"materialsByIndex", byIndex}};
    json const floorMesh = {{"scene", "floor.obj"}, {"materials", {{"*", "floor"}}}};
    json const manifest = {
        {"shaders", shaders},
        {"textures", textures},
        {"materials", materials},
        {"models",
         {{{"name", "scene"},
           {"components", {{{"type", "position"}}, {{"type", "meshDraw"}, {"mesh", mesh}}}}},
          {{"name", "floor"},
           {"components",
            {{{"type", "position"}}, {{"type", "meshDraw"}, {"mesh", floorMesh}}}}}}}};
    compileManifest(manifest);
    scene.boundsMin = box.min;
    scene.boundsMax = box.max;
    writeStamp();
    return scene;
}

void Compilation::scanMeshes() {
    materialHasUVs.assign(file->mNumMaterials, true);
    unsigned skinned = 0;
    unsigned morphed = 0;
    unsigned coloured = 0;
    for (unsigned m = 0; m < file->mNumMeshes; ++m) {
        aiMesh const& mesh = *file->mMeshes[m];
        if (mesh.mMaterialIndex < materialHasUVs.size() && !mesh.HasTextureCoords(0)) {
            materialHasUVs[mesh.mMaterialIndex] = false;
        }
        skinned += mesh.HasBones() ? 1 : 0;
        morphed += mesh.mNumAnimMeshes > 0 ? 1 : 0;
        coloured += mesh.HasVertexColors(0) ? 1 : 0;
        if ((mesh.mPrimitiveTypes & (aiPrimitiveType_POINT | aiPrimitiveType_LINE)) != 0) {
            note("points and lines are not shown");
        }
    }
    if (skinned > 0) {
        note("skinning is not supported: " + std::to_string(skinned) +
             " skinned mesh(es) are shown in their bind pose");
    }
    if (morphed > 0) {
        note("morph targets are not supported: " + std::to_string(morphed) +
             " mesh(es) are shown in their base shape");
    }
    if (file->mNumAnimations > 0) {
        note(std::to_string(file->mNumAnimations) + " animation(s) are not played");
    }
    if (coloured > 0) {
        note("vertex colours are not shown");
    }
    if (file->mNumLights > 0 || file->mNumCameras > 0) {
        note("the file's lights and cameras are replaced by the viewer's own");
    }
}

void Compilation::scanNodes(aiNode const& node, aiMatrix4x4 const& parent, int depth) {
    if (depth > MaxNodeDepth) {
        throw CompileError("the node tree of '" + model.string() + "' is deeper than " +
                           std::to_string(MaxNodeDepth) + " levels");
    }
    aiMatrix4x4 const matrix = parent * node.mTransformation;
    for (unsigned i = 0; i < node.mNumMeshes; ++i) {
        aiMesh const& mesh = *file->mMeshes[node.mMeshes[i]];
        if ((mesh.mPrimitiveTypes & aiPrimitiveType_TRIANGLE) == 0) {
            continue;
        }
        for (unsigned v = 0; v < mesh.mNumVertices; ++v) {
            box.add(matrix * mesh.mVertices[v]);
        }
    }
    for (unsigned c = 0; c < node.mNumChildren; ++c) {
        scanNodes(*node.mChildren[c], matrix, depth + 1);
    }
}

// The file's material as one of the library's: base colour (factor and
// texture), a normal map, emission as the library's emit factor, specular
// colour and shininess from the file's Phong values or, for PBR materials,
// from metallic and roughness.
json Compilation::material(unsigned index, aiMaterial const& source) {
    aiColor4D base(1, 1, 1, 1);
    if (source.Get(AI_MATKEY_BASE_COLOR, base) != AI_SUCCESS) {
        source.Get(AI_MATKEY_COLOR_DIFFUSE, base);
    }
    float r = clamp01(base.r);
    float g = clamp01(base.g);
    float b = clamp01(base.b);

    std::array<float, 3> specular{0.0f, 0.0f, 0.0f};
    float shininess = 1.0f;
    ai_real metallic = 0.0f;
    if (source.Get(AI_MATKEY_METALLIC_FACTOR, metallic) == AI_SUCCESS) {
        ai_real roughness = 1.0f;
        source.Get(AI_MATKEY_ROUGHNESS_FACTOR, roughness);
        float const m = clamp01(metallic);
        float const rough = std::max(0.05f, clamp01(roughness));
        // Dielectrics reflect about 4 %, metals their base colour; rough
        // surfaces spread the highlight (the Blinn-Phong exponent of a
        // Beckmann lobe of that roughness) and show it dimmer.
        float const strength = 1.0f - 0.7f * rough;
        specular = {(0.04f + (r - 0.04f) * m) * strength, (0.04f + (g - 0.04f) * m) * strength,
                    (0.04f + (b - 0.04f) * m) * strength};
        shininess = 2.0f / (rough * rough * rough * rough) - 2.0f;
        // A metal's colour is all in its reflection; the diffuse part dims.
        r *= 1.0f - 0.8f * m;
        g *= 1.0f - 0.8f * m;
        b *= 1.0f - 0.8f * m;
        note("PBR metallic-roughness is approximated by Blinn-Phong from its factors; "
             "metallic-roughness and occlusion textures are not used");
    } else {
        aiColor3D ks(0, 0, 0);
        source.Get(AI_MATKEY_COLOR_SPECULAR, ks);
        specular = {clamp01(ks.r), clamp01(ks.g), clamp01(ks.b)};
        ai_real ns = 0.0f;
        source.Get(AI_MATKEY_SHININESS, ns);
        shininess = ns;
    }
    shininess = std::min(255.0f, std::max(1.0f, std::isfinite(shininess) ? shininess : 1.0f));

    aiColor3D emissive(0, 0, 0);
    source.Get(AI_MATKEY_COLOR_EMISSIVE, emissive);
    ai_real emissiveStrength = 1.0f;
    source.Get(AI_MATKEY_EMISSIVE_INTENSITY, emissiveStrength);
    emissive = emissive * emissiveStrength;

    aiString alphaMode;
    ai_real opacity = 1.0f;
    if ((source.Get(AI_MATKEY_GLTF_ALPHAMODE, alphaMode) == AI_SUCCESS &&
         std::string(alphaMode.C_Str()) != "OPAQUE") ||
        (source.Get(AI_MATKEY_OPACITY, opacity) == AI_SUCCESS && opacity < 1.0f)) {
        note("transparency is not supported: surfaces are drawn opaque");
    }
    if (source.GetTextureCount(aiTextureType_HEIGHT) > 0) {
        note("bump (height) maps are not used; normal maps are");
    }

    std::string colorTexture;
    std::string normalTexture;
    bool const hasTextures = source.GetTextureCount(aiTextureType_BASE_COLOR) +
                                 source.GetTextureCount(aiTextureType_DIFFUSE) +
                                 source.GetTextureCount(aiTextureType_NORMALS) +
                                 source.GetTextureCount(aiTextureType_EMISSIVE) >
                             0;
    if (hasTextures && !materialHasUVs[index]) {
        note("meshes without texture coordinates are drawn without their textures");
    } else if (hasTextures) {
        colorTexture = texture(source, aiTextureType_BASE_COLOR);
        if (colorTexture.empty()) {
            colorTexture = texture(source, aiTextureType_DIFFUSE);
        }
        normalTexture = texture(source, aiTextureType_NORMALS);
        if (source.GetTextureCount(aiTextureType_EMISSIVE) > 0) {
            if (colorTexture.empty()) {
                // The emissive texture is the best picture of the surface there is.
                colorTexture = texture(source, aiTextureType_EMISSIVE);
                note("an emissive texture stands in for a missing base colour texture");
            } else {
                note("emissive textures are shown as a uniform emission of their material");
            }
        }
    }
    // The library emits the diffuse colour times `emit`: a dark surface that
    // glows takes the emissive colour as its own.
    float emit = 0.0f;
    float const glow = luminance(emissive.r, emissive.g, emissive.b);
    if (glow > 0.0f) {
        if (luminance(r, g, b) < 0.02f) {
            r = clamp01(emissive.r);
            g = clamp01(emissive.g);
            b = clamp01(emissive.b);
        }
        emit = std::min(16.0f, glow / std::max(luminance(r, g, b), 0.02f));
    }

    json parts = {{{"type", "diffuseColor"}, {"color", {r, g, b}}, {"emit", emit}},
                  {{"type", "specularColor"},
                   {"color", {specular[0], specular[1], specular[2]}},
                   {"shininess", static_cast<unsigned>(std::lround(shininess))}}};
    std::string shader = "color";
    if (!normalTexture.empty()) {
        shader = "normalMap";
        if (colorTexture.empty()) {
            colorTexture = whiteTexture();
        }
    } else if (!colorTexture.empty()) {
        shader = "texture";
    }
    if (!colorTexture.empty()) {
        parts.push_back({{"type", "diffuseTexture"}, {"texture", colorTexture}});
    }
    if (!normalTexture.empty()) {
        parts.push_back({{"type", "normalTexture"}, {"texture", normalTexture}});
    }
    return {{"name", "m" + std::to_string(index)}, {"shader", shader}, {"parts", parts}};
}

// The manifest name of the file's first texture of a type, converted to PNG
// in the cache folder; empty when there is none or it cannot be used.
std::string Compilation::texture(aiMaterial const& source, aiTextureType type) {
    aiString path;
    if (source.GetTexture(type, 0, &path) != AI_SUCCESS || path.length == 0) {
        return {};
    }
    std::string const key = path.C_Str();
    auto const known = textureNames.find(key);
    if (known != textureNames.end()) {
        return known->second;
    }
    TextureImage image;
    std::string error;
    bool loaded = false;
    if (aiTexture const* embedded = file->GetEmbeddedTexture(path.C_Str())) {
        if (embedded->mHeight == 0) {
            loaded = image.Decode(reinterpret_cast<unsigned char const*>(embedded->pcData),
                                  embedded->mWidth, error);
        } else {
            image.FromBgra(reinterpret_cast<unsigned char const*>(embedded->pcData),
                           embedded->mWidth, embedded->mHeight);
            loaded = true;
        }
    } else {
        loaded = loadTexture(key, image, error);
    }
    std::string name;
    if (!loaded) {
        note("texture '" + key + "' cannot be used (" + error + "); its material goes without it");
    } else {
        name = "t" + std::to_string(textureCount++);
        std::string const relative = "textures/" + name + ".png";
        if (!image.WritePng((folder / relative).string(), error)) {
            throw CompileError(error);
        }
        textures.push_back({{"name", name}, {"file", relative}});
        progress << "viewer: texture " << textureCount << ": " << key << " (" << image.Width()
                 << " x " << image.Height() << ")\n"
                 << std::flush;
    }
    textureNames[key] = name;
    return name;
}

bool Compilation::loadTexture(std::string const& path, TextureImage& image, std::string& error) {
    std::string slashed = path;
    std::replace(slashed.begin(), slashed.end(), '\\', '/');
    fs::path const base = model.parent_path();
    std::vector<fs::path> candidates;
    for (std::string const& text : {path, slashed, percentDecoded(slashed)}) {
        fs::path const p(text);
        candidates.push_back(p.is_absolute() ? p : base / p);
    }
    // Exporters often write the path of the artist's machine: the file name
    // beside the model is the last resort.
    candidates.push_back(base / fs::path(slashed).filename());
    for (fs::path const& candidate : candidates) {
        std::error_code code;
        if (!fs::is_regular_file(candidate, code)) {
            continue;
        }
        std::ifstream in(candidate, std::ios::binary);
        std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
        inputs.push_back(fs::absolute(candidate).lexically_normal().string());
        return image.Decode(bytes.data(), bytes.size(), error);
    }
    error = "no such file";
    return false;
}

std::string Compilation::whiteTexture() {
    std::string const key = "*white";
    auto const known = textureNames.find(key);
    if (known != textureNames.end()) {
        return known->second;
    }
    TextureImage white;
    white.Fill(1, 1, 255, 255, 255);
    std::string const name = "white";
    std::string error;
    if (!white.WritePng((folder / "textures/white.png").string(), error)) {
        throw CompileError(error);
    }
    textures.push_back({{"name", name}, {"file", "textures/white.png"}});
    textureNames[key] = name;
    return name;
}

void Compilation::compileManifest(json const& manifest) {
    std::string const path = (folder / "scene.json").string();
    {
        std::ofstream out(path);
        out << manifest.dump(2) << "\n";
        if (!out) {
            throw CompileError("cannot write " + path);
        }
    }
    std::ostringstream errors;
    int const code = vlpc::runCommandLine({path, "-o", folder.string()}, progress, errors);
    std::istringstream lines(errors.str());
    std::set<std::string> shown;
    std::string message;
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && shown.insert(line).second) {
            message += (message.empty() ? "" : "\n") + line;
        }
    }
    if (code != 0) {
        throw CompileError("cannot compile '" + model.string() + "':\n" + message);
    }
    if (!message.empty()) {
        progress << message << "\n";
    }
}

void Compilation::writeStamp() const {
    std::ofstream out(folder / StampFile);
    out << CacheFormat << "\n";
    out << "bounds";
    for (float v : box.min) {
        out << " " << v;
    }
    for (float v : box.max) {
        out << " " << v;
    }
    out << "\n";
    for (std::string const& text : scene.notes) {
        out << "note " << text << "\n";
    }
    std::set<std::string> const unique(inputs.begin(), inputs.end());
    for (std::string const& input : unique) {
        out << "input " << ContentHash::OfFile(input) << " " << input << "\n";
    }
}

// The cached compile in `folder`, when its stamp is of this format and every
// input still has the hash it had.
bool readCache(fs::path const& folder, CompiledScene& scene) {
    std::ifstream in(folder / StampFile);
    std::string line;
    if (!std::getline(in, line) || line != CacheFormat) {
        return false;
    }
    bool hasBounds = false;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string kind;
        fields >> kind;
        if (kind == "bounds") {
            for (float& v : scene.boundsMin) {
                fields >> v;
            }
            for (float& v : scene.boundsMax) {
                fields >> v;
            }
            hasBounds = !fields.fail();
        } else if (kind == "note") {
            scene.notes.push_back(line.substr(5));
        } else if (kind == "input") {
            std::string hash;
            fields >> hash;
            std::string path;
            std::getline(fields, path);
            if (path.empty() || ContentHash::OfFile(path.substr(1)) != hash) {
                return false;
            }
        }
    }
    for (char const* name : CompiledFiles) {
        std::error_code code;
        if (!fs::is_regular_file(folder / name, code)) {
            return false;
        }
    }
    return hasBounds;
}

} // namespace

SceneCompiler::SceneCompiler(std::string cacheRoot, std::string shaderFolder,
                             std::ostream& progress)
    : cacheRoot(std::move(cacheRoot)), shaderFolder(std::move(shaderFolder)), progress(progress) {
    if (!this->shaderFolder.empty() && this->shaderFolder.back() != '/') {
        this->shaderFolder += '/';
    }
}

CompiledScene SceneCompiler::Compile(std::string const& modelPath) const {
    std::error_code code;
    fs::path const model = fs::absolute(modelPath, code).lexically_normal();
    if (code || !fs::is_regular_file(model, code)) {
        throw CompileError("cannot open '" + modelPath + "': no such file");
    }
    ContentHash key;
    key.Add(CacheFormat);
    if (!key.AddFile(model.string())) {
        throw CompileError("cannot read '" + modelPath + "'");
    }
    fs::path const folder = fs::path(cacheRoot) / folderName(model, key.Hex());
    CompiledScene scene;
    if (readCache(folder, scene)) {
        scene.directory = folder.string() + "/";
        scene.fromCache = true;
        progress << "viewer: using the cached compile in " << folder.string() << "\n" << std::flush;
        return scene;
    }
    fs::path const partial = fs::path(cacheRoot) / (folderName(model, key.Hex()) + ".partial-" +
                                                    std::to_string(static_cast<long>(getpid())));
    fs::remove_all(partial, code);
    fs::create_directories(partial / "textures", code);
    if (code) {
        throw CompileError("cannot create the cache folder " + partial.string() + ": " +
                           code.message());
    }
    try {
        scene = Compilation(model, partial, shaderFolder, progress).run();
    } catch (...) {
        fs::remove_all(partial, code);
        throw;
    }
    fs::remove_all(folder, code);
    fs::rename(partial, folder, code);
    if (code) {
        fs::remove_all(partial, code);
        throw CompileError("cannot move the compile into " + folder.string());
    }
    // The manifest names the textures relative to itself, so the moved folder
    // stays usable for a look with vlpc; the compiled files are what counts.
    scene.directory = folder.string() + "/";
    progress << "viewer: compiled into " << folder.string() << "\n" << std::flush;
    return scene;
}

std::string SceneCompiler::DefaultCacheRoot() {
    char const* xdg = std::getenv("XDG_CACHE_HOME");
    if (xdg != nullptr && *xdg != '\0') {
        return std::string(xdg) + "/engine-viewer";
    }
    char const* home = std::getenv("HOME");
    return std::string(home != nullptr && *home != '\0' ? home : ".") + "/.cache/engine-viewer";
}

} // namespace Viewer
