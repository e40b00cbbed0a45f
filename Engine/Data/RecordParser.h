#pragma once

#include <Engine/Data/Format/ByteReader.h>
#include <Engine/Data/Format/DictionaryEntry.h>
#include <Engine/Data/Format/FormatConstants.h>
#include <Engine/Export.h>
#include <Engine/Math/Mat4f.h>
#include <Engine/Math/Vec3f.h>
#include <Engine/Math/Vec4f.h>
#include <Engine/Util/BaseVertex.h>
#include <Engine/Util/UVCoordMapping.h>
#include <Engine/Util/UVVertex.h>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace Engine::Data {

// Parses the dictionaries and payload records of the compiled asset files from
// byte blocks into plain descriptions, with no file access and no OpenGL. The
// input is untrusted: every length, count, id and type is checked against the
// block and the dictionaries, and the first fault is logged as one fatal line
// naming the file, the record and what is wrong. A parse that fails returns
// false and leaves nothing half-built to use. The layouts, type codes and
// limits are the format library's (Engine/Data/Format).
class ENGINE_API RecordParser {
public:
    // Names a record in messages: the file's path, the kind of record and its id.
    struct Where {
        char const* file;
        char const* record;
        unsigned short id;
    };

    // Number of records of each dictionary: ids in records are checked
    // against them.
    struct Counts {
        unsigned short shaders = 0;
        unsigned short textures = 0;
        unsigned short materials = 0;
        unsigned short geometries = 0;
        unsigned short models = 0;
        unsigned short paths = 0;
    };

    // One dictionary record in file order.
    struct DictionaryRecord {
        unsigned short id = 0;
        Format::DictionaryEntry entry;
    };

    // The five stage texts of one program; a stage with length 0 is absent.
    // The texts exclude the terminating zero the file stores.
    struct ShaderRecord {
        unsigned short lengths[Format::SHADER_STAGE_COUNT] = {0, 0, 0, 0, 0};
        std::string texts[Format::SHADER_STAGE_COUNT];
        bool Has(std::size_t stage) const { return lengths[stage] != 0; }
    };

    struct MaterialPart {
        unsigned short type = 0;
        Math::Vec3f color;
        float emit = 0.0f;
        unsigned int shininess = 0;
        unsigned short textureId = 0;
    };

    struct MaterialRecord {
        unsigned short shaderId = 0;
        std::vector<MaterialPart> parts;
    };

    // Vertices of format 0 fill baseVertices, of format 1 or 2 uvVertices.
    struct GeometryRecord {
        unsigned char format = Format::FORMAT_BASE;
        std::vector<Util::BaseVertex> baseVertices;
        std::vector<Util::UVVertex> uvVertices;
        std::vector<unsigned int> indices;
    };

    struct PathPoint {
        float time = 0.0f;
        Math::Vec3f point;
    };

    struct PathRecord {
        std::vector<PathPoint> points;
    };

    struct LightRecord {
        unsigned short kind = 0;
        Math::Vec3f intensity;
        bool specularOn = false;
        Math::Vec4f location;
        Math::Vec3f direction;
        // Full cone angle in degrees, as stored.
        float angle = 0.0f;
        float exponent = 0.0f;
        Math::Vec3f attenuation;
        bool castsShadow = false;
    };

    // One node of a mesh hierarchy; a group node has only children.
    struct MeshRecord {
        bool group = false;
        Math::Mat4f matrix;
        Math::Vec3f boxMin;
        Math::Vec3f boxMax;
        unsigned short geometryId = 0;
        unsigned short materialId = 0;
        std::map<UVCoordMapping, unsigned char> mapping;
        std::vector<MeshRecord> children;
    };

    // One component record; which fields hold data depends on the type
    // (a ComponentID value). Types without loadable data keep only the type.
    struct ComponentRecord {
        unsigned short type = 0;
        MeshRecord mesh;                 // mesh draw
        std::vector<LightRecord> lights; // light
        unsigned short firstPathId = 0;  // path animation
        unsigned short secondPathId = 0;
        unsigned short materialId = 0; // BSP draw
        unsigned short geometryId = 0;
    };

    struct ModelRecord {
        std::vector<ComponentRecord> components;
    };

    // Reads count dictionary records from the reader. Records whose id is not
    // below the count are reported and left out; a block too short for count
    // records is reported and fails.
    static bool ParseDictionary(Format::ByteReader& reader, unsigned short count,
                                std::vector<DictionaryRecord>& records, char const* file,
                                char const* title);
    // Checks that a record lies inside a file of the given size.
    static bool CheckRecordBounds(Format::DictionaryEntry const& entry, std::uint64_t fileSize,
                                  Where where);

    static bool ParseShaderRecord(unsigned char const* data, std::size_t size, ShaderRecord& record,
                                  Where where);
    static bool ParseMaterialRecord(unsigned char const* data, std::size_t size,
                                    Counts const& counts, MaterialRecord& record, Where where);
    static bool ParseGeometryRecord(unsigned char const* data, std::size_t size,
                                    GeometryRecord& record, Where where);
    static bool ParsePathRecord(unsigned char const* data, std::size_t size, PathRecord& record,
                                Where where);
    static bool ParseModelRecord(unsigned char const* data, std::size_t size, Counts const& counts,
                                 ModelRecord& record, Where where);

    // Logs "Corrupt <record> record <id> in <file>: <detail>" as a fatal line.
    static void Reject(Where where, std::string const& detail);
};

} // namespace Engine::Data
