#pragma once
// Where the program keeps its workbook. A portable folder keeps it beside
// the executable; a system install, whose folders the user cannot write,
// keeps each user's own copy in the user's data folder, made from the
// shipped one at the first start and never overwritten afterwards.
#include <filesystem>

namespace lanqi {

struct WorkbookPlaces {
    std::filesystem::path besideProgram; // the executable's folder
    std::filesystem::path shipped;       // a system install's shared copy
    std::filesystem::path usersCopy;     // empty when the user has no data folder
};

// What the system says of those places.
struct WorkbookFacts {
    bool besideExists = false;
    bool programFolderWritable = false;
    bool shippedExists = false;
    bool usersCopyExists = false;
};

struct WorkbookChoice {
    std::filesystem::path use;
    std::filesystem::path copyFrom; // copied to `use` first when not empty
};

WorkbookChoice chooseWorkbook(const WorkbookPlaces& places, const WorkbookFacts& facts);

} // namespace lanqi
