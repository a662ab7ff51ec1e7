// Schema files: reading, writing, and applying them to the catalogue and to
// a TA directory.

#include <gtest/gtest.h>

#include <algorithm>

#include "catalogue/Schemas.h"
#include "tests/catalogue/CatalogueBuilder.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/TempDir.h"

using namespace kloxmere;
using kloxmere::test::CatalogueBuilder;
using kloxmere::test::RecordingServices;
using kloxmere::test::TempDir;

namespace {

std::vector<std::string> filesIn(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// A catalogue over real archive files in `dir`.
struct CataloguedInstallation {
    TempDir dir;
    CatalogueBuilder b;

    explicit CataloguedInstallation(std::initializer_list<const char*> archives) {
        for (const char* name : archives) {
            dir.write(name, name);
            b.archive(dir.file(name));
        }
    }
};

}  // namespace

TEST(ParseSchema, TakesTheFileNameOfEachNonEmptyLineWhateverEndsIt) {
    EXPECT_EQ(ParseSchema(std::string_view("rev.hpi\r\nmod.xufo\r\n")),
              (std::vector<std::string>{"rev.hpi", "mod.xufo"}));
    EXPECT_EQ(ParseSchema(std::string_view("a.hpi\rb.hpi\nc.hpi\r\n\r\n\n\rd.hpi")),
              (std::vector<std::string>{"a.hpi", "b.hpi", "c.hpi", "d.hpi"}));
    EXPECT_EQ(ParseSchema(std::string_view("C:\\Other\\Dir\\rev.xhpi\r\n/home/x/mod.ufo\r\n")),
              (std::vector<std::string>{"rev.xhpi", "mod.ufo"}));
    EXPECT_EQ(ParseSchema(std::string_view("C:\\Dir\\\r\n\r\n")), std::vector<std::string>{});
    EXPECT_EQ(ParseSchema(std::string_view("caf\xe9.ufo\r\n")),
              std::vector<std::string>{"caf\xc3\xa9.ufo"});  // Windows-1252 é
    EXPECT_EQ(ParseSchema(std::string_view(" rev.hpi \r\n")),
              std::vector<std::string>{" rev.hpi "});  // lines are taken unchanged
}

TEST(ExportSchema, WritesTheArchiveNamesInListOrderWithCrLf) {
    CatalogueBuilder b;
    b.archive("/ta/rev.hpi");
    b.archive("/ta/mod.xufo");
    b.archive("/ta/caf\xc3\xa9.ufo");
    TempDir dir;
    ASSERT_TRUE(ExportSchema(b.catalogue, dir.file("best.uls")));
    std::string expected = "rev.hpi\r\nmod.xufo\r\ncaf\xe9.ufo\r\n";
    EXPECT_EQ(dir.read("best.uls"), std::vector<std::uint8_t>(expected.begin(), expected.end()));

    CatalogueBuilder none;
    ASSERT_TRUE(ExportSchema(none.catalogue, dir.file("best.uls")));
    EXPECT_TRUE(dir.read("best.uls").empty());
}

TEST(ExportSchema, AFailedExportSaysSo) {
    CatalogueBuilder b;
    b.archive("/ta/rev.hpi");
    TempDir dir;
    std::string reason;
    EXPECT_FALSE(ExportSchema(b.catalogue, dir.file("missing/best.uls"), &reason));
    EXPECT_FALSE(reason.empty());
}

TEST(ImportSchema, BringsTheCataloguedArchivesBackToTheSchema) {
    CataloguedInstallation ta{"rev.hpi", "mod.xufo", "other.ufo"};
    ASSERT_TRUE(ExportSchema(ta.b.catalogue, ta.dir.file("saved.uls")));
    ta.b.catalogue.ArchiveList.Item(1)->HPI->SetEnabled(false);
    ta.b.catalogue.ArchiveList.Item(2)->HPI->SetEnabled(true);
    ta.dir.write("other.uls", "something.hpi\r\n");  // names no installed archive

    RecordingServices services;
    SchemaResult result = ImportSchema(ta.b.catalogue, services, ta.dir.file("saved.uls"));
    EXPECT_TRUE(result.read);
    EXPECT_EQ(result.renames.renamed.size(), 2u);
    EXPECT_EQ(ta.b.catalogue.ArchiveList.Item(1)->HPI->Filename, ta.dir.file("rev.hpi"));
    EXPECT_EQ(ta.b.catalogue.ArchiveList.Item(2)->HPI->Filename, ta.dir.file("mod.xufo"));
    EXPECT_EQ(services.calls, (std::vector<std::string>{"busy on", "busy off"}));
    EXPECT_TRUE(services.messages.empty());

    // Applying it again, or a schema naming nothing installed, renames nothing.
    EXPECT_TRUE(
        ImportSchema(ta.b.catalogue, services, ta.dir.file("saved.uls")).renames.renamed.empty());
    EXPECT_TRUE(
        ImportSchema(ta.b.catalogue, services, ta.dir.file("other.uls")).renames.renamed.empty());
    EXPECT_EQ(filesIn(ta.dir), (std::vector<std::string>{"mod.xufo", "other.ufo", "other.uls",
                                                         "rev.hpi", "saved.uls"}));
}

TEST(ImportSchema, NamesMatchWithoutCaseAndWithoutTheirDirectory) {
    CataloguedInstallation ta{"rev.hpi", "mod.ufo"};
    ta.dir.write("a.uls", "REV.XHPI\r\nC:\\Other\\Dir\\mod.xufo\r\n");
    NullPlatformServices services;
    SchemaResult result = ImportSchema(ta.b.catalogue, services, ta.dir.file("a.uls"));
    EXPECT_EQ(result.renames.renamed.size(), 2u);
    EXPECT_FALSE(ta.b.catalogue.ArchiveList.Item(1)->HPI->Enabled());
    EXPECT_FALSE(ta.b.catalogue.ArchiveList.Item(2)->HPI->Enabled());
    EXPECT_TRUE(ta.dir.exists("rev.xhpi"));
    EXPECT_TRUE(ta.dir.exists("mod.xufo"));
}

TEST(ImportSchema, AnArchiveNamedTwiceEndsInTheStateOfItsLastLine) {
    CataloguedInstallation ta{"rev.hpi"};
    ta.dir.write("twice.uls", "rev.xhpi\r\nrev.hpi\r\n");
    NullPlatformServices services;
    SchemaResult result = ImportSchema(ta.b.catalogue, services, ta.dir.file("twice.uls"));
    EXPECT_EQ(result.renames.renamed.size(), 2u);
    EXPECT_EQ(ta.b.catalogue.ArchiveList.Item(1)->HPI->Filename, ta.dir.file("rev.hpi"));
}

TEST(ImportSchema, AnUnreadableSchemaRenamesNothing) {
    CataloguedInstallation ta{"rev.hpi"};
    RecordingServices services;
    SchemaResult result = ImportSchema(ta.b.catalogue, services, ta.dir.file("missing.uls"));
    EXPECT_FALSE(result.read);
    EXPECT_FALSE(result.problem.empty());
    EXPECT_TRUE(result.renames.renamed.empty());
    EXPECT_EQ(services.busyDepth, 0);
    EXPECT_TRUE(ta.dir.exists("rev.hpi"));
}

TEST(ApplySchemaFile, RenamesTheDirectorysArchivesAndSaysSo) {
    TempDir ta;
    for (const char* name : {"rev.hpi", "totala2.xccx", "MOD.UFO", "keep.ufo", "notes.txt"}) {
        ta.write(name, name);
    }
    TempDir elsewhere;
    elsewhere.write("best.uls", "rev.xhpi\r\n\r\nTOTALA2.CCX\r\nD:\\x\\mod.xufo\r\nnotes.xtxt\r\n");
    RecordingServices services;
    SchemaResult result = ApplySchemaFile(elsewhere.file("best.uls"), ta.str(), services);
    EXPECT_TRUE(result.read);
    EXPECT_EQ(result.renames.renamed.size(), 3u);
    EXPECT_EQ(filesIn(ta), (std::vector<std::string>{"MOD.xUFO", "keep.ufo", "notes.txt",
                                                     "rev.xhpi", "totala2.ccx"}));
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text,
              "The schema 'best.uls' has been applied to your TA directory.");
    EXPECT_EQ(services.messages[0].title, "Kloxmere");
    EXPECT_EQ(services.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(services.calls.front(), "busy on");
    EXPECT_EQ(services.calls.back(), "busy off");
}

TEST(ApplySchemaFile, EachLineSeesTheNameLeftByTheLinesBefore) {
    TempDir ta;
    ta.write("rev.hpi", "rev");
    ta.write("twice.uls", "rev.xhpi\r\nrev.hpi\r\nrev.xhpi\r\n");
    RecordingServices services;
    SchemaResult result = ApplySchemaFile(ta.file("twice.uls"), ta.str(), services);
    EXPECT_EQ(result.renames.renamed.size(), 3u);
    EXPECT_TRUE(ta.exists("rev.xhpi"));
    EXPECT_FALSE(ta.exists("rev.hpi"));
}

TEST(ApplySchemaFile, ARenameOntoAnExistingFileIsRefusedAndBothStay) {
    TempDir ta;
    ta.write("rev.hpi", "enabled");
    ta.write("rev.xhpi", "disabled");
    ta.write("off.uls", "rev.xhpi\r\n");
    RecordingServices services;
    SchemaResult result = ApplySchemaFile(ta.file("off.uls"), ta.str(), services);
    EXPECT_TRUE(result.renames.renamed.empty());
    ASSERT_EQ(result.renames.refused.size(), 1u);
    EXPECT_EQ(ta.read("rev.hpi"), std::vector<std::uint8_t>({'e', 'n', 'a', 'b', 'l', 'e', 'd'}));
    EXPECT_TRUE(ta.exists("rev.xhpi"));
    EXPECT_EQ(services.messages.size(), 1u);
}

TEST(ApplySchemaFile, AnUnreadableSchemaIsReportedInsteadOfApplied) {
    TempDir ta;
    ta.write("rev.hpi", "rev");
    RecordingServices services;
    SchemaResult result = ApplySchemaFile(ta.file("gone.uls"), ta.str(), services);
    EXPECT_FALSE(result.read);
    EXPECT_TRUE(ta.exists("rev.hpi"));
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text.rfind("The schema 'gone.uls' could not be read: ", 0), 0u)
        << services.messages[0].text;
    EXPECT_EQ(services.messages[0].icon, MessageIcon::Exclamation);
    EXPECT_EQ(services.busyDepth, 0);
}
