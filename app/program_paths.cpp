#include "app/program_paths.h"

#include "app/workbook_place.h"
#include "platform/executable_folder.h"
#include "platform/folder_access.h"
#include "platform/user_data_folder.h"
#include "platform/utf8_path.h"
#include "workbook/cell_map.h"
#include "workbook/statement.h"

namespace lanqi {

namespace fs = std::filesystem;

namespace {

// A system install: the program in <prefix>/bin, the shipped files in
// <prefix>/share/lanqi.
fs::path sharedFolder(const fs::path& program) {
    return program.parent_path() / "share" / "lanqi";
}

} // namespace

fs::path statementTemplatePath() {
    const fs::path name = platform::pathFromUtf8(kStatementTemplate);
    const fs::path program = platform::executableFolder();
    std::error_code ec;
    if (fs::is_regular_file(program / name, ec)) return program / name;
    return sharedFolder(program) / name;
}

fs::path workbookPath() {
    const fs::path name = platform::pathFromUtf8(cellmap::kWorkbookFile);
    const fs::path program = platform::executableFolder();
    const fs::path data = platform::userDataFolder();
    WorkbookPlaces places{program / name, sharedFolder(program) / name,
                          data.empty() ? fs::path() : data / "lanqi" / name};
    std::error_code ec;
    WorkbookFacts facts{fs::is_regular_file(places.besideProgram, ec),
                        platform::folderWritable(program), fs::is_regular_file(places.shipped, ec),
                        !places.usersCopy.empty() && fs::exists(places.usersCopy, ec)};
    WorkbookChoice choice = chooseWorkbook(places, facts);
    if (choice.copyFrom.empty()) return choice.use;
    // A copy that cannot be made leaves the shipped workbook to be read.
    fs::create_directories(choice.use.parent_path(), ec);
    if (!fs::copy_file(choice.copyFrom, choice.use, fs::copy_options::skip_existing, ec) && ec)
        return choice.copyFrom;
    // The shipped file may be read-only; the user's copy is theirs to change.
    fs::permissions(choice.use, fs::perms::owner_write, fs::perm_options::add, ec);
    return choice.use;
}

} // namespace lanqi
