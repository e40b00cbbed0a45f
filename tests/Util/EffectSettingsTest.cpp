#include <Engine/Util/EffectSettings.h>
#include <gtest/gtest.h>

using Engine::Util::EffectSettings;

TEST(EffectSettings, DefaultsShowTheFinalPicture) {
    const EffectSettings settings;
    EXPECT_FALSE(settings.DrawWireFrame());
    EXPECT_TRUE(settings.getFXAAon());
    EXPECT_TRUE(settings.getHDRshowToneMappedColor());
    EXPECT_TRUE(settings.getHDRshowToneMappedGlow());
    EXPECT_FALSE(settings.getHDRshowColor());
    EXPECT_FALSE(settings.getHDRshowGlow());
    EXPECT_EQ(settings.getHDRfade2Black(), 1.0f);
}

TEST(EffectSettings, FadeToBlackStoresExactlyZeroOrOne) {
    EffectSettings settings;
    settings.setHDRfade2Black(false);
    EXPECT_EQ(settings.getHDRfade2Black(), 0.0f);
    settings.setHDRfade2Black(true);
    EXPECT_EQ(settings.getHDRfade2Black(), 1.0f);
}

TEST(EffectSettings, FlagsAreIndependent) {
    EffectSettings settings;
    settings.setHDRshowColor(true);
    settings.setHDRshowGlow(true);
    settings.setHDRshowToneMappedGlow(false);
    settings.DrawWireFrame(true);
    settings.setFXAAon(false);
    EXPECT_TRUE(settings.getHDRshowColor());
    EXPECT_TRUE(settings.getHDRshowGlow());
    EXPECT_TRUE(settings.getHDRshowToneMappedColor());
    EXPECT_FALSE(settings.getHDRshowToneMappedGlow());
    EXPECT_TRUE(settings.DrawWireFrame());
    EXPECT_FALSE(settings.getFXAAon());
}

TEST(EffectSettings, SingletonIsSharedWithTheFreeFunction) {
    EffectSettings* settings = EffectSettings::Instance();
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings, getEffectSettingsInstance());
}
