#include "Data/Support/AssetWriter.h"
#include "Support/Output.h"

#include <Engine/Data/Format/FormatConstants.h>
#include <Engine/Data/LightLookupFile.h>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <string>
#include <vector>

using Engine::Data::LightLookupData;
using Engine::Data::LightLookupFile;
namespace Format = Engine::Data::Format;
using TestAssets::Bytes;
using TestSupport::captureStdout;

namespace {

// The fields of a valid 3 x 2 file, all distinct so that a mix-up shows.
struct Fields {
    unsigned int width = 3;
    unsigned int height = 2;
    float header[6] = {0.0f, 4.0f, 0.25f, 1.5f, 0.04f, 1.25f}; // ranges, beta, max A
    std::vector<float> a{0.0f, 0.125f, 0.25f, 0.5f, 0.75f, 1.0f};
    float maxB = 2.5f;
    std::vector<float> b{0.0f, 0.0625f, 0.375f, 0.625f, 0.875f, 1.0f};
};

Bytes encode(Fields const& f) {
    TestAssets::Writer w;
    w.u16(f.width).u16(f.height);
    for (float v : f.header) {
        w.f32(v);
    }
    for (float v : f.a) {
        w.f32(v);
    }
    w.f32(f.maxB);
    for (float v : f.b) {
        w.f32(v);
    }
    return w.bytes;
}

float const nan = std::numeric_limits<float>::quiet_NaN();
float const inf = std::numeric_limits<float>::infinity();

} // namespace

TEST(LightLookupFile, ParsesEveryField) {
    Fields const f;
    Bytes const bytes = encode(f);
    ASSERT_EQ(bytes.size(), Format::LIGHT_LOOKUP_FIXED_SIZE + 8 * 6);
    LightLookupData data;
    std::string const out = captureStdout(
        [&] { EXPECT_TRUE(LightLookupFile::Parse(bytes.data(), bytes.size(), data, "l.vlp")); });
    EXPECT_EQ(out, "");
    EXPECT_EQ(data.width, 3);
    EXPECT_EQ(data.height, 2);
    EXPECT_EQ(data.minAB, 0.0f);
    EXPECT_EQ(data.maxAB, 4.0f);
    EXPECT_EQ(data.minC, 0.25f);
    EXPECT_EQ(data.maxC, 1.5f);
    EXPECT_EQ(data.beta, 0.04f);
    EXPECT_EQ(data.maxA, 1.25f);
    EXPECT_EQ(data.maxB, 2.5f);
    EXPECT_EQ(data.a, f.a);
    EXPECT_EQ(data.b, f.b);
}

TEST(LightLookupFile, RejectsMalformedFilesWithOneFatalLine) {
    struct Case {
        std::function<void(Fields&, Bytes&)> damage;
        char const* detail;
    };
    auto field = [](std::function<void(Fields&)> change) {
        return [change](Fields& f, Bytes& bytes) {
            change(f);
            bytes = encode(f);
        };
    };
    Case const cases[] = {
        {[](Fields&, Bytes& b) { b.resize(1); }, "the file ends inside the width at byte 0 (1 "},
        {[](Fields&, Bytes& b) { b.resize(3); }, "the file ends inside the height at byte 2"},
        {[](Fields&, Bytes& b) { b.resize(20); },
         "the file holds 20 bytes, tables of 3 x 2 need 80"},
        {[](Fields&, Bytes& b) { b.pop_back(); }, "the file holds 79 bytes"},
        {[](Fields&, Bytes& b) { b.push_back(0); }, "the file holds 81 bytes"},
        {field([](Fields& f) { f.width = 1; }), "the width 1 at byte 0 is below 2"},
        {field([](Fields& f) { f.height = 0; }), "the height 0 at byte 2 is below 2"},
        {field([](Fields& f) { f.width = 2; }), "the file holds 80 bytes, tables of 2 x 2 need 64"},
        {field([](Fields& f) { f.header[0] = nan; }),
         "the minimum of the A/B range at byte 4 is NaN, not a finite number"},
        {field([](Fields& f) { f.header[3] = -inf; }),
         "the maximum of the C range at byte 16 is -inf"},
        {field([](Fields& f) { f.header[1] = 0.0f; }), "the A/B range 0 to 0 is empty"},
        {field([](Fields& f) { f.header[3] = 0.125f; }), "the C range 0.25 to 0.125 is empty"},
        {field([](Fields& f) { f.header[4] = 0.0f; }), "beta at byte 20 is 0, not above 0"},
        {field([](Fields& f) { f.header[4] = -0.5f; }), "beta at byte 20 is -0.5, not above 0"},
        {field([](Fields& f) { f.header[5] = 0.0f; }), "the largest value of table A at byte 24"},
        {field([](Fields& f) { f.maxB = inf; }), "the largest value of table B at byte 52 is inf"},
        {field([](Fields& f) { f.a[4] = 1.5f; }),
         "table A value at x 1, y 1 (byte 44) is 1.5, outside [0, 1]"},
        {field([](Fields& f) { f.b[0] = -0.25f; }), "table B value at x 0, y 0 (byte 56) is -0.25"},
        {field([](Fields& f) { f.b[5] = nan; }), "table B value at x 2, y 1 (byte 76) is NaN"},
    };
    for (Case const& c : cases) {
        Fields f;
        Bytes bytes = encode(f);
        c.damage(f, bytes);
        LightLookupData data;
        data.width = 77;
        bool ok = true;
        std::string const out = captureStdout([&] {
            ok = LightLookupFile::Parse(bytes.data(), bytes.size(), data, "dir/lightlookup.vlp");
        });
        EXPECT_FALSE(ok) << c.detail;
        EXPECT_EQ(
            out.rfind(std::string("FATAL Corrupt light lookup table in dir/lightlookup.vlp: ") +
                          c.detail,
                      0),
            0u)
            << out;
        EXPECT_EQ(out.find('\n'), out.size() - 1) << out;
        EXPECT_EQ(data.width, 77) << "a failed parse changed the data: " << c.detail;
    }
}
