#include <AudioAnalysis.h>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <set>
#include <sndfile.h>

namespace {

double dB(double level) {
    return 20.0 * std::log10(level);
}

// The tracks the build wrote, read once for all tests.
class MusicTracksTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        tracks[0] = readAudio(MUSIC_DIR "/track1.wav");
        tracks[1] = readAudio(MUSIC_DIR "/track2.wav");
    }
    static Audio tracks[2];
};
Audio MusicTracksTest::tracks[2];

TEST_F(MusicTracksTest, FormatAndDurations) {
    for (Audio const& track : tracks) {
        EXPECT_EQ(track.sampleRate, 44100);
        EXPECT_EQ(track.channels, 2);
        EXPECT_EQ(track.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
    }
    // Track 1 plays from 9.5 s to the world switch at 96.5 s, track 2 to the end near 234 s.
    EXPECT_GE(tracks[0].seconds(), 88.0);
    EXPECT_LE(tracks[0].seconds(), 95.0);
    EXPECT_GE(tracks[1].seconds(), 140.0);
    EXPECT_LE(tracks[1].seconds(), 150.0);
}

TEST_F(MusicTracksTest, PeaksHaveHeadroomAndLoudnessMatches) {
    double levels[2];
    for (int t = 0; t < 2; ++t) {
        EXPECT_LT(dB(peak(tracks[t], 0.0, tracks[t].seconds())), -1.0) << "track " << t + 1;
        levels[t] = dB(rms(tracks[t], 0.0, tracks[t].seconds()));
        EXPECT_GT(levels[t], -24.0) << "track " << t + 1;
        EXPECT_LT(levels[t], -16.0) << "track " << t + 1;
    }
    EXPECT_LT(std::abs(levels[0] - levels[1]), 3.0);
}

TEST_F(MusicTracksTest, NoClicksAndSilentEnds) {
    for (Audio const& track : tracks) {
        // A note switched on or off without an envelope jumps by its own amplitude;
        // the tracks measure about 0.02 of their peak.
        EXPECT_LT(largestThirdDifference(track), 0.05 * peak(track, 0.0, track.seconds()));
        EXPECT_LT(peak(track, 0.0, 0.05), 0.003);
        EXPECT_LT(peak(track, -0.05, track.seconds()), 0.003);
    }
}

TEST_F(MusicTracksTest, SecondTrackFadesOut) {
    Audio const& track = tracks[1];
    double previous = rms(track, -12.0, -10.0);
    for (double t = -10.0; t < 0.0; t += 2.0) {
        double const level = rms(track, t, t + 2.0);
        EXPECT_LT(level, previous) << t << " s from the end";
        previous = level;
    }
    EXPECT_LT(dB(previous), dB(rms(track, 0.0, track.seconds())) - 20.0);
}

TEST_F(MusicTracksTest, HarmonyMovesWithinTheKey) {
    // D natural minor for the ruins, A minor with its raised seventh for the hall.
    std::set<int> const keys[2] = {{2, 4, 5, 7, 9, 10, 0}, {9, 11, 0, 2, 4, 5, 7, 8}};
    for (int t = 0; t < 2; ++t) {
        std::set<int> dominants;
        int changes = 0, previous = -1, windows = 0;
        for (double s = 4.0; s + 1.0 < tracks[t].seconds() - 8.0; s += 5.0, ++windows) {
            std::array<double, 12> const energy = chroma(tracks[t], s, s + 1.0);
            int const top = int(std::max_element(energy.begin(), energy.end()) - energy.begin());
            EXPECT_TRUE(keys[t].count(top)) << "track " << t + 1 << " at " << s << " s: " << top;
            dominants.insert(top);
            changes += previous >= 0 && top != previous;
            previous = top;
        }
        EXPECT_GE(dominants.size(), 4u) << "track " << t + 1;
        EXPECT_GE(changes, windows / 3) << "track " << t + 1;
    }
}

TEST_F(MusicTracksTest, EnergyInTheBassAndAbove400Hz) {
    for (int t = 0; t < 2; ++t) {
        // The pad alone gives about 0.3 below 150 Hz (the bass adds 0.25 to it) and
        // 0.2 above 400 Hz (the arpeggio and the melody add 0.15).
        double const total = rms(tracks[t], 0.0, tracks[t].seconds());
        EXPECT_GT(bandRms(tracks[t], 150.0, true), 0.45 * total) << "track " << t + 1;
        EXPECT_GT(bandRms(tracks[t], 400.0, false), 0.28 * total) << "track " << t + 1;
    }
}

} // namespace
