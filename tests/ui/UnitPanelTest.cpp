// The unit panel in the main window: what a unit's Display shows, the
// drawing surface on a real picture panel, and the viewer export from the
// window's commands.

#include <QAccessible>
#include <QLabel>
#include <QListWidget>
#include <QtTest>
#include <filesystem>

#include "app/GamePaletteSource.h"
#include "app/UnitViewerExport.h"
#include "graphics/modPCX.h"
#include "tests/support/Installation.h"
#include "tests/ui/MainWindowFixture.h"
#include "ui/QtFastWin.h"
#include "ui/UnitPanel.h"
#include "units/UnitView.h"
#include "units/clsUnit.h"

using namespace kloxmere;
using kloxmere::test::MainWindowFixture;
namespace fs = std::filesystem;

namespace {

QStringList weaponLines(const ui::UnitPanel& panel) {
    QStringList lines;
    for (int i = 0; i < panel.LstWeapons->count(); ++i) lines << panel.LstWeapons->item(i)->text();
    return lines;
}

// The columns of `image` holding any drawn (opaque) pixel: first and last.
std::pair<int, int> drawnColumns(const QImage& image) {
    int first = -1, last = -1;
    for (int x = 0; x < image.width(); ++x) {
        for (int y = 0; y < image.height(); ++y) {
            if (qAlpha(image.pixel(x, y)) != 0) {
                if (first < 0) first = x;
                last = x;
                break;
            }
        }
    }
    return {first, last};
}

QRgb colourOf(const GamePalette& palette, std::uint8_t index) {
    return qRgb(palette[index].red, palette[index].green, palette[index].blue);
}

void selectUnit(MainWindowFixture& f, const std::string& name) {
    const QStringList names = f.names();
    const int row = static_cast<int>(names.indexOf(QString::fromStdString(name)));
    QVERIFY(row >= 0);
    f.window->ListUnits_ItemClick(row);
}

void addPicturelessUnit(MainWindowFixture& f) {
    test::WriteArchive(f.ta + "nopic.ufo", {{"units\\NOPIC.fbi", test::UnitText("NOPIC")}});
}

void shipTemplates(MainWindowFixture& f) {
    for (const char* name : {kArmTemplateName, kCorTemplateName}) {
        fs::copy_file(fs::path(KLOXMERE_PROGRAM_FILES_DIR) / name, f.temp.path() / name);
    }
    fs::create_directories(f.temp.path() / "viewer");
    f.temp.write("viewer/view.exe", "MZ");
}

}  // namespace

class UnitPanelTest : public QObject {
    Q_OBJECT
  private slots:
    void theCurrentUnitIsShownAtStartInTheGameColours() {
        MainWindowFixture f;
        QVERIFY(f.started);
        const clsUnit& unit = *f.catalogue().CurrentUnit;
        ui::UnitPanel& panel = *f.window->PicView;
        QCOMPARE(f.window->StatusPanel2->text(), QString::fromStdString(unit.Name));
        QCOMPARE(panel.LblUnitname->text(), QString::fromStdString(unit.Callname));
        QStringList expected;
        for (const std::string& line : WeaponLines(unit)) expected << QString::fromStdString(line);
        QCOMPARE(weaponLines(panel), expected);
        QVERIFY(!expected.isEmpty());

        PcxPicture picture;
        QVERIFY(LoadPCX(*ReadUnitPicture(unit), picture));
        const GamePalette palette = LoadSessionPalette(*f.session);
        const QImage& shown = panel.PicUnit->picture();
        const int left = CentredLeft(panel.PicUnit->ScaleWidth(), 96);
        QVERIFY(panel.PicUnit->contentsRect().height() >= 96);  // the whole picture fits
        QCOMPARE(drawnColumns(shown), std::make_pair(left, left + 95));
        for (auto [x, y] : {std::pair{0, 0}, {95, 0}, {40, 17}, {95, 95}}) {
            const std::uint8_t index = picture.PcxData[static_cast<std::size_t>(y * 96 + x)];
            QCOMPARE(shown.pixel(left + x, y), colourOf(palette, index));
        }
        // The picture survives repainting.
        const QImage grabbed = panel.PicUnit->grab().toImage();
        const int frame = panel.PicUnit->frameWidth();
        QCOMPARE(grabbed.pixel(frame + left + 40, frame + 17), shown.pixel(left + 40, 17));
    }

    void aSecondUnitReplacesEveryFieldAndAPicturelessOneEmptiesThePanel() {
        MainWindowFixture f(addPicturelessUnit);
        ui::UnitPanel& panel = *f.window->PicView;
        selectUnit(f, "ARMCOM");
        QCOMPARE(weaponLines(panel), QStringList{"#1 - ARM_LASER"});
        const QImage first = panel.PicUnit->picture();
        selectUnit(f, "ARMSOLAR");
        QCOMPARE(f.window->StatusPanel2->text(), QString("ARMSOLAR"));
        QCOMPARE(panel.LblUnitname->text(), QString("Solar Collector"));
        QVERIFY(weaponLines(panel).isEmpty());
        QVERIFY(!panel.PicUnit->picture().isNull());
        QVERIFY(panel.PicUnit->picture() != first);

        selectUnit(f, "NOPIC");
        QCOMPARE(panel.LblUnitname->text(), QString("NOPIC unit"));
        QVERIFY(panel.PicUnit->picture().isNull());
        QVERIFY(!fs::exists("temp.pcx"));
        QCOMPARE(f.services.busyDepth, 0);
    }

