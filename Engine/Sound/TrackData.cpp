#include <AL/al.h>
#include <Engine/Sound/Internal/TrackData.h>
#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <sndfile.h>
#include <string>
#include <utility>

namespace Engine::Sound {

namespace {

// Where libsndfile's virtual I/O reads a track from: a file image in memory,
// or an open file, read as the decoder asks (so that a track on disk is never
// copied whole into memory before it is decoded).
struct Source {
    unsigned char const* bytes; // the image, or null for the file
    std::FILE* file;
    sf_count_t size;
    sf_count_t position;
};

sf_count_t sourceLength(void* user) {
    return static_cast<Source*>(user)->size;
}

sf_count_t sourceSeek(sf_count_t offset, int whence, void* user) {
    auto* source = static_cast<Source*>(user);
    sf_count_t const base = whence == SEEK_CUR   ? source->position
                            : whence == SEEK_END ? source->size
                                                 : 0;
    if (offset < -base || offset > source->size - base) {
        return -1;
    }
    if (source->file != nullptr && fseeko(source->file, base + offset, SEEK_SET) != 0) {
        return -1;
    }
    source->position = base + offset;
    return source->position;
}

sf_count_t sourceRead(void* out, sf_count_t count, void* user) {
    auto* source = static_cast<Source*>(user);
    sf_count_t const available = source->size - source->position;
    sf_count_t taken = count < available ? count : available;
    if (taken <= 0) {
        return 0;
    }
    if (source->file != nullptr) {
        taken = static_cast<sf_count_t>(
            std::fread(out, 1, static_cast<std::size_t>(taken), source->file));
    } else {
        std::memcpy(out, source->bytes + source->position, static_cast<std::size_t>(taken));
    }
    source->position += taken;
    return taken;
}

sf_count_t sourceWrite(void const*, sf_count_t, void*) {
    return 0;
}

sf_count_t sourceTell(void* user) {
    return static_cast<Source*>(user)->position;
}

struct Close {
    void operator()(SNDFILE* file) const { sf_close(file); }
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The longest track taken: OpenAL sizes buffers with an int.
constexpr sf_count_t MAX_BYTES = INT_MAX;

} // namespace

bool TrackData::fail(std::string reason) {
    format = 0;
    frequency = 0;
    samples.clear();
    samples.shrink_to_fit();
    error = std::move(reason);
    return false;
}

bool TrackData::ReadFile(char const* path) {
    std::FILE* const opened = path != nullptr ? std::fopen(path, "rb") : nullptr;
    if (opened == nullptr) {
        return fail("cannot open the file");
    }
    std::unique_ptr<std::FILE, Close> const file(opened);
    sf_count_t size = -1;
    if (fseeko(opened, 0, SEEK_END) == 0) {
        size = ftello(opened);
    }
    if (size < 0 || fseeko(opened, 0, SEEK_SET) != 0) {
        return fail("cannot read the file");
    }
    Source source{nullptr, opened, size, 0};
    bool const decoded = decode(&source);
    if (std::ferror(opened) != 0) {
        return fail("cannot read the file");
    }
    return decoded;
}

bool TrackData::Decode(void const* bytes, std::size_t size) {
    Source source{static_cast<unsigned char const*>(bytes), nullptr, static_cast<sf_count_t>(size),
                  0};
    return decode(&source);
}

bool TrackData::decode(void* from) {
    auto* source = static_cast<Source*>(from);
    sf_count_t const size = source->size;
    // The RIFF header's first eight bytes, for the length check below.
    unsigned char head[8] = {};
    sf_count_t const headSize = sourceRead(head, sizeof head, source);
    sourceSeek(0, SEEK_SET, source);
    SF_VIRTUAL_IO io{sourceLength, sourceSeek, sourceRead, sourceWrite, sourceTell};
    SF_INFO info{};
    std::unique_ptr<SNDFILE, Close> const file(sf_open_virtual(&io, SFM_READ, &info, source));
    if (!file) {
        return fail(std::string("not a readable sound file: ") + sf_strerror(nullptr));
    }
    int const subtype = info.format & SF_FORMAT_SUBMASK;
    if ((info.format & SF_FORMAT_TYPEMASK) != SF_FORMAT_WAV) {
        return fail("not a WAV file");
    }
    // libsndfile reads a file cut short as far as it goes; a track cut short
    // is refused instead, found by the length its RIFF header gives.
    std::uint32_t riffLength = 0;
    if (headSize >= 8 && std::memcmp(head, "RIFF", 4) == 0) {
        for (int i = 7; i >= 4; --i) {
            riffLength = riffLength << 8 | head[i];
        }
        if (size - 8 < riffLength) {
            return fail("truncated: " + std::to_string(size) + " of " +
                        std::to_string(std::uint64_t{riffLength} + 8) + " bytes");
        }
    }
    if (subtype != SF_FORMAT_PCM_U8 && subtype != SF_FORMAT_PCM_16) {
        return fail("not 8- or 16-bit PCM");
    }
    if (info.channels != 1 && info.channels != 2) {
        return fail("neither mono nor stereo");
    }
    if (info.samplerate <= 0) {
        return fail("no sample rate");
    }
    bool const eightBit = subtype == SF_FORMAT_PCM_U8;
    sf_count_t const bytesPerSample = eightBit ? 1 : 2;
    // The frame count comes from the header; a damaged header may claim more
    // than the file holds, so samples are read in chunks until the data ends.
    if (info.frames > MAX_BYTES / (bytesPerSample * info.channels)) {
        return fail("longer than a sound buffer can hold");
    }
    std::vector<short> chunk(static_cast<std::size_t>(4096 * info.channels));
    samples.clear();
    // Decoded PCM takes no more bytes than the file holds.
    samples.reserve(static_cast<std::size_t>(
        std::min(info.frames * bytesPerSample * info.channels, static_cast<sf_count_t>(size))));
    sf_count_t frames = 0;
    while ((frames = sf_readf_short(file.get(), chunk.data(), 4096)) > 0) {
        std::size_t const count = static_cast<std::size_t>(frames * info.channels);
        if (eightBit) {
            // libsndfile widens an unsigned byte b to (b - 128) * 256.
            for (std::size_t i = 0; i < count; ++i) {
                samples.push_back(static_cast<unsigned char>((chunk[i] >> 8) + 128));
            }
        } else {
            auto const* raw = reinterpret_cast<unsigned char const*>(chunk.data());
            samples.insert(samples.end(), raw, raw + count * sizeof(short));
        }
        if (static_cast<sf_count_t>(samples.size()) > MAX_BYTES) {
            return fail("longer than a sound buffer can hold");
        }
    }
    if (sf_error(file.get()) != SF_ERR_NO_ERROR) {
        return fail(std::string("damaged sample data: ") + sf_strerror(file.get()));
    }
    if (samples.empty()) {
        return fail("no samples");
    }
    format = info.channels == 1 ? (eightBit ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16)
                                : (eightBit ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16);
    frequency = info.samplerate;
    error.clear();
    return true;
}

} // namespace Engine::Sound
