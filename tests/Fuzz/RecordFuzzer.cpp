// Fuzz target over the parsers of the compiled asset files: whole file images
// are read the way the factory reads them (version, dictionaries, every record
// checked against the file and parsed), bare records are parsed directly, and
// every model of a model file is walked the way the factory assembles a scene
// object: each material, geometry and path record it names is parsed in turn.

#include "FuzzInput.h"

#include <Engine/Data/Format/ByteReader.h>
#include <Engine/Data/LightLookupFile.h>
#include <Engine/Data/RecordParser.h>
#include <Engine/Scene/ComponentID.h>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

using Engine::Data::RecordParser;
using Engine::Data::Format::ByteReader;
using Engine::Data::Format::DictionaryEntry;
namespace Format = Engine::Data::Format;

namespace {

// Ids of files that are not part of the input are checked against this count.
constexpr unsigned short OTHER_FILE_COUNT = 8;

char const* const FILE_NAME = "fuzz.vlp";

// Reads a dictionary at the reader's position as the factory does; an empty
// dictionary when it is damaged.
std::vector<DictionaryEntry> readDictionary(ByteReader& reader, char const* title) {
    unsigned short count = 0;
    if (!reader.ReadU16(count)) {
        return {};
    }
    std::vector<RecordParser::DictionaryRecord> records;
    if (!RecordParser::ParseDictionary(reader, count, records, FILE_NAME, title)) {
        return {};
    }
    std::vector<DictionaryEntry> entries(count);
    for (RecordParser::DictionaryRecord const& record : records) {
        entries[record.id] = record.entry;
    }
    return entries;
}

template <typename Parse>
void parseEach(std::uint8_t const* file, std::size_t size,
               std::vector<DictionaryEntry> const& dictionary, char const* record, Parse parse) {
    for (std::size_t id = 0; id < dictionary.size(); ++id) {
        RecordParser::Where const where{FILE_NAME, record, static_cast<unsigned short>(id)};
        if (RecordParser::CheckRecordBounds(dictionary[id], size, where)) {
            parse(file + dictionary[id].offset, dictionary[id].size, where);
        }
    }
}

void parseRecord(unsigned char kind, std::uint8_t const* data, std::size_t size,
                 RecordParser::Counts const& counts) {
    RecordParser::Where const where{FILE_NAME, "fuzzed", 0};
    switch (kind % FuzzInput::RECORD_KIND_COUNT) {
    case FuzzInput::SHADER_RECORD: {
        RecordParser::ShaderRecord record;
        RecordParser::ParseShaderRecord(data, size, record, where);
        break;
    }
    case FuzzInput::MATERIAL_RECORD: {
        RecordParser::MaterialRecord record;
        RecordParser::ParseMaterialRecord(data, size, counts, record, where);
        break;
    }
    case FuzzInput::GEOMETRY_RECORD: {
        RecordParser::GeometryRecord record;
        RecordParser::ParseGeometryRecord(data, size, record, where);
        break;
    }
    case FuzzInput::PATH_RECORD: {
        RecordParser::PathRecord record;
        RecordParser::ParsePathRecord(data, size, record, where);
        break;
    }
    default: {
        RecordParser::ModelRecord record;
        RecordParser::ParseModelRecord(data, size, counts, record, where);
        break;
    }
    }
}

RecordParser::Counts otherCounts() {
    RecordParser::Counts counts;
    counts.shaders = OTHER_FILE_COUNT;
    counts.textures = OTHER_FILE_COUNT;
    counts.materials = OTHER_FILE_COUNT;
    counts.geometries = OTHER_FILE_COUNT;
    counts.models = OTHER_FILE_COUNT;
    counts.paths = OTHER_FILE_COUNT;
    return counts;
}

// Stops the run when a parse that succeeded broke a promise the scene object
// assembly relies on.
void require(bool promise) {
    if (!promise) {
        std::abort();
    }
}

// A model file image and, when the input has one, a path file image, with
// their dictionaries.
struct ModelSet {
    std::uint8_t const* file = nullptr;
    std::size_t size = 0;
    std::vector<DictionaryEntry> materials;
    std::vector<DictionaryEntry> geometries;
    std::uint8_t const* pathFile = nullptr;
    std::size_t pathSize = 0;
    std::vector<DictionaryEntry> paths;
    RecordParser::Counts counts;
};

// Parses record id of a dictionary as a loader reads it by id: the id is
// checked, then the record's place in the file, then its bytes.
template <typename Parse>
bool parseById(std::uint8_t const* file, std::size_t size,
               std::vector<DictionaryEntry> const& dictionary, unsigned short id,
               char const* record, Parse parse) {
    if (id >= dictionary.size()) {
        return false;
    }
    RecordParser::Where const where{FILE_NAME, record, id};
    return RecordParser::CheckRecordBounds(dictionary[id], size, where) &&
           parse(file + dictionary[id].offset, dictionary[id].size, where);
}

void walkMaterial(ModelSet const& set, unsigned short id) {
    RecordParser::MaterialRecord record;
    if (parseById(set.file, set.size, set.materials, id, "material",
                  [&](std::uint8_t const* data, std::size_t length, RecordParser::Where where) {
                      return RecordParser::ParseMaterialRecord(data, length, set.counts, record,
                                                               where);
                  })) {
        require(record.shaderId < set.counts.shaders);
        for (RecordParser::MaterialPart const& part : record.parts) {
            require(part.type <= Format::PART_DISPLACEMENT_TEXTURE);
            require(part.type < Format::PART_DIFFUSE_TEXTURE ||
                    part.textureId < set.counts.textures);
        }
    }
}

void walkGeometry(ModelSet const& set, unsigned short id) {
    RecordParser::GeometryRecord record;
    if (parseById(set.file, set.size, set.geometries, id, "geometry",
                  [&](std::uint8_t const* data, std::size_t length, RecordParser::Where where) {
                      return RecordParser::ParseGeometryRecord(data, length, record, where);
                  })) {
        std::size_t const vertices = record.format == Format::FORMAT_BASE
                                         ? record.baseVertices.size()
                                         : record.uvVertices.size();
        for (unsigned int index : record.indices) {
            require(index < vertices);
        }
    }
}

void walkPath(ModelSet const& set, unsigned short id) {
    require(id < set.counts.paths);
    if (set.pathFile == nullptr) {
        return;
    }
    RecordParser::PathRecord record;
    if (parseById(set.pathFile, set.pathSize, set.paths, id, "path",
                  [&](std::uint8_t const* data, std::size_t length, RecordParser::Where where) {
                      return RecordParser::ParsePathRecord(data, length, record, where);
                  })) {
        require(record.points.size() <= Format::MAX_PATH_POINTS);
    }
}

void walkMesh(ModelSet const& set, RecordParser::MeshRecord const& mesh, unsigned int depth) {
    require(depth <= Format::MAX_MESH_DEPTH);
    if (!mesh.group) {
        require(mesh.geometryId < set.counts.geometries);
        require(mesh.materialId < set.counts.materials);
        walkGeometry(set, mesh.geometryId);
        walkMaterial(set, mesh.materialId);
    }
    for (RecordParser::MeshRecord const& child : mesh.children) {
        walkMesh(set, child, depth + 1);
    }
}

// What the factory reads for one model, in the order it reads it.
void walkModel(ModelSet const& set, RecordParser::ModelRecord const& model) {
    for (RecordParser::ComponentRecord const& component : model.components) {
        switch (component.type) {
        case COMPONENT_MESH_DRAW:
            walkMesh(set, component.mesh, 1);
            break;
        case COMPONENT_PATH_ANIMATION:
            walkPath(set, component.firstPathId);
            walkPath(set, component.secondPathId);
            break;
        case COMPONENT_BSP_DRAW:
            require(component.materialId < set.counts.materials);
            walkMaterial(set, component.materialId);
            walkGeometry(set, component.geometryId);
            break;
        default:
            break;
        }
    }
}

// A model file as the factory reads it: version, dictionaries and every
// record; then every model that parses is walked. Without a path file the
// path ids are only checked against a stand-in count.
void parseModelFile(std::uint8_t const* file, std::size_t size, std::uint8_t const* pathFile,
                    std::size_t pathSize) {
    ByteReader reader(file, size);
    unsigned short version = 0;
    if (!reader.ReadU16(version) || version != Format::MODEL_FILE_VERSION) {
        return;
    }
    ModelSet set;
    set.file = file;
    set.size = size;
    set.materials = readDictionary(reader, "MaterialDictionary");
    set.geometries = readDictionary(reader, "GeometryDictionary");
    auto const models = readDictionary(reader, "ModelDictionary");
    set.counts = otherCounts();
    set.counts.materials = static_cast<unsigned short>(set.materials.size());
    set.counts.geometries = static_cast<unsigned short>(set.geometries.size());
    set.counts.models = static_cast<unsigned short>(models.size());
    if (pathFile != nullptr) {
        ByteReader paths(pathFile, pathSize);
        set.pathFile = pathFile;
        set.pathSize = pathSize;
        set.paths = readDictionary(paths, "PathDictionary");
        set.counts.paths = static_cast<unsigned short>(set.paths.size());
    }
    parseEach(file, size, set.materials, "material",
              [&](std::uint8_t const* data, std::size_t length, RecordParser::Where where) {
                  RecordParser::MaterialRecord record;
                  RecordParser::ParseMaterialRecord(data, length, set.counts, record, where);
              });
    parseEach(file, size, set.geometries, "geometry",
              [](std::uint8_t const* data, std::size_t length, RecordParser::Where where) {
                  RecordParser::GeometryRecord record;
                  RecordParser::ParseGeometryRecord(data, length, record, where);
              });
    parseEach(file, size, models, "model",
              [&](std::uint8_t const* data, std::size_t length, RecordParser::Where where) {
                  RecordParser::ModelRecord record;
                  if (RecordParser::ParseModelRecord(data, length, set.counts, record, where)) {
                      walkModel(set, record);
                  }
              });
}

// A model file image followed by a path file image, split by the leading
// byte count.
void parseModelAndPathFiles(std::uint8_t const* data, std::size_t size) {
    ByteReader reader(data, size);
    unsigned int modelSize = 0;
    if (!reader.ReadU32(modelSize) || modelSize > reader.Remaining()) {
        return;
    }
    std::uint8_t const* models = reader.Current();
    reader.Skip(modelSize);
    parseModelFile(models, modelSize, reader.Current(), reader.Remaining());
}

void parseFile(unsigned char kind, std::uint8_t const* file, std::size_t size) {
    ByteReader reader(file, size);
    unsigned short version = 0;
    switch (kind) {
    case FuzzInput::SHADER_FILE: {
        if (!reader.ReadU16(version) || version != Format::SHADER_FILE_VERSION) {
            return;
        }
        auto const shaders = readDictionary(reader, "ShaderDictionary");
        parseEach(file, size, shaders, "shader",
                  [](std::uint8_t const* data, std::size_t length, RecordParser::Where where) {
                      RecordParser::ShaderRecord record;
                      RecordParser::ParseShaderRecord(data, length, record, where);
                  });
        break;
    }
    case FuzzInput::TEXTURE_FILE: {
        auto const textures = readDictionary(reader, "TextureDictionary");
        parseEach(file, size, textures, "texture",
                  [](std::uint8_t const*, std::size_t, RecordParser::Where) {});
        break;
    }
    case FuzzInput::MODEL_FILE:
        parseModelFile(file, size, nullptr, 0);
        break;
    default: {
        auto const paths = readDictionary(reader, "PathDictionary");
        parseEach(file, size, paths, "path",
                  [](std::uint8_t const* data, std::size_t length, RecordParser::Where where) {
                      RecordParser::PathRecord record;
                      RecordParser::ParsePathRecord(data, length, record, where);
                  });
        break;
    }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    unsigned char const kind = data[0] % FuzzInput::KIND_COUNT;
    if (kind == FuzzInput::RECORD) {
        if (size >= 2) {
            parseRecord(data[1], data + 2, size - 2, otherCounts());
        }
        return 0;
    }
    if (kind == FuzzInput::MODEL_AND_PATH_FILES) {
        parseModelAndPathFiles(data + 1, size - 1);
        return 0;
    }
    if (kind == FuzzInput::LIGHT_LOOKUP_FILE) {
        Engine::Data::LightLookupData table;
        Engine::Data::LightLookupFile::Parse(data + 1, size - 1, table, "lightlookup.vlp");
        return 0;
    }
    parseFile(kind, data + 1, size - 1);
    return 0;
}