    void thePictureIsCentredInThePanelsInnerWidth() {
        MainWindowFixture f;
        ui::PictureBox& box = *f.window->PicView->PicUnit;
        box.resize(100 + 2 * box.frameWidth(), box.height());
        QCOMPARE(box.ScaleWidth(), 100);
        f.window->DisplayCurrentUnit();
        QCOMPARE(drawnColumns(box.picture()), std::make_pair(2, 97));
        QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(&box);
        QVERIFY(reader);
        QCOMPARE(reader->role(), QAccessible::Graphic);  // read out as a picture
    }

    void theUnitCommandFollowsTheArchiveInMenuButtonAndScreenReader() {
        MainWindowFixture f;
        QAction* button = f.window->toolbarButton("unit");
        f.window->mnuUnitsEnable->trigger();
        QCOMPARE(f.window->mnuUnitsEnable->text(), QString("Enable &Unit"));
        QCOMPARE(button->toolTip(), QString("Enable unit"));
        auto* tool = f.window->findChild<QWidget*>("Toolbar.unit");
        QVERIFY(tool);
        QCOMPARE(tool->accessibleName(), QString("Enable unit"));
        f.window->mnuUnitsEnable->trigger();
        QCOMPARE(f.window->mnuUnitsEnable->text(), QString("Disable &Unit"));
        QCOMPARE(button->toolTip(), QString("Disable unit"));
        QCOMPARE(tool->accessibleName(), QString("Disable unit"));
    }

    void copiesAtFullSizeOrByDroppingRowsAndColumns() {
        ui::PictureBox box;
        box.resize(40 + 2 * box.frameWidth(), 40 + 2 * box.frameWidth());
        GamePalette palette = GreyRampPalette();
        palette[1] = {0, 0, 255, 0};  // red
        clsFastWin surface(palette);
        QVERIFY(surface.Initialize(4, 4, &box));
        for (int i = 0; i < 16; ++i) surface.addrBits[i] = static_cast<std::uint8_t>(i);
        // A 1 x 1 source rectangle still copies the whole destination size.
        surface.Show(box, 10, 10, 4, 4, 0, 0, 1, 1, false);
        QCOMPARE(drawnColumns(box.picture()), std::make_pair(10, 13));
        QCOMPARE(box.picture().pixel(11, 10), colourOf(palette, 1));
        QCOMPARE(box.picture().pixel(13, 13), colourOf(palette, 15));

        box.Cls();
        QVERIFY(box.picture().isNull());
        surface.Show(box, 0, 0, 8, 8, 0, 0, 4, 4, true);  // doubled: each pixel twice
        QCOMPARE(box.picture().pixel(2, 0), colourOf(palette, 1));
        QCOMPARE(box.picture().pixel(3, 1), colourOf(palette, 1));
        QCOMPARE(box.picture().pixel(7, 7), colourOf(palette, 15));
        surface.Show(box, 20, 0, 2, 2, 0, 0, 4, 4, true);  // halved: columns dropped, no blend
        for (int x : {20, 21}) {
            const QRgb pixel = box.picture().pixel(x, 0);
            QVERIFY(pixel == colourOf(palette, 0) || pixel == colourOf(palette, 1) ||
                    pixel == colourOf(palette, 2) || pixel == colourOf(palette, 3));
        }
    }

    void f5AndADoubleClickOnUnitsOrConflictsExportToTheViewer() {
        MainWindowFixture f(shipTemplates);
        f.session->UnitViewPath = f.temp.str() + "viewer/view.exe";
        f.window->mnuViewUnitViewer->trigger();
        QCOMPARE(f.services.launches.size(), 1u);
        QCOMPARE(f.services.launches[0].workingDirectory, f.temp.str() + "viewer");
        QVERIFY(f.temp.exists("viewer/arm_klox.ufo"));
        QVERIFY(f.temp.exists("viewer/cor_klox.ufo"));
        f.window->ListUnits_DblClick();
        f.window->TabView->setCurrentIndex(1);
        f.window->ListUnits_DblClick();
        QCOMPARE(f.services.launches.size(), 3u);
        f.window->TabView->setCurrentIndex(2);
        f.window->ListUnits_DblClick();
        QCOMPARE(f.services.launches.size(), 3u);
        QCOMPARE(f.services.busyDepth, 0);
    }
};

QTEST_MAIN(UnitPanelTest)
#include "UnitPanelTest.moc"
