#include "SoundTestSupport.h"
#include "Support/Output.h"

#include <Engine/Sound/Internal/TrackData.h>
#include <Engine/Sound/SoundBuffer.h>
#include <Engine/Sound/SoundController.h>
#include <Engine/Sound/SoundSource.h>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <sndfile.h>

using Engine::Sound::SoundBuffer;
using Engine::Sound::SoundController;
using Engine::Sound::SoundSource;
using namespace SoundTestSupport;
using TestSupport::captureStdout;

namespace {

// The audio system on OpenAL Soft's null backend, which needs no sound card.
class SoundNullBackend : public ::testing::Test {
protected:
    void SetUp() override {
        useDrivers("null");
        bool started = false;
        EXPECT_EQ(captureStdout([&] { started = SoundController::intOpenAL(); }),
                  "initialisire sound controller (openAL)\n");
        ASSERT_TRUE(started);
        writeWav(toneFile.path, tone(0.5f, 0.05f));
    }
    void TearDown() override { SoundController::exitOpenAL(); }
    TempFile toneFile{"tone.wav"};
};

ALint bufferValue(SoundBuffer const& buffer, ALenum what) {
    ALint value = -1;
    alGetBufferi(buffer.getALNameID(), what, &value);
    return value;
}

ALint sourceValue(ALuint source, ALenum what) {
    ALint value = -1;
    alGetSourcei(source, what, &value);
    return value;
}

} // namespace

TEST(SoundController, WithoutAnyDeviceSoundObjectsStayInert) {
    useDrivers("no-such-backend");
    bool started = true;
    EXPECT_EQ(captureStdout([&] { started = SoundController::intOpenAL(); }),
              "initialisire sound controller (openAL)\nalutInit(0, NULL): ->\n"
              "openAL:AL_INVALID_OPERATION\n");
    EXPECT_FALSE(started);

    // The program goes on: every call fails in OpenAL and is reported, none crashes.
    TempFile file("inert.wav");
    writeWav(file.path, tone(0.5f, 0.05f));
    const std::string out = captureStdout([&] {
        SoundController listener;
        SoundBuffer buffer(file.c_str());
        EXPECT_EQ(buffer.getALNameID(), 0u);
        SoundSource source;
        EXPECT_FALSE(source.setBuffer(&buffer));
        source.queueBuffers({&buffer});
        source.play();
        EXPECT_EQ(source.getProssesedBuffer(), 0);
    });
    for (char const* report : {" => @ alGenBuffers\n", " => @ alGenSources\n", " => @ alSourcei:\n",
                               " => @ SoundSource::queueBuffers:\n"}) {
        EXPECT_NE(out.find(report), std::string::npos) << report;
    }
    SoundController::exitOpenAL();
}

TEST_F(SoundNullBackend, BufferHoldsThePcmOfTheFile) {
    struct Case {
        int channels, subtype, bits;
    };
    for (Case c : {Case{1, SF_FORMAT_PCM_16, 16}, Case{2, SF_FORMAT_PCM_16, 16},
                   Case{1, SF_FORMAT_PCM_U8, 8}}) {
        TempFile file("pcm.wav");
        writeWav(file.path, std::vector<float>(2205 * c.channels, 0.25f), c.channels, c.subtype);
        EXPECT_EQ(captureStdout([&] {
                      SoundBuffer buffer(file.c_str());
                      EXPECT_EQ(bufferValue(buffer, AL_FREQUENCY), kRate);
                      EXPECT_EQ(bufferValue(buffer, AL_CHANNELS), c.channels);
                      EXPECT_EQ(bufferValue(buffer, AL_BITS), c.bits);
                      EXPECT_EQ(bufferValue(buffer, AL_SIZE), 2205 * c.channels * c.bits / 8);
                  }),
                  "");
    }
    EXPECT_EQ(alGetError(), AL_NO_ERROR);
}

// The buffer of a track that cannot be loaded stays empty, with one line
// naming the file and the reason, which starts with the given words.
void expectRefused(TempFile const& file, std::string const& reason) {
    std::string const out = captureStdout([&] {
        SoundBuffer buffer(file.c_str());
        EXPECT_NE(buffer.getALNameID(), 0u);
        EXPECT_EQ(bufferValue(buffer, AL_SIZE), 0) << file.path;
    });
    std::string const line = " => @ cannot load the track '" + file.path + "': " + reason;
    EXPECT_EQ(out.substr(0, line.size()), line);
    EXPECT_EQ(out.find('\n'), out.size() - 1) << out;
}

