#pragma once

#include <Engine/Data/Format/DictionaryEntry.h>
#include <Engine/Data/MeshData.h>
#include <Engine/Data/RecordParser.h>
#include <Engine/Data/TextureData.h>
#include <Engine/Export.h>
#include <Engine/Render/Shader/DeferredShader.h>
#include <Engine/Util/BaseVertex.h>
#include <Engine/Util/CurvePoint.h>
#include <Engine/Util/SharedPointer.h>
#include <cstdint>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace Engine::Scene {
class IComponent;
class LightComponent;
class Mesh;
class SceneObject;
class World;
namespace Materials {
class Material;
}
} // namespace Engine::Scene

namespace Engine::Render {
class LightLookupTable;
}

namespace Engine::Data {

// The asset factory: a singleton that keeps the compiled asset files open,
// holds their dictionaries and serves shaders, geometries, textures and paths
// by 16-bit id, reading each record on demand, and assembles whole scene
// objects from model records. Shaders are built once and owned here; geometries and textures are
// shared through stores that keep one reference each, so their data lives exactly as long as some
// user holds it.
class ENGINE_API Factory {
public:
    // Folder of the compiled asset files, relative to the working directory.
    static constexpr char const* DEFAULT_DIRECTORY = "../../TestData/Compile/";
    static constexpr char const* SHADER_FILE = "shaders.vlp";
    static constexpr char const* TEXTURE_FILE = "textures.vlp";
    static constexpr char const* MODEL_FILE = "models.vlp";
    static constexpr char const* PATH_FILE = "path.vlp";
    static constexpr char const* LIGHT_LOOKUP_FILE = "lightlookup.vlp";
    // Data-store limit of the geometry and texture stores.
    static constexpr unsigned int STORE_LIMIT = 1;

    // The instance, created on first use; null when the asset files cannot be
    // opened or have the wrong version (a later call tries again).
    static Factory* Instance();
    static void DeleteInstance();

    // Folder the next created instance opens its files in (ends with '/').
    static void SetDirectory(std::string const& directory);
    static std::string const& Directory();

    // The program of shader record id, built once and owned by the factory.
    // Null for an id that is not in the dictionary or a corrupt record.
    Render::Shader::DeferredShader* LoadShader(unsigned short id);
    // GPU geometry of geometry record id, shared while in use. An invalid id
    // or record gives an empty geometry that is not stored.
    Util::SharedPointer<Scene::MeshData> LoadMeshData(unsigned short id);
    // Appends the vertices and indices of a format-0 geometry record to the
    // vectors (for BSP trees); other formats and bad records change nothing.
    void LoadMeshData(unsigned short id, std::vector<Util::BaseVertex>& vertices,
                      std::vector<unsigned int>& indices);
    // Texture of texture record id, decoded once (as sRGB when gammaCorrect is
    // set on the first request) and shared while in use. An invalid id gives
    // a texture without an image that is not stored.
    Util::SharedPointer<Scene::TextureData> LoadTextureData(unsigned short id, bool gammaCorrect);
    // A new array of new points of path id, owned by the caller; the count is
    // written to *count. Null (count 0) for an invalid id or record.
    Util::CurvePoint** LoadPath(unsigned short id, unsigned short* count);
    // A new light-scattering lookup table from LIGHT_LOOKUP_FILE in the asset
    // folder, owned by the caller (a screen camera takes it); null, with a
    // fatal line and the path, when the file is missing, short or corrupt.
    // Needs no factory instance.
    static Render::LightLookupTable* LoadLightLookupTable();

    // A new scene object built from model record id, owned by the caller and
    // not added to the world (shadow-casting lights set up their shadow
    // cameras with it). Null for an id that is not in the dictionary or a
    // model record that does not parse.
    Scene::SceneObject* LoadSceneObject(unsigned short id, Scene::World* world);

    // Dictionary sizes.
    RecordParser::Counts const& Counts() const { return counts; }

private:
    Factory();
    ~Factory();
    Factory(Factory const&) = delete;
    Factory& operator=(Factory const&) = delete;

    bool OpenFiles();
    void CacheDictionarys();
    void CacheTextureDictionary();
    void CacheShaderDictionary();
    void CacheModelDictionary();
    void CachePathDictionary();

    // Scene object assembly from parsed model records, in this order of use.
    Scene::IComponent* LoadComponent(RecordParser::ComponentRecord const& record,
                                     Scene::SceneObject* owner, Scene::World* world);
    void LoadLights(Scene::LightComponent* component,
                    std::vector<RecordParser::LightRecord> const& lights, Scene::World* world);
    Scene::Mesh* LoadMesh(RecordParser::MeshRecord const& record);
    // A new material of material record id; null when the record is bad.
    Scene::Materials::Material* LoadMaterial(unsigned short id);
    // The material of BSP components, one per material id, owned here.
    Scene::Materials::Material* LoadBSPMaterial(unsigned short id);

    // Reads one dictionary from the file's current position into entries and
    // logs its dump; returns the count (0 for a damaged dictionary).
    unsigned short cacheDictionary(std::FILE* file, std::string const& path,
                                   std::vector<Format::DictionaryEntry>& entries, char const* title,
                                   char const* closing, int sizeStyle);
    // Reads record id of a dictionary into buffer after checking the id and
    // the record's place in the file.
    bool readRecord(std::FILE* file, std::string const& path, std::uint64_t fileSize,
                    std::vector<Format::DictionaryEntry> const& dictionary, unsigned short id,
                    char const* record, std::vector<unsigned char>& buffer);
    // Reads and parses geometry record id; false (logged) when it is bad.
    bool readGeometryRecord(unsigned short id, RecordParser::GeometryRecord& record);

    std::FILE* shaderFile = nullptr;
    std::FILE* textureFile = nullptr;
    std::FILE* modelFile = nullptr;
    std::FILE* pathFile = nullptr;
    unsigned short modelCount = 0;
    std::vector<Format::DictionaryEntry> shaderDictionary;
    std::vector<Format::DictionaryEntry> textureDictionary;
    std::vector<Format::DictionaryEntry> modelDictionary;
    std::vector<Format::DictionaryEntry> materialDictionary;
    std::vector<Format::DictionaryEntry> geometryDictionary;
    std::vector<Format::DictionaryEntry> pathDictionary;
    std::map<unsigned short, Render::Shader::DeferredShader*> shaders;
    std::map<unsigned short, Util::SharedPointer<Scene::MeshData>*> meshDataStore;
    std::map<unsigned short, Util::SharedPointer<Scene::TextureData>*> textureStore;
    // BSP components do not own their material, so the factory keeps it.
    std::map<unsigned short, Scene::Materials::Material*> bspMaterials;

    RecordParser::Counts counts;
    std::string directory;
    std::uint64_t shaderFileSize = 0;
    std::uint64_t textureFileSize = 0;
    std::uint64_t modelFileSize = 0;
    std::uint64_t pathFileSize = 0;

    static Factory* instance;
};

} // namespace Engine::Data
