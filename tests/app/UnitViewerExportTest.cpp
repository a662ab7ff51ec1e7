#include "app/UnitViewerExport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "app/Session.h"
#include "archive/HpiArchive.h"
#include "archive/clsHPI.h"
#include "base/FileSystem.h"
#include "tests/support/Installation.h"
#include "tests/support/RecordingServices.h"
#include "tests/support/TempDir.h"
#include "units/clsUnit.h"

using namespace kloxmere;
using namespace kloxmere::test;
namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

Bytes programFile(const char* name) {
    return ReadFileBytes(fs::path(KLOXMERE_PROGRAM_FILES_DIR) / name);
}

std::vector<std::string> namesIn(const std::string& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(PathFromUtf8(directory))) {
        names.push_back(Utf8FromPath(entry.path().filename()));
    }
    std::sort(names.begin(), names.end());
    return names;
}

struct ViewerExportTest : ::testing::Test {
    TempDir temp;
    std::string program = temp.str() + "program/";
    std::string viewerDir = temp.str() + "viewer";
    std::string viewer = viewerDir + "/view.exe";
    RecordingServices services;
    Session session{services, temp.str() + "home/", program};
    clsHPI hpi;
    clsUnit unit;

    void SetUp() override {
        for (const char* dir : {"program", "viewer", "home"})
            fs::create_directories(temp.path() / dir);
        for (const char* name : {kArmTemplateName, kCorTemplateName}) {
            fs::copy_file(fs::path(KLOXMERE_PROGRAM_FILES_DIR) / name,
                          PathFromUtf8(program) / name);
        }
        temp.write("viewer/view.exe", "MZ");
        hpi.Filename = temp.file("units.ufo");
        unit.HPI = &hpi;
        unit.Name = "ARMCOM";
        WriteArchive(hpi.Filename, {{"objects3d\\ARMCOM.3do", "the model"},
                                    {"scripts\\ARMCOM.cob", "the script"},
                                    {"units\\ARMCOM.fbi", UnitText("ARMCOM")}});
    }
};

}  // namespace

TEST_F(ViewerExportTest, WritesBothTestArchivesAndStartsTheViewerInItsDirectory) {
    session.UnitViewPath = viewer;
    const fs::path before = fs::current_path();
    EXPECT_EQ(ExportToViewer(session, unit), ViewerExportResult::Started);

    for (const auto& [prefix, name, definition] :
         {std::tuple{"arm", "arm_klox.ufo", kArmTemplateName},
          std::tuple{"cor", "cor_klox.ufo", kCorTemplateName}}) {
        SCOPED_TRACE(name);
        auto archive = HpiArchive::open(PathFromUtf8(viewerDir) / name);
        std::vector<std::string> paths;
        for (const HpiFileInfo& file : archive->listFiles()) paths.push_back(file.path);
        const std::string p = prefix;
        std::vector<std::string> expected{"objects3d\\" + p + "KLOX.3do",
                                          "scripts\\" + p + "KLOX.cob", "units\\" + p + "KLOX.fbi"};
        std::sort(paths.begin(), paths.end());
        EXPECT_EQ(paths, expected);
        EXPECT_EQ(archive->extract("units\\" + p + "KLOX.fbi"), programFile(definition));
        EXPECT_EQ(archive->extract("scripts\\" + p + "KLOX.cob"), bytesOf("the script"));
        EXPECT_EQ(archive->extract("objects3d\\" + p + "KLOX.3do"), bytesOf("the model"));
    }
    ASSERT_EQ(services.launches.size(), 1u);
    EXPECT_EQ(services.launches[0].operation, "open");
    EXPECT_EQ(services.launches[0].path, viewer);
    EXPECT_EQ(services.launches[0].parameters, "");
    EXPECT_EQ(services.launches[0].workingDirectory, viewerDir);
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(services.busyDepth, 0);
    // Nothing else was written anywhere, and our working directory stayed.
    EXPECT_EQ(namesIn(viewerDir),
              (std::vector<std::string>{"arm_klox.ufo", "cor_klox.ufo", "view.exe"}));
    EXPECT_EQ(namesIn(program), (std::vector<std::string>{kArmTemplateName, kCorTemplateName}));
    EXPECT_EQ(fs::current_path(), before);
}

