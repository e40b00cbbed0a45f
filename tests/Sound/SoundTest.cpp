#include "SoundTestSupport.h"
#include "Support/Output.h"

#include <AL/al.h>
#include <Engine/Sound/SoundBuffer.h>
#include <Engine/Sound/SoundController.h>
#include <Engine/Sound/SoundSource.h>
#include <fstream>
#include <gtest/gtest.h>

using Engine::Math::Vec3f;
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
        ASSERT_TRUE(SoundController::intOpenAL());
        alGetError();
    }
    void TearDown() override { SoundController::exitOpenAL(); }

    // A 16-bit mono WAV file holding a short tone.
    std::string toneFile(TempFile const& file, float seconds = 0.05f) {
        writeWav(file.path(), tone(0.5f, seconds), 1);
        return file.path();
    }
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

float sourceGain(ALuint source) {
    ALfloat value = -1.0f;
    alGetSourcef(source, AL_GAIN, &value);
    return value;
}

} // namespace

TEST(SoundController, StartsOnTheNullBackendWithItsMessage) {
    useDrivers("null");
    bool started = false;
    EXPECT_EQ(captureStdout([&] { started = SoundController::intOpenAL(); }),
              "initialisire sound controller (openAL)\n");
    EXPECT_TRUE(started);
    SoundController::exitOpenAL();
}

TEST(SoundController, WithoutAnyDeviceSoundObjectsStayInert) {
    useDrivers("no-such-backend");
    bool started = true;
    EXPECT_EQ(captureStdout([&] { started = SoundController::intOpenAL(); }),
              "initialisire sound controller (openAL)\n"
              "alutInit(0, NULL): ->\n"
              "openAL:AL_INVALID_OPERATION\n");
    EXPECT_FALSE(started);

    // A program goes on after the failed start: every call fails in OpenAL
    // and is reported, none crashes.
    TempFile file("inert.wav");
    writeWav(file.path(), tone(0.5f, 0.05f), 1);
    const std::string out = captureStdout([&] {
        SoundController listener;
        listener.setListener(Vec3f(1, 2, 3), Vec3f(0, 0, 0), Vec3f(0, 0, -1), Vec3f(0, 1, 0));
        SoundBuffer buffer(file.c_str());
        EXPECT_EQ(buffer.getALNameID(), 0u);
        SoundSource source;
        EXPECT_FALSE(source.setBuffer(&buffer));
        source.queueBuffers({&buffer});
        source.gain(0.5f);
        source.play();
        EXPECT_EQ(source.getProssesedBuffer(), 0);
        source.stop();
    });
    EXPECT_NE(out.find(" => @ alGenBuffers\n"), std::string::npos) << out;
    EXPECT_NE(out.find(" => @ alGenSources\n"), std::string::npos) << out;
    EXPECT_NE(out.find(" => @ alSourcei:\n"), std::string::npos) << out;
    SoundController::exitOpenAL();
}

TEST_F(SoundNullBackend, ControllerResetsTheListener) {
    SoundController first;
    first.setListener(Vec3f(1, 2, 3), Vec3f(4, 5, 6), Vec3f(1, 0, 0), Vec3f(0, 0, 1));
    ALfloat position[3], velocity[3], orientation[6];
    alGetListenerfv(AL_POSITION, position);
    alGetListenerfv(AL_ORIENTATION, orientation);
    EXPECT_EQ(Vec3f(position), Vec3f(1, 2, 3));
    EXPECT_EQ(Vec3f(orientation), Vec3f(1, 0, 0));
    EXPECT_EQ(Vec3f(orientation + 3), Vec3f(0, 0, 1));

    SoundController second;
    alGetListenerfv(AL_POSITION, position);
    alGetListenerfv(AL_VELOCITY, velocity);
    alGetListenerfv(AL_ORIENTATION, orientation);
    EXPECT_EQ(Vec3f(position), Vec3f(0, 0, 0));
    EXPECT_EQ(Vec3f(velocity), Vec3f(0, 0, 0));
    EXPECT_EQ(Vec3f(orientation), Vec3f(0, 0, -1));
    EXPECT_EQ(Vec3f(orientation + 3), Vec3f(0, 1, 0));
    EXPECT_EQ(alGetError(), AL_NO_ERROR);
}

TEST_F(SoundNullBackend, BufferHoldsThePcmOfTheFile) {
    struct Case {
        int channels;
        int subtype;
        ALint bits;
    };
    for (Case c : {Case{1, SF_FORMAT_PCM_16, 16}, Case{2, SF_FORMAT_PCM_16, 16},
                   Case{1, SF_FORMAT_PCM_U8, 8}}) {
        TempFile file("pcm.wav");
        const std::size_t frames = 2205;
        writeWav(file.path(), std::vector<float>(frames * c.channels, 0.25f), c.channels,
                 c.subtype);
        std::string out = captureStdout([&] {
            SoundBuffer buffer(file.c_str());
            EXPECT_NE(buffer.getALNameID(), 0u);
            EXPECT_EQ(bufferValue(buffer, AL_FREQUENCY), kRate);
            EXPECT_EQ(bufferValue(buffer, AL_CHANNELS), c.channels);
            EXPECT_EQ(bufferValue(buffer, AL_BITS), c.bits);
            EXPECT_EQ(bufferValue(buffer, AL_SIZE),
                      static_cast<ALint>(frames * c.channels * c.bits / 8));
        });
        EXPECT_EQ(out, "") << "channels " << c.channels << ", bits " << c.bits;
    }
    EXPECT_EQ(alGetError(), AL_NO_ERROR) << "the destructor deletes the buffer";
}

