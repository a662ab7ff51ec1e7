// The unit, weapon and menu-entry records: weapon linking and conflict states.

#include <gtest/gtest.h>

#include <deque>
#include <memory>

#include "archive/clsHPI.h"
#include "base/Collection.h"
#include "units/clsUnit.h"
#include "units/clsWeapon.h"

using namespace kloxmere;

namespace {

// A few units and weapons wired by hand; archives enabled or disabled by name.
struct Records {
    clsHPI enabledArchive, disabledArchive;
    std::vector<std::unique_ptr<clsUnit>> units;
    std::vector<std::unique_ptr<clsWeapon>> weapons;
    Collection<clsWeapon*> weaponList;

    Records() {
        enabledArchive.Filename = "/ta/mod.ufo";
        disabledArchive.Filename = "/ta/old.xufo";
    }
    clsUnit& unit(const std::string& name, bool enabled, std::vector<std::string> weaponNames) {
        units.push_back(std::make_unique<clsUnit>());
        units.back()->Name = name;
        units.back()->HPI = enabled ? &enabledArchive : &disabledArchive;
        units.back()->WeaponNames.assign(weaponNames.begin(), weaponNames.end());
        return *units.back();
    }
    clsWeapon& weapon(const std::string& name) {
        weapons.push_back(std::make_unique<clsWeapon>());
        weapons.back()->Name = name;
        weaponList.Add(weapons.back().get(), name);
        return *weapons.back();
    }
    void attachAll() {
        for (auto& u : units) u->AttachWeapons(weaponList);
    }
    // Gives `a` and `b` the same weapon number, as the conflict pass would find it.
    void conflict(clsWeapon& a, clsWeapon& b) {
        groups.push_back({&a, &b});
        a.Conflicts.assign(&groups.back(), &a);
        b.Conflicts.assign(&groups.back(), &b);
    }
    std::deque<WeaponPartners::Group> groups;
};

}  // namespace

TEST(AttachWeapons, ANameTwiceLinksOnce) {
    Records r;
    clsWeapon& laser = r.weapon("ARM_LASER");
    clsUnit& unit = r.unit("ARMLLT", true, {"ARM_LASER", "arm_laser", "NOT_THERE"});
    r.attachAll();
    unit.AttachWeapons(r.weaponList);  // attaching again repeats nothing
    ASSERT_EQ(unit.Weapons.Count(), 1u);
    EXPECT_EQ(unit.Weapons.Item(1), &laser);
    EXPECT_EQ(laser.Units.Count(), 1u);
    EXPECT_EQ(unit.WeaponNames.size(), 3u);  // the unknown name stays a name
}

TEST(AttachWeapons, UnitsOfTheSameNameShareOneSlotOnTheWeapon) {
    Records r;
    clsWeapon& gun = r.weapon("GUN");
    r.unit("TANK", true, {"GUN"});
    r.unit("tank", false, {"GUN"});
    r.attachAll();
    EXPECT_EQ(gun.Units.Count(), 1u);
}

TEST(ConflictState, EnabledCarrierWinsOverDisabledInEitherOrder) {
    for (bool enabledFirst : {true, false}) {
        Records r;
        clsWeapon& mine = r.weapon("MINE");
        clsWeapon& theirs = r.weapon("THEIRS");
        r.conflict(mine, theirs);
        clsUnit& unit = r.unit("A", true, {"MINE"});
        r.unit(enabledFirst ? "ON" : "OFF", enabledFirst, {"THEIRS"});
        r.unit(enabledFirst ? "OFF" : "ON", !enabledFirst, {"THEIRS"});
        r.attachAll();
        EXPECT_EQ(unit.Conflict(), -1) << enabledFirst;
    }
}

TEST(ConflictState, DisabledCarriersOnlyGiveTwoAndNoCarrierGivesZero) {
    Records r;
    clsWeapon& mine = r.weapon("MINE");
    clsWeapon& theirs = r.weapon("THEIRS");
    clsWeapon& orphan = r.weapon("ORPHAN");
    r.conflict(mine, theirs);
    clsUnit& unit = r.unit("A", true, {"MINE"});
    clsUnit& other = r.unit("B", false, {"THEIRS"});
    clsUnit& lonely = r.unit("C", true, {"ORPHAN"});
    clsWeapon& nobodys = r.weapon("NOBODYS");
    r.conflict(orphan, nobodys);
    r.attachAll();
    EXPECT_EQ(unit.Conflict(), 2);
    EXPECT_EQ(other.Conflict(), -1);  // its partner A is enabled, its own state plays no part
    EXPECT_EQ(lonely.Conflict(), 0);  // a conflicting weapon that no unit carries
    EXPECT_FALSE(other.Enabled());
    EXPECT_TRUE(unit.Enabled());
}

TEST(ConflictDescription, NamesEveryCarrierOfEveryConflictingWeapon) {
    Records r;
    clsWeapon& armGun = r.weapon("ARM_GUN");
    clsWeapon& coreGun = r.weapon("CORE_GUN");
    r.conflict(armGun, coreGun);
    clsUnit& a = r.unit("A", true, {"ARM_GUN"});
    r.unit("B", true, {"CORE_GUN"});
    r.unit("C", false, {"CORE_GUN"});
    clsUnit& quiet = r.unit("D", true, {});
    r.attachAll();
    EXPECT_EQ(a.ConflictDescription(),
              "Conflicts with B and C (Weapon ARM_GUN is conflicting with weapon CORE_GUN). ");
    EXPECT_EQ(quiet.ConflictDescription(), "");
}
