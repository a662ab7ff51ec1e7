#include "units/ArchiveNames.h"

#include <gtest/gtest.h>

using namespace kloxmere;

TEST(ArchiveNames, TheFirstDotDecidesTheState) {
    EXPECT_TRUE(IsEnabledName("C:\\TA\\rev.hpi"));
    EXPECT_FALSE(IsEnabledName("C:\\TA\\rev.XUFO"));
    EXPECT_TRUE(IsEnabledName("readme"));
    EXPECT_FALSE(IsEnabledName("my.xunits.hpi"));
    EXPECT_FALSE(IsEnabledName("/srv/ta/rev.xccx"));
}

TEST(ArchiveNames, EnabledNameDropsTheX) {
    EXPECT_EQ(EnabledName("C:\\TA\\rev.xccx"), "rev.ccx");
    EXPECT_EQ(EnabledName("rev.ccx"), "rev.ccx");
    EXPECT_EQ(EnabledName("C:\\TA\\readme"), "readme");
    EXPECT_EQ(EnabledName("/srv/ta/Mod.XUFO"), "Mod.UFO");
}

TEST(ArchiveNames, ToggledNameSwitchesBetweenTheForms) {
    EXPECT_EQ(ToggledName("rev.hpi"), "rev.xhpi");
    EXPECT_EQ(ToggledName("rev.xhpi"), "rev.hpi");
    EXPECT_EQ(ToggledName("a.b.xhpi"), "a.xhpi");  // the first dot is followed by b
    EXPECT_EQ(ToggledName("readme"), "readme");
    EXPECT_EQ(ToggledName("/srv/ta/my.mod.ufo"), "my.xufo");
}