TEST_F(ViewerExportTest, AnEmptyOrStaleViewerPathAsksForTheViewer) {
    EXPECT_EQ(ExportToViewer(session, unit), ViewerExportResult::NoViewer);
    ASSERT_EQ(services.messages.size(), 1u);
    EXPECT_EQ(services.messages[0].text, "Select your TA unit viewer...");
    EXPECT_EQ(services.messages[0].icon, MessageIcon::Information);
    ASSERT_EQ(services.fileDialogs.size(), 1u);
    EXPECT_EQ(services.fileDialogs[0].mode, FileDialogMode::Open);
    EXPECT_EQ(services.fileDialogs[0].fileName, "");
    EXPECT_EQ(services.fileDialogs[0].defaultExtension, "exe");
    EXPECT_EQ(services.fileDialogs[0].filter, "Applications (*.exe)|*.exe");
    EXPECT_EQ(session.UnitViewPath, "");
    EXPECT_EQ(namesIn(viewerDir), std::vector<std::string>{"view.exe"});
    EXPECT_TRUE(services.launches.empty());

    session.UnitViewPath = viewerDir + "/gone.exe";  // deleted since it was chosen
    services.fileAnswers.push_back(viewer);
    EXPECT_EQ(ExportToViewer(session, unit), ViewerExportResult::Started);
    EXPECT_EQ(services.messages.size(), 2u);
    EXPECT_EQ(session.UnitViewPath, viewer);
    EXPECT_EQ(services.launches.size(), 1u);
}

TEST_F(ViewerExportTest, AMissingScriptBuildsNothingAndStartsNothing) {
    WriteArchive(hpi.Filename, {{"objects3d\\ARMCOM.3do", "the model"}});
    temp.write("viewer/arm_klox.ufo", "an earlier archive");
    session.UnitViewPath = viewer;
    EXPECT_EQ(ExportToViewer(session, unit), ViewerExportResult::Failed);
    EXPECT_TRUE(services.launches.empty());
    EXPECT_TRUE(services.messages.empty());
    EXPECT_EQ(services.busyDepth, 0);
    EXPECT_EQ(temp.read("viewer/arm_klox.ufo"), bytesOf("an earlier archive"));
    EXPECT_EQ(namesIn(viewerDir), (std::vector<std::string>{"arm_klox.ufo", "view.exe"}));
}

TEST_F(ViewerExportTest, AMissingModelOrTemplateBuildsNothing) {
    WriteArchive(hpi.Filename, {{"scripts\\ARMCOM.cob", "the script"}});
    EXPECT_FALSE(SaveTestHPI(unit, viewerDir + "/arm_klox.ufo", "arm", program, services));

    WriteArchive(hpi.Filename, {{"objects3d\\ARMCOM.3do", "m"}, {"scripts\\ARMCOM.cob", "s"}});
    fs::remove(PathFromUtf8(program) / kCorTemplateName);
    EXPECT_TRUE(SaveTestHPI(unit, viewerDir + "/arm_klox.ufo", "ARM", program, services));
    EXPECT_FALSE(SaveTestHPI(unit, viewerDir + "/cor_klox.ufo", "cor", program, services));
    EXPECT_EQ(namesIn(viewerDir), (std::vector<std::string>{"arm_klox.ufo", "view.exe"}));
    EXPECT_EQ(services.busyDepth, 0);
}

TEST(ViewerTemplatesTest, AreUnitDefinitionsOfTheTestUnit) {
    for (const auto& [name, unitName, side] : {std::tuple{kArmTemplateName, "armKLOX", "ARM"},
                                               std::tuple{kCorTemplateName, "corKLOX", "CORE"}}) {
        Bytes bytes = programFile(name);
        clsUnit unit;
        ReadUnitDefinition(unit, std::string(bytes.begin(), bytes.end()));
        EXPECT_EQ(unit.Name, unitName);
        EXPECT_EQ(unit.Side, side);
        EXPECT_FALSE(unit.Callname.empty());
        EXPECT_FALSE(unit.MaxDamage.empty());
    }
}
