// Where the workbook is kept, for each state of the program's folder, the
// shipped copy and the user's copy.
#include "app/workbook_place.h"

#include <gtest/gtest.h>

namespace lanqi {
namespace {

namespace fs = std::filesystem;

const WorkbookPlaces kPlaces{"/opt/lanqi/bin/账单明细.xls", "/opt/lanqi/share/lanqi/账单明细.xls",
                             "/home/a/.local/share/lanqi/账单明细.xls"};

TEST(WorkbookPlace, PortableFoldersKeepItBesideTheProgramElseTheUserHasACopy) {
    const fs::path beside = kPlaces.besideProgram, shipped = kPlaces.shipped,
                   users = kPlaces.usersCopy, none;
    struct Case {
        WorkbookFacts facts; // beside, writable, shipped, user's copy
        fs::path use, copyFrom;
    };
    const Case cases[] = {
        {{true, true, false, false}, beside, none},   // the portable folder, the build folder
        {{true, true, true, true}, beside, none},     // portable wins over an older copy
        {{false, true, true, false}, users, shipped}, // a system install, first start
        {{false, false, true, false}, users, shipped},
        {{false, false, true, true}, users, none},    // later starts never copy again
        {{true, false, false, false}, users, beside}, // a portable folder on read-only disk
        {{true, false, false, true}, users, none},
        {{false, true, false, false}, beside, none}, // nothing anywhere: the load says so
        {{false, false, false, true}, users, none},
    };
    for (const Case& c : cases) {
        WorkbookChoice choice = chooseWorkbook(kPlaces, c.facts);
        EXPECT_EQ(choice.use, c.use) << &c - cases;
        EXPECT_EQ(choice.copyFrom, c.copyFrom) << &c - cases;
    }
}

TEST(WorkbookPlace, WithoutAUsersFolderTheShippedWorkbookIsRead) {
    WorkbookPlaces places = kPlaces;
    places.usersCopy.clear();
    EXPECT_EQ(chooseWorkbook(places, {false, false, true, false}).use, places.shipped);
    EXPECT_EQ(chooseWorkbook(places, {true, false, false, false}).use, places.besideProgram);
    EXPECT_TRUE(chooseWorkbook(places, {false, false, true, false}).copyFrom.empty());
}

} // namespace
} // namespace lanqi
