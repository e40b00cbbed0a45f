// Fuzz target over the parsers of the compiled asset files: whole file images
// are read the way the factory reads them (version, dictionaries, every record
// checked against the file and parsed), bare records are parsed directly.

#include "FuzzInput.h"

#include <Engine/Data/ByteReader.h>
#include <Engine/Data/RecordParser.h>
#include <cstddef>
#include <cstdint>
#include <vector>

using Engine::Data::ByteReader;
using Engine::Data::DictionaryEntry;
using Engine::Data::RecordParser;

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

void parseFile(unsigned char kind, std::uint8_t const* file, std::size_t size) {
    ByteReader reader(file, size);
    unsigned short version = 0;
    switch (kind) {
    case FuzzInput::SHADER_FILE: {
        if (!reader.ReadU16(version) || version != RecordParser::SHADER_FILE_VERSION) {
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
    case FuzzInput::MODEL_FILE: {
        if (!reader.ReadU16(version) || version != RecordParser::MODEL_FILE_VERSION) {
            return;
        }
        auto const materials = readDictionary(reader, "MaterialDictionary");
        auto const geometries = readDictionary(reader, "GeometryDictionary");
        auto const models = readDictionary(reader, "ModelDictionary");
        RecordParser::Counts counts = otherCounts();
        counts.materials = static_cast<unsigned short>(materials.size());
        counts.geometries = static_cast<unsigned short>(geometries.size());
        counts.models = static_cast<unsigned short>(models.size());
        parseEach(file, size, materials, "material",
                  [&](std::uint8_t const* data, std::size_t length, RecordParser::Where where) {
                      RecordParser::MaterialRecord record;
                      RecordParser::ParseMaterialRecord(data, length, counts, record, where);
                  });
        parseEach(file, size, geometries, "geometry",
                  [](std::uint8_t const* data, std::size_t length, RecordParser::Where where) {
                      RecordParser::GeometryRecord record;
                      RecordParser::ParseGeometryRecord(data, length, record, where);
                  });
        parseEach(file, size, models, "model",
                  [&](std::uint8_t const* data, std::size_t length, RecordParser::Where where) {
                      RecordParser::ModelRecord record;
                      RecordParser::ParseModelRecord(data, length, counts, record, where);
                  });
        break;
    }
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
    parseFile(kind, data + 1, size - 1);
    return 0;
}
