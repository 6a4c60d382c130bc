#pragma once
#include "editing/blanking.h"
#include "tally/sheet.h"
#include "tally/tick.h"

#include <gtest/gtest.h>

namespace lanqi::testing {

// A sheet with the blanking rules attached, as on the window.
class TallyTest : public ::testing::Test {
  protected:
    TallyTest() { attachBlankingRules(sheet); }

    void setBounds(std::initializer_list<const char*> bounds) {
        int k = 0;
        for (const char* b : bounds) sheet.setText(Arr::Text26, k++, b);
    }
    // The usual grading: rows from 14, 20, 26, 32 and 38 cm.
    void setStandardBounds() { setBounds({"", "14", "20", "26", "32", "38"}); }
    void setRow(int block, int row, const char* diameter, const char* count) {
        sheet.setText(kBlocks[block].diameter, row, diameter);
        sheet.setText(kBlocks[block].count, row, count);
    }
    const std::string& text(Arr arr, int index) const { return sheet.text(arr, index); }
    void tick(int times = 1) {
        for (int i = 0; i < times; ++i) Timer1_Timer(sheet);
    }
    // Names of the fields that are not empty.
    std::vector<std::string> nonEmptyFields() const {
        std::vector<std::string> out;
        for (FieldId f : allFields())
            if (!sheet.text(f).empty()) out.push_back(fieldName(f));
        return out;
    }

    TallySheet sheet;
};

} // namespace lanqi::testing
