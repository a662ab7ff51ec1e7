// The command line: which arguments name a schema to apply.

#include <gtest/gtest.h>

#include "app/CommandLine.h"

using namespace kloxmere;

TEST(CommandLine, IsTheArgumentsJoinedByBlanks) {
    EXPECT_EQ(JoinArguments({}), "");
    EXPECT_EQ(JoinArguments({"my", "schema.uls"}), "my schema.uls");
    EXPECT_EQ(JoinArguments({"", "a.uls"}), " a.uls");
}

TEST(CommandLine, NamesASchemaWhenItEndsInUlsInAnyCase) {
    EXPECT_EQ(SchemaFileArgument(""), std::nullopt);
    EXPECT_EQ(SchemaFileArgument("\"/ta/my schema.uls\""), "/ta/my schema.uls");
    EXPECT_EQ(SchemaFileArgument("/ta/my schema.uls"), "/ta/my schema.uls");  // joined blanks
    EXPECT_EQ(SchemaFileArgument("C:\\TA\\SCHEMA~1.ULS"), "C:\\TA\\SCHEMA~1.ULS");
    EXPECT_EQ(SchemaFileArgument("abc.xuls"), "abc.xuls");
    EXPECT_EQ(SchemaFileArgument("notes.txt"), std::nullopt);
    EXPECT_EQ(SchemaFileArgument("--verbose"), std::nullopt);
    EXPECT_EQ(SchemaFileArgument("\"a.uls\" \"b.txt\""), std::nullopt);
}

TEST(CommandLine, TakesOneTrailingQuoteAwayThenOneLeadingOne) {
    EXPECT_EQ(SchemaFileArgument("a.uls\""), "a.uls");
    EXPECT_EQ(SchemaFileArgument("\"a.uls"), "a.uls");
    EXPECT_EQ(SchemaFileArgument("\"\"a.uls\"\""), std::nullopt);  // ends in a quote still
    EXPECT_EQ(SchemaFileArgument("\""), std::nullopt);
}
