#pragma once

// How a fuzz input is laid out: the first byte picks what the rest is.
namespace FuzzInput {

enum Kind : unsigned char {
    SHADER_FILE = 0,
    TEXTURE_FILE = 1,
    MODEL_FILE = 2,
    PATH_FILE = 3,
    // A bare record: the second byte picks its kind (RecordKind), the rest is the record.
    RECORD = 4,
    KIND_COUNT = 5,
};

enum RecordKind : unsigned char {
    SHADER_RECORD = 0,
    MATERIAL_RECORD = 1,
    GEOMETRY_RECORD = 2,
    PATH_RECORD = 3,
    MODEL_RECORD = 4,
    RECORD_KIND_COUNT = 5,
};

} // namespace FuzzInput
