// Schema files: reading, writing, and applying them to the catalogue and to
// a TA directory.

#include <gtest/gtest.h>

#include <algorithm>

#include "base/FileSystem.h"
#include "catalogue/Schemas.h"
#include "tests/catalogue/CatalogueBuilder.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using kloxmere::test::CatalogueBuilder;
using kloxmere::test::RecordingServices;
using kloxmere::test::TempDir;

namespace {

using Strings = std::vector<std::string>;

Strings filesIn(const TempDir& dir) {
    Strings names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        names.push_back(Utf8FromPath(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

TEST(ParseSchema, TakesTheFileNameOfEachNonEmptyLineWhateverEndsIt) {
    EXPECT_EQ(ParseSchema(std::string_view("a.hpi\rb.hpi\nc.hpi\r\n\r\n\n\rC:\\Dir\\\r\nd.hpi")),
              (Strings{"a.hpi", "b.hpi", "c.hpi", "d.hpi"}));
    EXPECT_EQ(ParseSchema(std::string_view("C:\\Other\\rev.xhpi\r\n/x/caf\xe9.ufo\r\n rev.hpi")),
              (Strings{"rev.xhpi", "caf\xc3\xa9.ufo", " rev.hpi"}));  // taken unchanged
}

TEST(ExportSchema, WritesTheArchiveNamesInListOrderInWindows1252WithCrLf) {
    CatalogueBuilder b;
    for (const char* path : {"/ta/rev.hpi", "/ta/mod.xufo", "/ta/caf\xc3\xa9.ufo"}) {
        b.archive(path);
    }
    TempDir dir;
    ASSERT_TRUE(ExportSchema(b.catalogue, dir.file("best.uls")));
    std::string expected = "rev.hpi\r\nmod.xufo\r\ncaf\xe9.ufo\r\n";
    EXPECT_EQ(dir.read("best.uls"), std::vector<std::uint8_t>(expected.begin(), expected.end()));
    std::string reason;
    EXPECT_FALSE(ExportSchema(b.catalogue, dir.file("missing/best.uls"), &reason));
    EXPECT_FALSE(reason.empty());
}

TEST(ImportSchema, BringsCataloguedArchivesToTheStateOfTheirLastLine) {
    TempDir ta;
    CatalogueBuilder b;
    for (const char* name : {"rev.hpi", "mod.xufo", "other.ufo", "twice.ccx"}) {
        ta.write(name, name);
        b.archive(ta.file(name));
    }
    ta.write("a.uls", "REV.XHPI\r\nD:\\Dir\\mod.ufo\r\nmissing.hpi\r\ntwice.xccx\r\ntwice.ccx\r\n");
    RecordingServices services;
    SchemaResult result = ImportSchema(b.catalogue, services, ta.file("a.uls"));
    EXPECT_TRUE(result.read);
    // twice.ccx ends as it began: its two lines cost no rename.
    EXPECT_EQ(result.renames.renamed.size(), 2u);
    EXPECT_EQ(filesIn(ta), (Strings{"a.uls", "mod.ufo", "other.ufo", "rev.xhpi", "twice.ccx"}));
    EXPECT_EQ(b.catalogue.ArchiveList.Item(1)->HPI->Filename, ta.file("rev.xhpi"));
    EXPECT_EQ(services.calls, (Strings{"busy on", "busy off"}));

    SchemaResult unreadable = ImportSchema(b.catalogue, services, ta.file("gone.uls"));
    EXPECT_FALSE(unreadable.read);
    EXPECT_TRUE(unreadable.renames.renamed.empty());
    EXPECT_TRUE(services.messages.empty());
}

TEST(ApplySchemaFile, RenamesTheDirectorysArchivesAndSaysSo) {
    TempDir ta;
    for (const char* name : {"rev.hpi", "totala2.xccx", "MOD.UFO", "keep.ufo", "notes.txt"}) {
        ta.write(name, name);
    }
    TempDir elsewhere;
    elsewhere.write("best.uls", "rev.xhpi\r\nTOTALA2.CCX\r\nD:\\x\\mod.xufo\r\nnotes.xtxt\r\n");
    RecordingServices services;
    SchemaResult result = ApplySchemaFile(elsewhere.file("best.uls"), ta.str(), services);
    EXPECT_EQ(result.renames.renamed.size(), 3u);
    EXPECT_EQ(filesIn(ta),
              (Strings{"MOD.xUFO", "keep.ufo", "notes.txt", "rev.xhpi", "totala2.ccx"}));
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text,
              "The schema 'best.uls' has been applied to your TA directory.");
    EXPECT_EQ(services.messages[0].title, "Kloxmere");
    EXPECT_EQ(services.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(services.calls.front(), "busy on");
    EXPECT_EQ(services.calls.back(), "busy off");
}

TEST(ApplySchemaFile, AnUnreadableSchemaIsReportedInsteadOfApplied) {
    TempDir ta;
    ta.write("rev.hpi", "rev");
    RecordingServices services;
    SchemaResult result = ApplySchemaFile(ta.file("gone.uls"), ta.str(), services);
    EXPECT_FALSE(result.read);
    EXPECT_EQ(filesIn(ta), Strings{"rev.hpi"});
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text.rfind("The schema 'gone.uls' could not be read: ", 0), 0u);
    EXPECT_EQ(services.busyDepth, 0);

    ta.write("best.uls", "rev.xhpi\r\n");
    ApplySchemaFile(ta.file("best.uls"), "", services);  // no TA directory: not the root
    EXPECT_EQ(services.messages.back().text,
              "The schema 'best.uls' could not be applied: the TA directory is not known.");
    EXPECT_TRUE(ta.exists("rev.hpi"));
}
