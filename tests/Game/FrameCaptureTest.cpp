#include "PngFile.h"
#include "TemporaryFolder.h"

#include <Game/FrameCapture.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

using Game::FrameCapture;
using Game::Platform;
using GameTestSupport::PngFile;
using GameTestSupport::TemporaryFolder;
namespace fs = std::filesystem;

namespace {

// A width x height image, bottom row first, whose pixel (x, y) counted from
// the bottom is (x, y, 100 + row from the top).
Platform::Image gradient(unsigned width, unsigned height) {
    Platform::Image image;
    image.width = width;
    image.height = height;
    for (unsigned y = 0; y < height; ++y) {
        for (unsigned x = 0; x < width; ++x) {
            image.rgb.push_back(static_cast<unsigned char>(x));
            image.rgb.push_back(static_cast<unsigned char>(y));
            image.rgb.push_back(static_cast<unsigned char>(100 + (height - 1 - y)));
        }
    }
    return image;
}

} // namespace

TEST(FrameCapture, FileNamesCarrySixDigitFrameNumbers) {
    TemporaryFolder folder;
    std::ostringstream errors;
    FrameCapture capture(errors);
    ASSERT_TRUE(capture.Open(folder.Path()));
    EXPECT_EQ(capture.FileName(7), folder / "frame_000007.png");
    EXPECT_EQ(capture.FileName(123456), folder / "frame_123456.png");
    EXPECT_EQ(capture.FileName(1234567), folder / "frame_1234567.png");
}

TEST(FrameCapture, WritesAPngWithTheTopRowFirst) {
    TemporaryFolder folder;
    std::ostringstream errors;
    FrameCapture capture(errors);
    ASSERT_TRUE(capture.Open(folder.Path()));
    ASSERT_TRUE(capture.Write(3, gradient(5, 3)));
    EXPECT_EQ(errors.str(), "");

    PngFile png;
    ASSERT_TRUE(png.Load(folder / "frame_000003.png")) << png.error;
    ASSERT_EQ(png.width, 5u);
    ASSERT_EQ(png.height, 3u);
    for (unsigned row = 0; row < 3; ++row) {
        for (unsigned x = 0; x < 5; ++x) {
            EXPECT_EQ(png.Red(x, row), x);
            EXPECT_EQ(png.Green(x, row), 2 - row) << "row " << row;
            EXPECT_EQ(png.Blue(x, row), 100 + row) << "row " << row;
        }
    }
}

TEST(FrameCapture, OpenCreatesMissingParentFolders) {
    TemporaryFolder folder;
    std::ostringstream errors;
    FrameCapture capture(errors);
    EXPECT_FALSE(capture.Active());
    ASSERT_TRUE(capture.Open(folder / "a/b/c"));
    EXPECT_TRUE(capture.Active());
    EXPECT_TRUE(fs::is_directory(folder / "a/b/c"));
    EXPECT_TRUE(capture.Write(0, gradient(2, 2)));
    EXPECT_TRUE(fs::exists(folder / "a/b/c/frame_000000.png"));
}

TEST(FrameCapture, AFolderThatCannotBeCreatedIsReportedAndNothingIsWritten) {
    TemporaryFolder folder;
    std::ofstream(folder / "plain-file") << "not a folder";
    std::ostringstream errors;
    FrameCapture capture(errors);
    EXPECT_FALSE(capture.Open(folder / "plain-file/frames"));
    EXPECT_FALSE(capture.Active());
    EXPECT_NE(errors.str().find("cannot create the capture folder"), std::string::npos);
    EXPECT_NE(errors.str().find("plain-file/frames"), std::string::npos);
    EXPECT_FALSE(capture.Write(0, gradient(2, 2)));
}

TEST(FrameCapture, APathThatIsAFileIsRejected) {
    TemporaryFolder folder;
    std::ofstream(folder / "plain-file") << "not a folder";
    std::ostringstream errors;
    FrameCapture capture(errors);
    EXPECT_FALSE(capture.Open(folder / "plain-file"));
    EXPECT_NE(errors.str().find("is not a folder"), std::string::npos);
}

TEST(FrameCapture, AFailedWriteIsReportedOnceAndEndsCapturing) {
    TemporaryFolder folder;
    std::ostringstream errors;
    FrameCapture capture(errors);
    ASSERT_TRUE(capture.Open(folder / "frames"));
    fs::remove_all(folder / "frames");

    EXPECT_FALSE(capture.Write(0, gradient(2, 2)));
    EXPECT_NE(errors.str().find("cannot write"), std::string::npos);
    EXPECT_NE(errors.str().find("frame_000000.png"), std::string::npos);
    EXPECT_FALSE(capture.Active());
    const std::string firstReport = errors.str();
    EXPECT_FALSE(capture.Write(1, gradient(2, 2)));
    EXPECT_EQ(errors.str(), firstReport);
}

TEST(FrameCapture, AnImageWhosePixelsDoNotMatchItsSizeIsNotWritten) {
    TemporaryFolder folder;
    std::ostringstream errors;
    FrameCapture capture(errors);
    ASSERT_TRUE(capture.Open(folder.Path()));
    Platform::Image broken = gradient(4, 4);
    broken.rgb.resize(10);
    EXPECT_FALSE(capture.Write(0, broken));
    EXPECT_FALSE(fs::exists(folder / "frame_000000.png"));
    EXPECT_NE(errors.str().find("error"), std::string::npos);
}
