#include "Support/Output.h"

#include <AL/al.h>
#include <AL/alc.h>
#include <Engine/Util/UtilFunctions.h>
#include <gtest/gtest.h>

using Engine::Util::UtilFunctions;
using TestSupport::captureStdout;

TEST(UtilFunctions, ToStringWritesDecimalNumbers) {
    EXPECT_EQ(UtilFunctions::ToString(static_cast<unsigned short>(65535)), "65535");
    EXPECT_EQ(UtilFunctions::ToString(4000000000u), "4000000000");
    EXPECT_EQ(UtilFunctions::ToString(0.1f), "0.1");
    EXPECT_EQ(UtilFunctions::ToString(0.5f), "0.5");
    EXPECT_EQ(UtilFunctions::ToString(1.0f / 3.0f), "0.333333");
}

// OpenAL errors need a current context; the test runs on OpenAL Soft's null
// backend (ALSOFT_DRIVERS=null) where no sound card exists.
class AlErrorTest : public ::testing::Test {
protected:
    void SetUp() override {
        device = alcOpenDevice(nullptr);
        ASSERT_NE(device, nullptr) << "no OpenAL device (set ALSOFT_DRIVERS=null)";
        context = alcCreateContext(device, nullptr);
        ASSERT_NE(context, nullptr);
        alcMakeContextCurrent(context);
        alGetError();
    }
    void TearDown() override {
        alcMakeContextCurrent(nullptr);
        if (context) {
            alcDestroyContext(context);
        }
        if (device) {
            alcCloseDevice(device);
        }
    }
    ALCdevice* device = nullptr;
    ALCcontext* context = nullptr;
};

TEST_F(AlErrorTest, NoPendingErrorPrintsNothing) {
    bool reported = true;
    const std::string out = captureStdout([&] { reported = UtilFunctions::alError(); });
    EXPECT_FALSE(reported);
    EXPECT_EQ(out, "");
}

TEST_F(AlErrorTest, PendingErrorIsPrintedByName) {
    alSourcePlay(0xDEAD); // no such source
    bool reported = false;
    const std::string out = captureStdout([&] { reported = UtilFunctions::alError(); });
    EXPECT_TRUE(reported);
    EXPECT_EQ(out, "openAL:AL_INVALID_NAME\n");
    EXPECT_FALSE(UtilFunctions::alError()) << "one call takes the error";
}
