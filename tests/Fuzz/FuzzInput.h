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
    // A model file and a path file: a u32 (little-endian) byte count of the
    // model file, the model file, then the path file up to the end.
    MODEL_AND_PATH_FILES = 5,
    // A light lookup table file (lightlookup.vlp).
    LIGHT_LOOKUP_FILE = 6,
    // A PNG stream as a texture holds it: a byte whose lowest bit asks for
    // gamma correction, then the stream from its signature on.
    PNG_IMAGE = 7,
    // A WAV file image, as a track file holds it.
    WAV_TRACK = 8,
    KIND_COUNT = 9,
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
