#include "SoundTestSupport.h"
#include "Support/Output.h"

#include <Engine/Sound/SoundBuffer.h>
#include <Engine/Sound/SoundController.h>
#include <Engine/Sound/SoundSource.h>
#include <fstream>
#include <gtest/gtest.h>

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

TEST_F(SoundNullBackend, UnreadableFileLeavesTheBufferEmpty) {
    TempFile missing("missing.wav"), truncated("truncated.wav"), text("text.wav"),
        floats("float.wav");
    std::ifstream in(toneFile.path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    std::ofstream(truncated.path, std::ios::binary) << bytes.substr(0, bytes.size() / 2);
    std::ofstream(text.path) << "plain text, long enough to hold a WAV header\n";
    writeWav(floats.path, tone(0.5f, 0.05f), 1, SF_FORMAT_FLOAT);

    for (TempFile const* file : {&missing, &truncated, &text, &floats}) {
        EXPECT_EQ(captureStdout([&] {
                      SoundBuffer buffer(file->c_str());
                      EXPECT_NE(buffer.getALNameID(), 0u);
                      EXPECT_EQ(bufferValue(buffer, AL_SIZE), 0) << file->path;
                  }),
                  " => @ alutLoadWAVFile '" + file->path + "'\n");
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
