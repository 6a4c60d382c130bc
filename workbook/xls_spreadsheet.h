#pragma once
// The workbook engine behind the spreadsheet interface: opens an .xls file,
// reads and writes cells as text and saves the file in place, leaving
// everything it did not write as it was.
#include "workbook/spreadsheet.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace lanqi {

// How a saved file is shown to the user instead of handing it to the desktop
// (a viewer that shows it at once).
using ShowFile = std::function<void(const std::filesystem::path&)>;

class XlsApplication : public SpreadsheetApplication {
  public:
    explicit XlsApplication(ShowFile show = {});
    std::unique_ptr<Workbook> open(const std::filesystem::path& path) override;
    std::unique_ptr<Showing> show(const std::filesystem::path& path) override;

  private:
    ShowFile show_;
};

// Opens a copy of the workbook `source`, whose save() writes `saveAs`; the
// source is never written.
std::unique_ptr<Workbook> openXlsCopy(const std::filesystem::path& source,
                                      const std::filesystem::path& saveAs);

// Opens a workbook from bytes already in memory; `path` is where save()
// writes and what messages name.
std::unique_ptr<Workbook> openXlsWorkbook(const std::filesystem::path& path,
                                          std::vector<std::uint8_t> bytes);

} // namespace lanqi
