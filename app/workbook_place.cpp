#include "app/workbook_place.h"

namespace lanqi {

WorkbookChoice chooseWorkbook(const WorkbookPlaces& places, const WorkbookFacts& facts) {
    if (facts.besideExists && facts.programFolderWritable) return {places.besideProgram, {}};
    const bool haveUsersFolder = !places.usersCopy.empty();
    if (haveUsersFolder && facts.usersCopyExists) return {places.usersCopy, {}};
    if (haveUsersFolder && facts.besideExists) return {places.usersCopy, places.besideProgram};
    if (haveUsersFolder && facts.shippedExists) return {places.usersCopy, places.shipped};
    // No place to copy to: the shipped workbook is read, and a save says
    // why it cannot write there.
    if (facts.besideExists) return {places.besideProgram, {}};
    if (facts.shippedExists) return {places.shipped, {}};
    return {places.besideProgram, {}}; // missing: the start-up load says so
}

} // namespace lanqi
