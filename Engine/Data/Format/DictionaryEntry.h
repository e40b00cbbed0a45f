#pragma once

namespace Engine::Data::Format {

// Where one record of a compiled asset file lies: its absolute byte offset
// from the start of the file and its size in bytes. A dictionary is an array
// of these, indexed by record id.
struct DictionaryEntry {
    DictionaryEntry() = default;
    DictionaryEntry(unsigned int offset, unsigned int size) : offset(offset), size(size) {}

    unsigned int offset = 0;
    unsigned int size = 0;
};

} // namespace Engine::Data::Format
