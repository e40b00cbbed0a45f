#include <Engine/Data/Factory.h>
#include <Engine/Data/LightLookupFile.h>
#include <Engine/Render/LightLookupTable.h>
#include <Engine/Scene/Materials/Material.h>
#include <Engine/Util/Logger.h>
#include <Engine/Util/UtilFunctions.h>
#include <string>

namespace Engine::Data {

using Render::Shader::DeferredShader;
using Scene::MeshData;
using Scene::TextureData;
using Util::Logger;
using Util::SharedPointer;
using Util::UtilFunctions;

namespace {

// How a dictionary's dump prints record sizes.
enum SizeStyle { SIZE_BYTES, SIZE_KILOBYTES, SIZE_FLOAT_BYTES };

std::string& directoryStorage() {
    static std::string directory = Factory::DEFAULT_DIRECTORY;
    return directory;
}

std::uint64_t fileSizeOf(std::FILE* file) {
    long const position = std::ftell(file);
    std::fseek(file, 0, SEEK_END);
    long const end = std::ftell(file);
    std::fseek(file, position, SEEK_SET);
    return end > 0 ? static_cast<std::uint64_t>(end) : 0;
}

bool readU16(std::FILE* file, unsigned short& value) {
    unsigned char bytes[2];
    if (std::fread(bytes, 1, 2, file) != 2) {
        return false;
    }
    value = static_cast<unsigned short>(bytes[0] | (bytes[1] << 8));
    return true;
}

// Opens one asset file for binary reading, or logs which one is missing.
std::FILE* openAssetFile(std::string const& path, char const* failure) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        Logger::Instance()->Fatal(failure);
        Logger::Instance()->Message("Path: ", path.c_str(), nullptr);
    }
    return file;
}

// Reads the version word of a versioned asset file and checks it.
bool checkVersion(std::FILE* file, std::string const& path, unsigned short expected,
                  char const* failure) {
    Logger* log = Logger::Instance();
    unsigned short version = 0;
    if (!readU16(file, version)) {
        std::string const line = "Cannot read the format version of " + path;
        log->Fatal(line.c_str());
        return false;
    }
    if (version != expected) {
        log->Fatal(failure);
        log->Message("Version is ", UtilFunctions::ToString(version).c_str(), ", but should be ",
                     UtilFunctions::ToString(expected).c_str(), nullptr);
        return false;
    }
    return true;
}

void closeFile(std::FILE*& file) {
    if (file != nullptr) {
        std::fclose(file);
        file = nullptr;
    }
}

// Any geometry or texture that cannot be loaded comes back as an empty one,
// held by the caller alone.
SharedPointer<MeshData> emptyMeshData() {
    return SharedPointer<MeshData>(
        new MeshData(static_cast<Util::BaseVertex*>(nullptr), 0, nullptr, 0));
}

// A store entry whose data is gone (only the store's reference is left).
template <typename T> bool isStale(SharedPointer<T> const& stored) {
    return stored.GetCounter()->Count() <= *stored.DataStoreLimit();
}

// The stored datum of id, or null when there is none; a stale entry is
// dropped so that the caller loads the datum afresh.
template <typename T>
SharedPointer<T>* findFresh(std::map<unsigned short, SharedPointer<T>*>& store, unsigned short id) {
    auto const found = store.find(id);
    if (found == store.end()) {
        return nullptr;
    }
    if (!isStale(*found->second)) {
        return found->second;
    }
    delete found->second;
    store.erase(found);
    return nullptr;
}

} // namespace

Factory* Factory::instance = nullptr;

Factory* Factory::Instance() {
    if (instance != nullptr) {
        return instance;
    }
    instance = new Factory();
    if (!instance->OpenFiles()) {
        delete instance;
        instance = nullptr;
        return nullptr;
    }
    instance->CacheDictionarys();
    return instance;
}

void Factory::DeleteInstance() {
    delete instance;
    instance = nullptr;
}

void Factory::SetDirectory(std::string const& directory) {
    std::string& stored = directoryStorage();
    stored = directory;
    if (!stored.empty() && stored.back() != '/') {
        stored += '/';
    }
}

std::string const& Factory::Directory() {
    return directoryStorage();
}

Factory::Factory() : directory(directoryStorage()) {}