std::string contents(std::string const& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST_F(SoundNullBackend, UnreadableFileLeavesTheBufferEmpty) {
    TempFile missing("missing.wav"), floats("float.wav"), wide("wide.wav"), surround("6ch.wav");
    writeWav(floats.path, tone(0.5f, 0.05f), 1, SF_FORMAT_FLOAT);
    writeWav(wide.path, tone(0.5f, 0.05f), 1, SF_FORMAT_PCM_24);
    writeWav(surround.path, std::vector<float>(600, 0.1f), 6);
    expectRefused(missing, "cannot open the file");
    expectRefused(floats, "not 8- or 16-bit PCM");
    expectRefused(wide, "not 8- or 16-bit PCM");
    expectRefused(surround, "neither mono nor stereo");
}

TEST_F(SoundNullBackend, ATruncatedTrackIsRefusedWhereverItIsCut) {
    std::string const bytes = contents(toneFile.path);
    ASSERT_EQ(bytes.size(), 44u + 2205u * 2u);
    TempFile truncated("truncated.wav");
    // Inside the RIFF header, inside the format chunk, before the data chunk's
    // length, right after the header, half way and one byte short.
    for (std::size_t cut : {0u, 10u, 30u, 40u, 44u, 2249u, 4453u}) {
        SCOPED_TRACE(cut);
        std::ofstream(truncated.path, std::ios::binary | std::ios::trunc) << bytes.substr(0, cut);
        expectRefused(truncated, cut < 44 ? "not a readable sound file: "
                                          : "truncated: " + std::to_string(cut) + " of 4454 bytes");
    }
}

TEST_F(SoundNullBackend, ANonWavTrackIsRefused) {
    TempFile text("text.wav"), au("tone.au"), empty("empty.wav");
    std::ofstream(text.path) << "plain text, long enough to hold a WAV header\n";
    writeWav(au.path, tone(0.5f, 0.05f), 1, SF_FORMAT_PCM_16, SF_FORMAT_AU);
    // A WAV file without samples.
    writeWav(empty.path, {}, 1);
    expectRefused(text, "not a readable sound file: Format not recognised.");
    expectRefused(au, "not a WAV file");
    expectRefused(empty, "no samples");
}

// A track on disk is decoded as it is read; it must give what its image in
// memory gives, also where the decoder seeks past a chunk it skips.
TEST(TrackData, AFileDecodesAsItsImageInMemory) {
    TempFile stereo("stereo.wav"), bytes8("bytes8.wav");
    std::vector<float> pairs;
    for (float s : tone(0.5f, 0.05f)) {
        pairs.insert(pairs.end(), {s, -0.5f * s});
    }
    {
        SF_INFO info{};
        info.samplerate = kRate;
        info.channels = 2;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* file = sf_open(stereo.c_str(), SFM_WRITE, &info);
        ASSERT_NE(file, nullptr);
        // A LIST chunk of text ahead of the samples.
        sf_set_string(file, SF_STR_TITLE, "a chunk the decoder skips");
        ASSERT_EQ(sf_writef_float(file, pairs.data(), 2205), 2205);
        sf_close(file);
    }
    writeWav(bytes8.path, tone(0.5f, 0.05f), 1, SF_FORMAT_PCM_U8);
    for (TempFile const* file : {&stereo, &bytes8}) {
        SCOPED_TRACE(file->path);
        std::string const image = contents(file->path);
        Engine::Sound::TrackData read, decoded;
        ASSERT_TRUE(read.ReadFile(file->c_str())) << read.Error();
        ASSERT_TRUE(decoded.Decode(image.data(), image.size())) << decoded.Error();
        EXPECT_EQ(read.Format(), decoded.Format());
        EXPECT_EQ(read.Frequency(), kRate);
        // Every frame: two 16-bit channels, or one byte.
        ASSERT_EQ(read.Size(), file == &stereo ? 2205 * 4 : 2205);
        ASSERT_EQ(decoded.Size(), read.Size());
        EXPECT_EQ(std::memcmp(read.Samples(), decoded.Samples(), decoded.Size()), 0);
    }
}

TEST_F(SoundNullBackend, NewSourceHasUnitGainAndTheGainProduct) {
    SoundBuffer buffer(toneFile.c_str());
    SoundSource source;
    const ALuint name = onlySourceName();
    ASSERT_NE(name, 0u);
    auto gain = [&] {
        ALfloat value = -1.0f;
        alGetSourcef(name, AL_GAIN, &value);
        return value;
    };
    EXPECT_FLOAT_EQ(gain(), 1.0f);
    EXPECT_EQ(sourceValue(name, AL_BUFFER), 0);

    source.referenceGain(0.8f);
    EXPECT_FLOAT_EQ(gain(), 0.8f);
    source.gain(0.5f);
    EXPECT_FLOAT_EQ(gain(), 0.4f);
    source.referenceGain(1.0f);
    EXPECT_FLOAT_EQ(gain(), 0.5f);

    EXPECT_TRUE(source.setBuffer(&buffer));
    EXPECT_EQ(sourceValue(name, AL_BUFFER), static_cast<ALint>(buffer.getALNameID()));
    EXPECT_TRUE(source.setBuffer(nullptr));
    EXPECT_EQ(sourceValue(name, AL_BUFFER), 0);
}

TEST_F(SoundNullBackend, QueueTakesEveryBufferAndReportsRefusals) {
    SoundBuffer a(toneFile.c_str()), b(toneFile.c_str());
    SoundSource source;
    const ALuint name = onlySourceName();
    ASSERT_NE(name, 0u);

    EXPECT_EQ(captureStdout([&] { source.queueBuffers({}); }), "");
    EXPECT_EQ(sourceValue(name, AL_BUFFERS_QUEUED), 0);
    EXPECT_EQ(captureStdout([&] { source.queueBuffers({&a, &b}); }), "");
    EXPECT_EQ(sourceValue(name, AL_BUFFERS_QUEUED), 2);
    EXPECT_EQ(source.getProssesedBuffer(), 0);

    // Nothing has been played, so nothing can be taken off.
    EXPECT_EQ(captureStdout([&] { source.unqueueBuffers({&a}); }),
              "openAL:AL_INVALID_VALUE\n => @ SoundSource::unqueueBuffers:\n");
    // A playing source takes no single buffer.
    source.loopOn();
    source.play();
    EXPECT_EQ(captureStdout([&] { EXPECT_FALSE(source.setBuffer(&a)); }),
              "openAL:AL_INVALID_OPERATION\n => @ alSourcei:\n");
    EXPECT_EQ(sourceValue(name, AL_BUFFERS_QUEUED), 2);
}
