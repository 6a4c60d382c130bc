#pragma once
// An in-memory spreadsheet: sheets of text cells, a saved copy standing for
// the file, and switches that make each operation fail.
#include "workbook/spreadsheet.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace lanqi::testing {

using Cells = std::map<std::pair<int, int>, std::string>;
using Sheets = std::map<std::string, Cells, std::less<>>;

class FakeSpreadsheet : public SpreadsheetApplication {
  public:
    Sheets file;       // what the workbook file holds
    int failOpens = 0; // the next this many opens fail
    bool failSave = false;
    bool failShow = false;
    int opens = 0, saves = 0;
    std::vector<std::filesystem::path> shown;
    std::vector<std::pair<int, int>> written; // every cell written, in order

    std::unique_ptr<Workbook> open(const std::filesystem::path& path) override;
    // The program started to show the file is still starting for this many
    // looks, then fails; -1: it starts well at once.
    int showFailsAfter = -1;
    std::unique_ptr<Showing> show(const std::filesystem::path& path) override;

    std::string& cell(std::string_view sheet, int row, int column) {
        return file[std::string(sheet)][{row, column}];
    }
};

class FakeWorksheet : public Worksheet {
  public:
    FakeWorksheet(Cells& cells, FakeSpreadsheet& app) : cells_(cells), app_(app) {}
    std::string cell(int row, int column) const override {
        auto it = cells_.find({row, column});
        return it == cells_.end() ? "" : it->second;
    }
    void setCell(int row, int column, std::string_view text) override {
        cells_[{row, column}] = text;
        app_.written.emplace_back(row, column);
    }

  private:
    Cells& cells_;
    FakeSpreadsheet& app_;
};

class FakeWorkbook : public Workbook {
  public:
    FakeWorkbook(FakeSpreadsheet& app) : app_(app), working_(app.file) {}
    Worksheet& worksheet(std::string_view name) override {
        auto it = working_.find(name);
        if (it == working_.end())
            throw WorkbookError(WorkbookError::Kind::NoSheet, "没有工作表 " + std::string(name));
        sheets_.emplace_back(std::make_unique<FakeWorksheet>(it->second, app_));
        return *sheets_.back();
    }
    void save() override {
        if (app_.failSave) throw WorkbookError(WorkbookError::Kind::SaveFailed, "磁盘已满");
        app_.file = working_;
        ++app_.saves;
    }

  private:
    FakeSpreadsheet& app_;
    Sheets working_;
    std::vector<std::unique_ptr<FakeWorksheet>> sheets_;
};

class FakeShowing : public Showing {
  public:
    explicit FakeShowing(int failsAfter) : looksLeft_(failsAfter) {}
    // Once decided, it stays so.
    State state() override {
        if (looksLeft_ < 0) return State::Shown;
        if (looksLeft_ == 0) return State::Failed;
        --looksLeft_;
        return State::Watching;
    }
    std::string failure() const override { return "xdg-open 启动后出错退出（退出码 4）"; }

  private:
    int looksLeft_;
};

inline std::unique_ptr<Showing> FakeSpreadsheet::show(const std::filesystem::path& path) {
    if (failShow) throw WorkbookError(WorkbookError::Kind::ShowFailed, "没有找到表格程序");
    shown.push_back(path);
    return std::make_unique<FakeShowing>(showFailsAfter);
}

inline std::unique_ptr<Workbook> FakeSpreadsheet::open(const std::filesystem::path& path) {
    ++opens;
    if (failOpens > 0) {
        --failOpens;
        throw WorkbookError(WorkbookError::Kind::Missing, "无法打开 " + path.string());
    }
    return std::make_unique<FakeWorkbook>(*this);
}

} // namespace lanqi::testing