Factory::~Factory() {
    closeFile(shaderFile);
    closeFile(textureFile);
    closeFile(modelFile);
    closeFile(pathFile);
    shaderDictionary.clear();
    textureDictionary.clear();
    modelDictionary.clear();
    materialDictionary.clear();
    geometryDictionary.clear();
    pathDictionary.clear();
    // The BSP materials hold texture references: released before the stores.
    for (auto& entry : bspMaterials) {
        delete entry.second;
    }
    bspMaterials.clear();
    for (auto& entry : shaders) {
        delete entry.second;
    }
    for (auto& entry : textureStore) {
        delete entry.second;
    }
    for (auto& entry : meshDataStore) {
        delete entry.second;
    }
    shaders.clear();
    textureStore.clear();
    meshDataStore.clear();
}

bool Factory::OpenFiles() {
    if (shaderFile != nullptr) {
        return true;
    }
    std::string const shaderPath = directory + SHADER_FILE;
    shaderFile = openAssetFile(shaderPath, "Cannot open binary shader file");
    if (shaderFile == nullptr ||
        !checkVersion(shaderFile, shaderPath, Format::SHADER_FILE_VERSION,
                      "Wrong Version of ShaderFormat. Please recompile your binary files!")) {
        return false;
    }
    textureFile = openAssetFile(directory + TEXTURE_FILE, "Cannot open binary texture file");
    if (textureFile == nullptr) {
        return false;
    }
    modelFile = openAssetFile(directory + MODEL_FILE, "Cannot open binary model file");
    if (modelFile == nullptr) {
        return false;
    }
    pathFile = openAssetFile(directory + PATH_FILE, "Cannot open binary path file");
    if (pathFile == nullptr) {
        return false;
    }
    if (!checkVersion(modelFile, directory + MODEL_FILE, Format::MODEL_FILE_VERSION,
                      "Wrong Version of Modelformat. Please recompile your binary files!")) {
        return false;
    }
    shaderFileSize = fileSizeOf(shaderFile);
    textureFileSize = fileSizeOf(textureFile);
    modelFileSize = fileSizeOf(modelFile);
    pathFileSize = fileSizeOf(pathFile);
    return true;
}

void Factory::CacheDictionarys() {
    CacheTextureDictionary();
    CacheShaderDictionary();
    CacheModelDictionary();
    CachePathDictionary();
}

void Factory::CacheTextureDictionary() {
    counts.textures = cacheDictionary(textureFile, directory + TEXTURE_FILE, textureDictionary,
                                      "TextureDictionary", "-----------------", SIZE_KILOBYTES);
}

void Factory::CacheShaderDictionary() {
    counts.shaders = cacheDictionary(shaderFile, directory + SHADER_FILE, shaderDictionary,
                                     "ShaderDictionary", "----------------", SIZE_BYTES);
}

void Factory::CacheModelDictionary() {
    std::string const path = directory + MODEL_FILE;
    std::fseek(modelFile, 2, SEEK_SET);
    counts.materials = cacheDictionary(modelFile, path, materialDictionary, "MaterialDictionary",
                                       "------------------", SIZE_BYTES);
    counts.geometries = cacheDictionary(modelFile, path, geometryDictionary, "GeometryDictionary",
                                        "------------------", SIZE_BYTES);
    counts.models = cacheDictionary(modelFile, path, modelDictionary, "ModelDictionary",
                                    "---------------", SIZE_BYTES);
    modelCount = counts.models;
}

void Factory::CachePathDictionary() {
    counts.paths = cacheDictionary(pathFile, directory + PATH_FILE, pathDictionary,
                                   "PathDictionary", "-----------------", SIZE_FLOAT_BYTES);
}

unsigned short Factory::cacheDictionary(std::FILE* file, std::string const& path,
                                        std::vector<Format::DictionaryEntry>& entries,
                                        char const* title, char const* closing, int sizeStyle) {
    Logger* log = Logger::Instance();
    log->Message(title, nullptr);
    entries.clear();
    unsigned short count = 0;
    if (!readU16(file, count)) {
        std::string const line =
            std::string("Corrupt ") + title + " in " + path + ": the file ends before its count";
        log->Fatal(line.c_str());
        log->Message(closing, nullptr);
        return 0;
    }
    std::vector<unsigned char> block(count * Format::DICTIONARY_RECORD_SIZE);
    std::size_t const read = std::fread(block.data(), 1, block.size(), file);
    Format::ByteReader reader(block.data(), read);
    std::vector<RecordParser::DictionaryRecord> records;
    if (!RecordParser::ParseDictionary(reader, count, records, path.c_str(), title)) {
        log->Message(closing, nullptr);
        return 0;
    }
    entries.assign(count, Format::DictionaryEntry());
    for (RecordParser::DictionaryRecord const& record : records) {
        entries[record.id] = record.entry;
        std::string size;
        switch (sizeStyle) {
        case SIZE_KILOBYTES:
            size = UtilFunctions::ToString(static_cast<float>(record.entry.size) / 1024.0f) + "kb";
            break;
        case SIZE_FLOAT_BYTES:
            size = UtilFunctions::ToString(static_cast<float>(record.entry.size)) + "byte";
            break;
        default:
            size = UtilFunctions::ToString(record.entry.size);
            break;
        }
        log->Message("Id: ", UtilFunctions::ToString(record.id).c_str(),
                     "  Offset: ", UtilFunctions::ToString(record.entry.offset).c_str(),
                     "  Size: ", size.c_str(), nullptr);
    }
    log->Message(closing, nullptr);
    return count;
}

