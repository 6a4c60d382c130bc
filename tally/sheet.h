#pragma once
// The tally sheet: the whole state of the main window as data. Every text
// field is addressed by its control-array name and element index, every
// drop-down list by its name, and the two written captions by label name.
// A write that changes a field's text notifies that array's handlers at once,
// inside the write; writing the text a field already holds notifies nothing.
// The sheet's own rules hear of a change first; watchers (a window's mirror)
// after them, so they see the text the rules left.
#include "tally/subscription.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace lanqi {

// Text-box control arrays.
enum class Arr {
    Text1,
    Text2,
    Text3,
    Text4,
    Text5,
    Text6,
    Text7,
    Text8,
    Text9,
    Text10,
    Text11,
    Text12,
    Text13,
    Text25,
    Text26,
    Text27,
    Text28,
    Text29,
    Text30,
    Text31,
};
inline constexpr int kArrCount = 20;

// Drop-down lists (there is no Combo3).
enum class Combo {
    Combo1,
    Combo2,
    Combo4,
    Combo5,
    Combo6,
    Combo7,
    Combo8,
    Combo9,
    Combo10,
    Combo11,
    Combo12,
    Combo13,
    Combo14,
};
inline constexpr int kComboCount = 13;

// Labels whose captions the program writes.
enum class Label { Label22, Label23 };
inline constexpr int kLabelCount = 2;

struct FieldId {
    Arr arr;
    int index;
    friend bool operator==(FieldId, FieldId) = default;
};

// Name and element range of each control array (elements outside the range
// do not exist). Text13 is a single control, addressed as element 0.
struct ArrayShape {
    Arr arr;
    std::string_view name;
    int first, last;
    bool single = false;
};

const ArrayShape& shapeOf(Arr arr);
std::string_view nameOf(Combo combo);
std::string_view nameOf(Label label);
bool exists(FieldId field);
// Every field of the window, array by array in index order.
const std::vector<FieldId>& allFields();

// "Text3(7)", or "Text13" for the single field.
std::string fieldName(FieldId field);
// Parses a field name as written by fieldName; nothing for an unknown name.
std::optional<FieldId> parseFieldName(std::string_view name);
std::optional<Combo> parseComboName(std::string_view name);

// A drop-down list: its items, the selected entry (-1 for none), the text of
// its edit part and whether it is shown.
struct ComboState {
    std::vector<std::string> items;
    int selected = -1;
    std::string text;
    bool visible = true;
};

class TallySheet {
  public:
    using FieldHandler = std::function<void(int index)>;
    using ComboHandler = std::function<void(Combo)>;
    using LabelHandler = std::function<void(Label)>;

    // A sheet with the window's initial texts, lists and visibility.
    TallySheet();
    TallySheet(const TallySheet&) = delete;
    TallySheet& operator=(const TallySheet&) = delete;

    const std::string& text(FieldId field) const {
        return const_cast<TallySheet*>(this)->slot(field);
    }
    const std::string& text(Arr arr, int index) const { return text({arr, index}); }
    // Sets the text; a real change notifies the array's rules, then its
    // watchers, each in the order they were added. Throws std::logic_error
    // for a missing element.
    void setText(FieldId field, std::string_view value);
    void setText(Arr arr, int index, std::string_view value) { setText({arr, index}, value); }
    // Replaces `count` bytes at byte `offset` of the text by `with`, notifying as
    // setText does; one keystroke in a long text costs what the keystroke
    // changes. Throws std::logic_error for a range beyond the text.
    void replaceText(FieldId field, size_t offset, size_t count, std::string_view with);
    // A rule of the sheet, kept as long as the sheet. Rules may write fields,
    // also of their own array (nested passes).
    void addRule(Arr arr, FieldHandler rule);
    // Watches an array's changes until the handle ends.
    [[nodiscard]] Subscription onChange(Arr arr, FieldHandler handler);

    const ComboState& combo(Combo combo) const;
    void setComboText(Combo combo, std::string_view value);
    // Sets item k; the list grows by one when k equals its item count.
    void setComboItem(Combo combo, int k, std::string_view value);
    // Selects entry k (its item becomes the list's text); -1 selects none.
    void selectComboEntry(Combo combo, int k);
    void setComboVisible(Combo combo, bool visible);
    // Any change of a list's items, selection, text or visibility.
    [[nodiscard]] Subscription onComboChange(ComboHandler handler);

    const std::string& caption(Label label) const;
    void setCaption(Label label, std::string_view value);
    [[nodiscard]] Subscription onCaptionChange(LabelHandler handler);

  private:
    struct ArrayFields {
        int first = 0, last = -1;
        std::vector<std::string> texts;
        std::vector<FieldHandler> rules;
        HandlerList<int> watchers;
    };
    std::string& slot(FieldId field) {
        ArrayFields& a = arrays_[static_cast<size_t>(field.arr)];
        if (field.index < a.first || field.index > a.last) throwMissing(field);
        return a.texts[field.index];
    }
    [[noreturn]] static void throwMissing(FieldId field);
    void comboChanged(Combo combo);
    void fieldChanged(FieldId field);

    std::array<ArrayFields, kArrCount> arrays_;
    std::array<ComboState, kComboCount> combos_;
    std::array<std::string, kLabelCount> captions_;
    HandlerList<Combo> comboWatchers_;
    HandlerList<Label> labelWatchers_;
};

// The arrays the user types numbers into: diameters, piece counts, log
// lengths, grading bounds and unit prices.
constexpr bool isNumberInput(Arr arr) {
    switch (arr) {
    case Arr::Text1:
    case Arr::Text2:
    case Arr::Text4:
    case Arr::Text5:
    case Arr::Text7:
    case Arr::Text8:
    case Arr::Text10:
    case Arr::Text11:
    case Arr::Text25:
    case Arr::Text26:
    case Arr::Text27:
    case Arr::Text30:
        return true;
    default:
        return false;
    }
}

// Column arrays of tally block b (0–3).
struct Block {
    Arr diameter, count, volume;
    int lengthIndex; // element of Text25
};
inline constexpr std::array<Block, 4> kBlocks{{
    {Arr::Text1, Arr::Text2, Arr::Text3, 0},
    {Arr::Text4, Arr::Text5, Arr::Text6, 1},
    {Arr::Text7, Arr::Text8, Arr::Text9, 2},
    {Arr::Text10, Arr::Text11, Arr::Text12, 3},
}};
inline constexpr int kTallyRows = 20; // rows 0–19; element 20 is the block total
inline constexpr int kTotalRow = 20;
inline constexpr int kGradingRows = 6; // rows 0–5; element 6 is the grand total
inline constexpr int kGrandTotal = 6;

} // namespace lanqi
