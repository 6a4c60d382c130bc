#pragma once
// A tally kept in a text file, one entry a line, fields separated by commas:
//
//   length,BLOCK,METRES        log length of block 1–4
//   bound,K,CM                 lower bound of grading row 0–5 (row 0: its shown upper bound)
//   upper,K,CM                 shown upper bound of grading row 1–4
//   price,K,PRICE              unit price of grading row 0–5
//   row,BLOCK,ROW,DIAMETER,COUNT   tally row 1–20 of block 1–4
//   remarks,TEXT               the remarks (the rest of the line)
//   remarks+,TEXT              a further line of the remarks
//   buyer,TEXT / vehicle,TEXT / scaler,TEXT / species,TEXT
//                              the buyer's name, vehicle number, scaler and
//                              species shown on the bill (the rest of the line)
//   date,YYYY-MM-DD            the day the bill shows (today when not given)
//   party,TEXT / detail,TEXT   the party caption (购货商: or 供货商:) and the
//                              detail caption (运输车号:, 联系人: …) the buyer
//                              and vehicle lines are shown beside
//
// Blank lines and lines starting with # are skipped. Values are kept as the
// texts they are, as if typed into the window.
#include "tally/sheet.h"

#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace lanqi {

class TallyFileError : public std::runtime_error {
  public:
    TallyFileError(int line, const std::string& what);
    int line() const { return line_; }

  private:
    int line_;
};

// Where the file set a text (remarks, buyer...): the line, and the field or
// list it went into, for messages about that text later.
struct TextLine {
    int line;
    FieldId field;
    std::optional<Combo> combo; // the list, when it is one
};

struct FiledDate {
    int year, month, day;
};

// What a file gave besides the sheet's fields: the lines of its texts, in
// file order, and the day the bill shows, when it names one.
struct TallyFile {
    std::vector<TextLine> texts;
    std::optional<FiledDate> date;
};

// Reads the whole file into the sheet; throws TallyFileError naming the line
// of the first bad entry, before anything is set.
TallyFile readTallyFile(std::istream& in, TallySheet& sheet);

} // namespace lanqi