bool Factory::readRecord(std::FILE* file, std::string const& path, std::uint64_t fileSize,
                         std::vector<Format::DictionaryEntry> const& dictionary, unsigned short id,
                         char const* record, std::vector<unsigned char>& buffer) {
    if (id >= dictionary.size()) {
        std::string const line = std::string("Cannot load ") + record + " " +
                                 UtilFunctions::ToString(id) + ": no such id in " + path + " (" +
                                 std::to_string(dictionary.size()) + " records)";
        Logger::Instance()->Fatal(line.c_str());
        return false;
    }
    Format::DictionaryEntry const& entry = dictionary[id];
    RecordParser::Where const where{path.c_str(), record, id};
    if (!RecordParser::CheckRecordBounds(entry, fileSize, where)) {
        return false;
    }
    buffer.resize(entry.size);
    if (std::fseek(file, static_cast<long>(entry.offset), SEEK_SET) != 0 ||
        std::fread(buffer.data(), 1, buffer.size(), file) != buffer.size()) {
        RecordParser::Reject(where, "the record could not be read");
        return false;
    }
    return true;
}

DeferredShader* Factory::LoadShader(unsigned short id) {
    auto const found = shaders.find(id);
    if (found != shaders.end()) {
        return found->second;
    }
    std::string const path = directory + SHADER_FILE;
    std::vector<unsigned char> buffer;
    RecordParser::ShaderRecord record;
    if (!readRecord(shaderFile, path, shaderFileSize, shaderDictionary, id, "shader", buffer) ||
        !RecordParser::ParseShaderRecord(buffer.data(), buffer.size(), record,
                                         {path.c_str(), "shader", id})) {
        return nullptr;
    }
    buffer.clear();

    char const* const v = record.texts[Format::STAGE_VERTEX].c_str();
    char const* const tc = record.texts[Format::STAGE_TESS_CONTROL].c_str();
    char const* const te = record.texts[Format::STAGE_TESS_EVALUATION].c_str();
    char const* const g = record.texts[Format::STAGE_GEOMETRY].c_str();
    char const* const f = record.texts[Format::STAGE_FRAGMENT].c_str();
    bool const tessellation =
        record.Has(Format::STAGE_TESS_CONTROL) && record.Has(Format::STAGE_TESS_EVALUATION);
    bool const geometry = record.Has(Format::STAGE_GEOMETRY);
    DeferredShader* shader = nullptr;
    if (geometry && tessellation) {
        shader = new DeferredShader(v, tc, te, g, f, true);
    } else if (tessellation) {
        shader = new DeferredShader(v, tc, te, f, true);
    } else if (geometry) {
        shader = new DeferredShader(v, g, f, true);
    } else {
        shader = new DeferredShader(v, f, true);
    }
    shader->Id(id);
    shaders[id] = shader;
    return shader;
}

bool Factory::readGeometryRecord(unsigned short id, RecordParser::GeometryRecord& record) {
    std::string const path = directory + MODEL_FILE;
    std::vector<unsigned char> buffer;
    return readRecord(modelFile, path, modelFileSize, geometryDictionary, id, "geometry", buffer) &&
           RecordParser::ParseGeometryRecord(buffer.data(), buffer.size(), record,
                                             {path.c_str(), "geometry", id});
}

