// Fuzz target over the engine's loaders. The parsers of the compiled asset
// files: whole file images are read the way the factory reads them (version,
// dictionaries, every record checked against the file and parsed), bare
// records are parsed directly, and every model of a model file is walked the
// way the factory assembles a scene object: each material, geometry and path
// record it names is parsed in turn. Beside them the texture loader's PNG
// decoder and the track loader's WAV decoder.
//
// FUZZ_LOADER (records, models, paths, lightlookup, png or wav) keeps a run
// on one loader: inputs whose kind byte names another are refused, which
// also keeps them out of the corpus.

#include "FuzzInput.h"

#include <AL/al.h>
#include <Engine/Data/Format/ByteReader.h>
#include <Engine/Data/Internal/PngImage.h>
#include <Engine/Data/LightLookupFile.h>
#include <Engine/Data/RecordParser.h>
#include <Engine/Scene/ComponentID.h>
#include <Engine/Sound/Internal/TrackData.h>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// Largest image side the PNG decoder is given; the texture loader passes
// GL_MAX_TEXTURE_SIZE. Kept small so that a damaged header cannot make one
// run allocate gigabytes.
constexpr unsigned int MAX_IMAGE_SIZE = 2048;

// Sums bytes so that every byte a consumer of the decoded data reads is read.
unsigned int touch(void const* data, std::size_t size) {
    auto const* bytes = static_cast<unsigned char const*>(data);
    unsigned int sum = 0;
    for (std::size_t i = 0; i < size; ++i) {
        sum += bytes[i];
    }
    return sum;
}

volatile unsigned int sink = 0;

void decodePng(std::uint8_t const* data, std::size_t size) {
    if (size < 2) {
        return;
    }
    // The decoder reads from a FILE, as the factory hands it textures.vlp.
    std::FILE* file = fmemopen(const_cast<std::uint8_t*>(data + 1), size - 1, "rb");
    if (file == nullptr) {
        return;
    }
    Engine::Data::PngImage image;
    if (image.Decode(file, (data[0] & 1) != 0, MAX_IMAGE_SIZE, "texture 0")) {
        // What the upload promises glTexImage2D.
        require(image.Width() > 0 && image.Width() <= MAX_IMAGE_SIZE);
        require(image.Height() > 0 && image.Height() <= MAX_IMAGE_SIZE);
        require(image.Channels() == 3 || image.Channels() == 4);
        require(image.Pixels() != nullptr);
        sink = sink + touch(image.Pixels(), static_cast<std::size_t>(image.Width()) *
                                                image.Height() * image.Channels());
    } else {
        require(image.Pixels() == nullptr);
    }
    std::fclose(file);
}

void decodeWav(std::uint8_t const* data, std::size_t size) {
    Engine::Sound::TrackData track;
    if (track.Decode(data, size)) {
        // What alBufferData is given.
        int const format = track.Format();
        require(format == AL_FORMAT_MONO8 || format == AL_FORMAT_MONO16 ||
                format == AL_FORMAT_STEREO8 || format == AL_FORMAT_STEREO16);
        require(track.Size() >= 0 && track.Error().empty());
        require(track.Size() == 0 || track.Samples() != nullptr);
        sink = sink + touch(track.Samples(), static_cast<std::size_t>(track.Size()));
    } else {
        require(track.Samples() == nullptr && !track.Error().empty());
    }
}

// The kinds of input each loader named by FUZZ_LOADER reads; every kind
// when it is not set.
struct Loader {
    char const* name;
    std::vector<unsigned char> kinds;
};

std::vector<unsigned char> loaderKinds;

void chooseLoader() {
    using namespace FuzzInput;
    Loader const loaders[] = {{"records", {SHADER_FILE, TEXTURE_FILE, RECORD}},
                              {"models", {MODEL_FILE, MODEL_AND_PATH_FILES}},
                              {"paths", {PATH_FILE}},
                              {"lightlookup", {LIGHT_LOOKUP_FILE}},
                              {"png", {PNG_IMAGE}},
                              {"wav", {WAV_TRACK}}};
    char const* name = std::getenv("FUZZ_LOADER");
    if (name == nullptr || *name == '\0') {
        return;
    }
    for (Loader const& loader : loaders) {
        if (std::strcmp(loader.name, name) == 0) {
            loaderKinds = loader.kinds;
            return;
        }
    }
    std::fprintf(stderr, "FUZZ_LOADER: unknown loader \"%s\"\n", name);
    std::exit(1);
}

// Whether the run fuzzes the loader that reads this kind.
bool chosen(unsigned char kind) {
    return loaderKinds.empty() ||
           std::find(loaderKinds.begin(), loaderKinds.end(), kind) != loaderKinds.end();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    chooseLoader();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    if (size < 1) {
        return 0;
    }
    unsigned char const kind = data[0] % FuzzInput::KIND_COUNT;
    if (!chosen(kind)) {
        // Kept out of the corpus: it belongs to another loader.
        return -1;
    }
    if (kind == FuzzInput::PNG_IMAGE) {
        decodePng(data + 1, size - 1);
        return 0;
    }
    if (kind == FuzzInput::WAV_TRACK) {
        decodeWav(data + 1, size - 1);
        return 0;
    }
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