TEST_F(SoundNullBackend, UnreadableFileLeavesTheBufferEmpty) {
    TempFile missing("missing.wav");
    TempFile truncated("truncated.wav");
    toneFile(truncated);
    {
        std::ifstream in(truncated.path(), std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::ofstream(truncated.path(), std::ios::binary | std::ios::trunc)
            << bytes.substr(0, bytes.size() / 2);
    }
    TempFile text("notes.wav");
    std::ofstream(text.path()) << "not a sound file, just text long enough for a header\n";
    TempFile floats("float.wav");
    writeWav(floats.path(), tone(0.5f, 0.05f), 1, SF_FORMAT_FLOAT);

    for (TempFile const* file : {&missing, &truncated, &text, &floats}) {
        const std::string out = captureStdout([&] {
            SoundBuffer buffer(file->c_str());
            EXPECT_NE(buffer.getALNameID(), 0u) << file->path();
            EXPECT_EQ(bufferValue(buffer, AL_SIZE), 0) << file->path();
        });
        EXPECT_EQ(out, " => @ alutLoadWAVFile '" + file->path() + "'\n");
    }
}

TEST_F(SoundNullBackend, GainIsTheProductOfBothFactors) {
    SoundSource source;
    const ALuint name = onlySourceName();
    ASSERT_NE(name, 0u);
    EXPECT_FLOAT_EQ(sourceGain(name), 1.0f);
    EXPECT_EQ(sourceValue(name, AL_BUFFER), 0);

    source.referenceGain(0.8f);
    EXPECT_FLOAT_EQ(sourceGain(name), 0.8f);
    source.gain(0.5f);
    EXPECT_FLOAT_EQ(sourceGain(name), 0.4f);
    source.referenceGain(1.0f);
    EXPECT_FLOAT_EQ(sourceGain(name), 0.5f);
    source.gain(2.0f);
    EXPECT_FLOAT_EQ(sourceGain(name), 2.0f);
}

TEST_F(SoundNullBackend, SetBufferKeepsTheBufferOpenALRefuses) {
    TempFile file("tone.wav");
    SoundBuffer first(toneFile(file).c_str());
    SoundBuffer second(file.c_str());
    SoundSource source;
    const ALuint name = onlySourceName();
    ASSERT_NE(name, 0u);

    EXPECT_EQ(captureStdout([&] { EXPECT_TRUE(source.setBuffer(&first)); }), "");
    EXPECT_EQ(sourceValue(name, AL_BUFFER), static_cast<ALint>(first.getALNameID()));

    // A playing source takes no other buffer.
    source.loopOn();
    source.play();
    EXPECT_EQ(captureStdout([&] { EXPECT_FALSE(source.setBuffer(&second)); }),
              "openAL:AL_INVALID_OPERATION\n => @ alSourcei:\n");
    EXPECT_EQ(sourceValue(name, AL_BUFFER), static_cast<ALint>(first.getALNameID()));

    source.stop();
    EXPECT_TRUE(source.setBuffer(nullptr));
    EXPECT_EQ(sourceValue(name, AL_BUFFER), 0);
}

TEST_F(SoundNullBackend, QueueTakesBuffersInOrderAndReportsRefusals) {
    TempFile monoFile("mono.wav");
    TempFile stereoFile("stereo.wav");
    writeWav(stereoFile.path(), std::vector<float>(200, 0.1f), 2);
    SoundBuffer a(toneFile(monoFile).c_str());
    SoundBuffer b(monoFile.c_str());
    SoundBuffer stereo(stereoFile.c_str());
    SoundSource source;
    const ALuint name = onlySourceName();
    ASSERT_NE(name, 0u);

    EXPECT_EQ(captureStdout([&] { source.queueBuffers({}); }), "");
    EXPECT_EQ(sourceValue(name, AL_BUFFERS_QUEUED), 0);

    EXPECT_EQ(captureStdout([&] { source.queueBuffers({&a, &b}); }), "");
    EXPECT_EQ(sourceValue(name, AL_BUFFERS_QUEUED), 2);
    EXPECT_EQ(source.getProssesedBuffer(), 0);

    // One queue holds one sample format.
    EXPECT_EQ(captureStdout([&] { source.queueBuffers({&stereo}); }),
              "openAL:AL_INVALID_OPERATION\n => @ SoundSource::queueBuffers:\n");
    // Nothing has been played, so nothing can be taken off.
    EXPECT_EQ(captureStdout([&] { source.unqueueBuffers({&a}); }),
              "openAL:AL_INVALID_VALUE\n => @ SoundSource::unqueueBuffers:\n");
    EXPECT_EQ(sourceValue(name, AL_BUFFERS_QUEUED), 2);
}
