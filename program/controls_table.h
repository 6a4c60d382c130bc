#pragma once
// The main window as data: every control with its kind, name, index, place in
// twips, static caption, look, tab position and tab stop, and the two timers.
// Where controls overlap, labels lie under every other control, and of two
// labels the later row lies over the earlier one (the link Label8 over the end
// of the date Label22).
// Texts, list items and visibility of fields and lists live in the tally sheet;
// the window shows them from there.
#include <array>
#include <cstddef>
#include <string_view>

namespace lanqi::ui {

enum class Kind { Frame, TextBox, Memo, Label, Combo, Button };

// Colours by role; the system ones come from the desktop's palette.
enum class Colour {
    Inherit,
    WindowText,
    WindowBackground,
    ActiveCaption,
    ActiveBorder,
    ButtonShadow,
    GreyText,
    HighlightText,
    Red,
    Blue,
};

enum class Font { Default, Song, SongBold, Song12 };
// The size of a 宋体 font in tenths of a point; the default font is the
// desktop's own.
constexpr int tenthsOfPoint(Font font) {
    return font == Font::Song12 ? 120 : 105;
}
enum class Align { Left, Centre, Right };

struct Look {
    Colour text = Colour::Inherit;
    Colour back = Colour::Inherit;
    Font font = Font::Default;
    Align align = Align::Left;
};

struct Twips {
    int left = 0, top = 0, width = 0, height = 0;
};

inline constexpr int kTwipsPerInch = 1440;
// An ordinary screen's dots per inch: 15 twips a pixel.
inline constexpr int kNormalDpi = 96;
// Twips to pixels at `dpi`, to the nearest pixel.
constexpr int toPixels(int twips, int dpi = kNormalDpi) {
    return (twips * dpi + kTwipsPerInch / 2) / kTwipsPerInch;
}

inline constexpr int kNoIndex = -1; // a single control, not an array element

// The link label that opens the records window, as F3 does.
inline constexpr std::string_view kRecordsLink = "Label24";

struct Control {
    Kind kind = Kind::Label;
    std::string_view name;
    int index = kNoIndex;
    Twips place;
    // Label caption, or the words on a button's face.
    std::string_view caption;
    // Words on a button's second (pressed) face; empty when it has none.
    std::string_view pressedCaption;
    Look look;
    int tab = 0;
    bool tabStop = false;
};

// The window itself and its timers.
inline constexpr std::string_view kWindowTitle = "澜栖";
inline constexpr Twips kWindowPlace{0, 0, 9465, 11520};
inline constexpr Colour kWindowBack = Colour::ActiveCaption;

// Timer1 drives the recalculation, Timer2 the date caption and the watch on
// the bill's show. Both run from the window's creation to its end.
enum class Timer { Timer1, Timer2 };
struct TimerSpec {
    Timer timer;
    int intervalMs;
};
inline constexpr TimerSpec kTimers[] = {
    {Timer::Timer1, 700},
    {Timer::Timer2, 100},
};

namespace looks {
inline constexpr Look kField{Colour::WindowText, Colour::WindowBackground, Font::Song,
                             Align::Centre};
inline constexpr Look kRedField{Colour::Red, Colour::WindowBackground, Font::Song, Align::Centre};
inline constexpr Look kGradingField{Colour::WindowText, Colour::WindowBackground, Font::Default,
                                    Align::Centre};
inline constexpr Look kMemo{Colour::WindowText, Colour::WindowBackground, Font::Default,
                            Align::Left};
inline constexpr Look kList{Colour::Inherit, Colour::HighlightText, Font::Default, Align::Left};
inline constexpr Look kLabel{};
inline constexpr Look kCentredLabel{Colour::Inherit, Colour::Inherit, Font::Default, Align::Centre};
inline constexpr Look kRightLabel{Colour::Inherit, Colour::Inherit, Font::Default, Align::Right};
inline constexpr Look kHeader{Colour::WindowText, Colour::WindowBackground, Font::Default,
                              Align::Centre};
inline constexpr Look kFrame{Colour::Blue, Colour::ButtonShadow, Font::SongBold, Align::Left};
inline constexpr Look kFootNote{Colour::Inherit, Colour::GreyText, Font::Song, Align::Left};
inline constexpr Look kDate{Colour::Blue, Colour::Inherit, Font::Song12, Align::Left};
inline constexpr Look kHiddenLink{Colour::Inherit, Colour::ActiveBorder, Font::Default,
                                  Align::Left};
} // namespace looks

namespace detail {

using namespace looks;

constexpr Control text(std::string_view name, int index, Twips at, Look look, int tab, bool stop) {
    return {Kind::TextBox, name, index, at, {}, {}, look, tab, stop};
}
constexpr Control label(std::string_view name, int index, Twips at, std::string_view caption,
                        int tab, Look look = kLabel) {
    return {Kind::Label, name, index, at, caption, {}, look, tab, false};
}
constexpr Control combo(std::string_view name, Twips at, int tab) {
    return {Kind::Combo, name, kNoIndex, at, {}, {}, kList, tab, true};
}
constexpr Control button(std::string_view name, Twips at, std::string_view face,
                         std::string_view pressed, int tab, bool stop) {
    return {Kind::Button, name, kNoIndex, at, face, pressed, {}, tab, stop};
}

// Tally rows 0–19 at 300-twip steps; the block total row 20 below them.
inline constexpr int kRowTop = 1380, kRowStep = 300, kRowHeight = 315;
inline constexpr int kInputWidth = 435, kVolumeWidth = 1065, kTotalCountWidth = 855;
inline constexpr int kTotalTop = 7380;

constexpr bool isRedRow(int row) {
    return row == 6 || row == 13 || row == 20;
}
constexpr Look tallyLook(int row) {
    return isRedRow(row) ? kRedField : kField;
}
constexpr int rowTop(int row) {
    return row == 20 ? kTotalTop : kRowTop + kRowStep * row;
}

// Grading rows 0–5 at 300-twip steps; the grand-total row 6 below them.
inline constexpr int kGradingTop = 8010, kGradingStep = 300, kGradingHeight = 315;
constexpr int gradingTop(int row) {
    return kGradingTop + kGradingStep * row;
}

struct Builder {
    std::array<Control, 345> rows{};
    std::size_t size = 0;
    constexpr void add(const Control& c) { rows[size++] = c; }
};

constexpr std::array<Control, 345> buildControls() {
    Builder b;
    b.add(
        {Kind::Frame, "Frame1", kNoIndex, {180, 165, 9105, 11190}, "澜栖", {}, kFrame, 177, false});

    // Party strip.
    b.add(combo("Combo4", {510, 360, 1200, 300}, 189));
    b.add(combo("Combo5", {1935, 360, 2475, 300}, 188));
    b.add(combo("Combo6", {1935, 360, 2475, 300}, 186));
    b.add(combo("Combo2", {4500, 360, 1200, 300}, 190));
    b.add(combo("Combo1", {5790, 360, 2595, 300}, 191));
    b.add(combo("Combo7", {5790, 360, 2595, 300}, 185));
    b.add(combo("Combo8", {5790, 360, 2595, 300}, 184));
    b.add(combo("Combo9", {5790, 360, 2595, 300}, 183));
    b.add(combo("Combo10", {5790, 360, 2595, 300}, 182));
    b.add(combo("Combo11", {5790, 360, 2595, 300}, 181));
    b.add(combo("Combo13", {5790, 360, 2595, 300}, 179));

    // Log-length row.
    b.add(label("Label9", kNoIndex, {1140, 840, 615, 315}, "材长", 195));
    b.add(text("Text25", 0, {1575, 780, 525, 300}, kField, 0, false));
    b.add(label("Label10", 0, {3180, 840, 540, 315}, "材长", 196));
    b.add(text("Text25", 1, {3555, 780, 525, 300}, kField, 308, false));
    b.add(label("Label10", 2, {5160, 840, 540, 315}, "材长", 197));
    b.add(text("Text25", 2, {5550, 780, 525, 300}, kField, 309, false));
    b.add(label("Label6", 0, {7110, 840, 390, 315}, "材长", 198));
    b.add(text("Text25", 3, {7500, 780, 525, 300}, kField, 310, false));

    // Tally blocks: piece counts take tab positions 1–80, diameters 81–160,
    // volumes 226–305; the block total rows 311–318 run from block 4 back.
    struct Columns {
        std::string_view diameter, count, volume;
        int diameterLeft, countLeft, volumeLeft;
        int headerDiameter, headerCount, headerVolume, headerHeight;
    };
    constexpr Columns kColumns[] = {
        {"Text1", "Text2", "Text3", 645, 1065, 1485, 645, 1035, 1740, 315},
        {"Text4", "Text5", "Text6", 2655, 3075, 3495, 2655, 3075, 3810, 315},
        {"Text7", "Text8", "Text9", 4650, 5070, 5490, 4665, 5085, 5820, 315},
        {"Text10", "Text11", "Text12", 6660, 7080, 7500, 6660, 7080, 7815, 255},
    };
    for (int blk = 0; blk < 4; ++blk) {
        const Columns& c = kColumns[blk];
        for (int r = 0; r < 20; ++r)
            b.add(text(c.diameter, r, {c.diameterLeft, rowTop(r), kInputWidth, kRowHeight},
                       tallyLook(r), 81 + 20 * blk + r, true));
        for (int r = 0; r < 20; ++r)
            b.add(text(c.count, r, {c.countLeft, rowTop(r), kInputWidth, kRowHeight}, tallyLook(r),
                       1 + 20 * blk + r, !(blk == 3 && r == 19)));
        b.add(text(c.count, 20, {c.diameterLeft, kTotalTop, kTotalCountWidth, kRowHeight},
                   tallyLook(20), 318 - 2 * blk, false));
        for (int r = 0; r < 20; ++r)
            b.add(text(c.volume, r, {c.volumeLeft, rowTop(r), kVolumeWidth, kRowHeight},
                       tallyLook(r), 226 + 20 * blk + r, false));
        b.add(text(c.volume, 20, {c.volumeLeft, kTotalTop, kVolumeWidth, kRowHeight}, tallyLook(20),
                   317 - 2 * blk, false));
    }
    for (int blk = 0; blk < 4; ++blk) {
        const Columns& c = kColumns[blk];
        b.add(label("Label2", blk, {c.headerDiameter, 1155, 465, c.headerHeight}, "径级",
                    199 + 3 * blk, kHeader));
        b.add(label("Label3", blk, {c.headerCount, 1155, 465, c.headerHeight}, "件数",
                    200 + 3 * blk, kHeader));
        b.add(label("Label4", blk, {c.headerVolume, 1155, 570, c.headerHeight}, "材  积",
                    201 + 3 * blk, kHeader));
    }

    // Grading table: bounds and prices are tab stops, the results are not.
    b.add(label("Label21", 0, {1320, 7800, 855, 315}, "分组范围", 211));
    b.add(label("Label14", 0, {2430, 7800, 495, 315}, "件数", 212));
    b.add(label("Label15", 0, {3015, 7800, 735, 315}, "材   积", 213));
    b.add(label("Label16", 0, {3720, 7800, 615, 315}, "单价", 214, kCentredLabel));
    b.add(label("Label17", 0, {4455, 7800, 615, 315}, "金  额", 215, kCentredLabel));
    for (int r = 0; r < 6; ++r) {
        int top = gradingTop(r);
        int boundWidth = (r == 0 || r == 5) ? 430 : 435;
        b.add(text("Text26", r, {1050, top, boundWidth, kGradingHeight}, kGradingField,
                   r == 0 ? 161 : 160 + 2 * r, true));
        if (r >= 1 && r <= 4)
            b.add(text("Text27", r, {1950, top, 435, kGradingHeight}, kGradingField, 161 + 2 * r,
                       true));
        b.add(
            text("Text28", r, {2370, top, 540, kGradingHeight}, kGradingField, 319 + 3 * r, false));
        b.add(
            text("Text29", r, {2895, top, 855, kGradingHeight}, kGradingField, 320 + 3 * r, false));
        b.add(text("Text30", r, {3735, top, 540, kGradingHeight}, kGradingField, 171 + r, true));
        b.add(text("Text31", r, {4260, top, 1065, kGradingHeight}, kGradingField, 321 + 3 * r,
                   false));
    }
    b.add(label("Label7", 0, {1560, 8040, 840, 315}, "CM及以下", 216));
    b.add(label("Label12", 0, {1560, 8400, 255, 255}, "至", 217));
    b.add(label("Label12", 1, {1560, 8730, 255, 225}, "至", 218));
    b.add(label("Label13", 0, {1560, 9000, 255, 255}, "至", 219));
    b.add(label("Label13", 1, {1560, 9330, 255, 255}, "至", 307));
    b.add(label("Label12", 2, {1560, 9570, 615, 255}, "CM以上", 220));
    b.add(text("Text28", 6, {1530, 9870, 855, 315}, kRedField, 337, true));
    b.add(text("Text29", 6, {2370, 9870, 1380, 315}, kRedField, 338, false));
    b.add(text("Text31", 6, {3735, 9870, 1590, 315}, kRedField, 339, false));
    b.add(label("Label11", 0, {600, 9960, 855, 315}, "总   计：", 221));

    // Button column.
    b.add(button("Command1", {5640, 7920, 1215, 495}, "清空件数", {}, 340, true));
    b.add(button("Command3", {5640, 8400, 1215, 495}, "导出数据", "导出数据", 194, true));
    b.add(button("Command4", {5640, 8880, 1215, 495}, "清空数据", "清除数据", 193, true));
    b.add(button("Command2", {5640, 9360, 1215, 495}, "最小化", "最小化", 187, true));
    b.add(button("Command6", {5640, 9840, 1215, 495}, "退 出", "退 出", 192, true));

    // Scaler, species and remark.
    b.add(label("Label1", kNoIndex, {7275, 8070, 855, 390}, "检尺员", 222, kRightLabel));
    b.add(combo("Combo12", {7275, 8295, 1095, 300}, 180));
    b.add(label("Label18", kNoIndex, {7515, 8670, 735, 315}, "树   种", 223));
    b.add(combo("Combo14", {7275, 8895, 1095, 300}, 178));
    b.add(label("Label19", kNoIndex, {7320, 9360, 975, 255}, "备     注", 342, kRightLabel));
    b.add({Kind::Memo, "Text13", kNoIndex, {6960, 9600, 1815, 735}, {}, {}, kMemo, 343, true});

    // Foot line; Label22 and Label23 show the captions the sheet holds.
    b.add(label("Label23", kNoIndex, {840, 10830, 4590, 330}, {}, 224, kFootNote));
    b.add(label("Label22", kNoIndex, {6000, 10800, 2685, 315}, {}, 225, kDate));
    b.add(label("Label8", kNoIndex, {8280, 10920, 975, 255}, "进入网站", 341));
    b.add(label("Label5", kNoIndex, {105, 11520, 855, 255}, "进入网站", 306, kHiddenLink));
    // The link to the records, above the web link at the foot's right end.
    b.add(label(kRecordsLink, kNoIndex, {8280, 10560, 975, 255}, "账单记录", 344));
    if (b.size != b.rows.size()) throw "every control has a row";
    return b.rows;
}

// Every tab position from 0 to the last is used exactly once.
template <std::size_t N> constexpr bool tabPositionsComplete(const std::array<Control, N>& rows) {
    std::array<int, N> seen{};
    for (const Control& c : rows) {
        if (c.tab < 0 || c.tab >= static_cast<int>(N) || seen[c.tab]++) return false;
    }
    return true;
}

} // namespace detail

inline constexpr std::array<Control, 345> kControls = detail::buildControls();
static_assert(detail::tabPositionsComplete(kControls), "tab positions must run 0–344 once each");

} // namespace lanqi::ui