SharedPointer<MeshData> Factory::LoadMeshData(unsigned short id) {
    if (SharedPointer<MeshData>* stored = findFresh(meshDataStore, id)) {
        return *stored;
    }
    RecordParser::GeometryRecord record;
    if (!readGeometryRecord(id, record)) {
        return emptyMeshData();
    }

    unsigned int const indexCount = static_cast<unsigned int>(record.indices.size());
    MeshData* data = nullptr;
    if (record.format == Format::FORMAT_BASE) {
        data = new MeshData(record.baseVertices.data(),
                            static_cast<unsigned int>(record.baseVertices.size()),
                            record.indices.data(), indexCount);
    } else {
        data = new MeshData(record.uvVertices.data(),
                            static_cast<unsigned int>(record.uvVertices.size()),
                            record.indices.data(), indexCount);
    }
    auto* stored = new SharedPointer<MeshData>(data);
    stored->DataStoreLimit(STORE_LIMIT);
    meshDataStore[id] = stored;
    return *stored;
}

void Factory::LoadMeshData(unsigned short id, std::vector<Util::BaseVertex>& vertices,
                           std::vector<unsigned int>& indices) {
    RecordParser::GeometryRecord record;
    if (!readGeometryRecord(id, record)) {
        return;
    }
    if (record.format != Format::FORMAT_BASE) {
        Logger::Instance()->Fatal("Cannot use textures with BSP-Trees");
        return;
    }
    vertices.insert(vertices.end(), record.baseVertices.begin(), record.baseVertices.end());
    indices.insert(indices.end(), record.indices.begin(), record.indices.end());
}

SharedPointer<TextureData> Factory::LoadTextureData(unsigned short id, bool gammaCorrect) {
    if (SharedPointer<TextureData>* stored = findFresh(textureStore, id)) {
        return *stored;
    }
    std::string const path = directory + TEXTURE_FILE;
    if (id >= textureDictionary.size()) {
        std::string const line = "Cannot load texture " + UtilFunctions::ToString(id) +
                                 ": no such id in " + path + " (" +
                                 std::to_string(textureDictionary.size()) + " records)";
        Logger::Instance()->Fatal(line.c_str());
        return SharedPointer<TextureData>(new TextureData());
    }
    Format::DictionaryEntry const& entry = textureDictionary[id];
    if (!RecordParser::CheckRecordBounds(entry, textureFileSize, {path.c_str(), "texture", id}) ||
        std::fseek(textureFile, static_cast<long>(entry.offset), SEEK_SET) != 0) {
        return SharedPointer<TextureData>(new TextureData());
    }
    // A texture that fails to decode is kept without an image, like any other.
    auto* texture = new TextureData();
    std::string const source = "texture " + UtilFunctions::ToString(id);
    texture->Load(textureFile, gammaCorrect, source.c_str());
    auto* stored = new SharedPointer<TextureData>(texture);
    stored->DataStoreLimit(STORE_LIMIT);
    textureStore[id] = stored;
    return *stored;
}

Util::CurvePoint** Factory::LoadPath(unsigned short id, unsigned short* count) {
    if (count != nullptr) {
        *count = 0;
    }
    std::string const path = directory + PATH_FILE;
    std::vector<unsigned char> buffer;
    RecordParser::PathRecord record;
    if (!readRecord(pathFile, path, pathFileSize, pathDictionary, id, "path", buffer) ||
        !RecordParser::ParsePathRecord(buffer.data(), buffer.size(), record,
                                       {path.c_str(), "path", id})) {
        return nullptr;
    }
    auto** points = new Util::CurvePoint*[record.points.size()];
    for (std::size_t i = 0; i < record.points.size(); ++i) {
        points[i] = new Util::CurvePoint(record.points[i].point, record.points[i].time);
    }
    if (count != nullptr) {
        *count = static_cast<unsigned short>(record.points.size());
    }
    return points;
}

Render::LightLookupTable* Factory::LoadLightLookupTable() {
    std::string const path = Directory() + LIGHT_LOOKUP_FILE;
    Logger* log = Logger::Instance();
    std::vector<unsigned char> bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file != nullptr) {
        unsigned char chunk[65536];
        std::size_t read = 0;
        while ((read = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
            bytes.insert(bytes.end(), chunk, chunk + read);
        }
        std::fclose(file);
    } else {
        log->Fatal("Cannot open the light lookup table file");
        log->Message("Path: ", path.c_str(), nullptr);
        return nullptr;
    }
    LightLookupData data;
    if (!LightLookupFile::Parse(bytes.data(), bytes.size(), data, path.c_str())) {
        log->Message("Path: ", path.c_str(), nullptr);
        return nullptr;
    }
    return new Render::LightLookupTable(data.a.data(), data.b.data(), data.maxA, data.maxB,
                                        data.minAB, data.maxAB, data.minC, data.maxC, data.beta,
                                        data.width, data.height);
}

} // namespace Engine::Data
