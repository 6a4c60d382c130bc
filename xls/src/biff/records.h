#pragma once
// The BIFF8 records the engine reads, writes or lists: id, name for
// listings, and the size of the fixed part the engine reads (0 where it
// reads none), which a reader checks before reading.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace lanqi::xls::rec {

// The largest payload of one record; longer data runs on into CONTINUE records.
inline constexpr std::size_t kMaxPayload = 8224;
// Each record: id u16 | payload size u16 | payload.
inline constexpr std::size_t kHeaderId = 0, kHeaderLength = 2, kHeaderSize = 4;

// clang-format off
#define LANQI_XLS_RECORDS(X)                                    \
    /* symbol, id, name, fixed part */                          \
    X(Formula,              0x0006, "FORMULA",              20) \
    X(Eof,                  0x000A, "EOF",                   0) \
    X(CalcCount,            0x000C, "CALCCOUNT",             0) \
    X(CalcMode,             0x000D, "CALCMODE",              0) \
    X(Precision,            0x000E, "PRECISION",             0) \
    X(RefMode,              0x000F, "REFMODE",               0) \
    X(Delta,                0x0010, "DELTA",                 0) \
    X(Iteration,            0x0011, "ITERATION",             0) \
    X(Protect,              0x0012, "PROTECT",               0) \
    X(Password,             0x0013, "PASSWORD",              0) \
    X(Header,               0x0014, "HEADER",                0) \
    X(Footer,               0x0015, "FOOTER",                0) \
    X(ExternSheet,          0x0017, "EXTERNSHEET",           0) \
    X(Name,                 0x0018, "NAME",                  0) \
    X(WindowProtect,        0x0019, "WINDOWPROTECT",         0) \
    X(VerticalPageBreaks,   0x001A, "VERTICALPAGEBREAKS",    0) \
    X(HorizontalPageBreaks, 0x001B, "HORIZONTALPAGEBREAKS",  0) \
    X(Note,                 0x001C, "NOTE",                  0) \
    X(Selection,            0x001D, "SELECTION",             0) \
    X(DateMode,             0x0022, "DATEMODE",              0) \
    X(ExternName,           0x0023, "EXTERNNAME",            0) \
    X(LeftMargin,           0x0026, "LEFTMARGIN",            0) \
    X(RightMargin,          0x0027, "RIGHTMARGIN",           0) \
    X(TopMargin,            0x0028, "TOPMARGIN",             0) \
    X(BottomMargin,         0x0029, "BOTTOMMARGIN",          0) \
    X(PrintRowCol,          0x002A, "PRINTROWCOL",           0) \
    X(PrintGrid,            0x002B, "PRINTGRID",             0) \
    X(FilePass,             0x002F, "FILEPASS",              0) \
    X(Font,                 0x0031, "FONT",                  0) \
    X(Continue,             0x003C, "CONTINUE",              0) \
    X(Window1,              0x003D, "WINDOW1",               0) \
    X(Backup,               0x0040, "BACKUP",                0) \
    X(Pane,                 0x0041, "PANE",                  0) \
    X(CodePage,             0x0042, "CODEPAGE",              0) \
    X(DefColWidth,          0x0055, "DEFCOLWIDTH",           0) \
    X(Crn,                  0x005A, "CRN",                   0) \
    X(Xct,                  0x0059, "XCT",                   0) \
    X(WriteAccess,          0x005C, "WRITEACCESS",           0) \
    X(Obj,                  0x005D, "OBJ",                   0) \
    X(Uncalced,             0x005E, "UNCALCED",              0) \
    X(SaveRecalc,           0x005F, "SAVERECALC",            0) \
    X(ObjProtect,           0x0063, "OBJPROTECT",            0) \
    X(ColInfo,              0x007D, "COLINFO",               8) \
    X(Guts,                 0x0080, "GUTS",                  0) \
    X(WsBool,               0x0081, "WSBOOL",                0) \
    X(GridSet,              0x0082, "GRIDSET",               0) \
    X(HCenter,              0x0083, "HCENTER",               0) \
    X(VCenter,              0x0084, "VCENTER",               0) \
    X(BoundSheet,           0x0085, "BOUNDSHEET",            6) \
    X(WriteProt,            0x0086, "WRITEPROT",             0) \
    X(Country,              0x008C, "COUNTRY",               0) \
    X(HideObj,              0x008D, "HIDEOBJ",               0) \
    X(Sort,                 0x0090, "SORT",                  0) \
    X(Palette,              0x0092, "PALETTE",               0) \
    X(StandardWidth,        0x0099, "STANDARDWIDTH",         0) \
    X(Scl,                  0x00A0, "SCL",                   0) \
    X(Setup,                0x00A1, "SETUP",                 0) \
    X(MulRk,                0x00BD, "MULRK",                 6) \
    X(MulBlank,             0x00BE, "MULBLANK",              6) \
    X(Mms,                  0x00C1, "MMS",                   0) \
    X(RString,              0x00D6, "RSTRING",               6) \
    X(DbCell,               0x00D7, "DBCELL",                0) \
    X(BookBool,             0x00DA, "BOOKBOOL",              0) \
    X(ScenProtect,          0x00DD, "SCENPROTECT",           0) \
    X(Xf,                   0x00E0, "XF",                    4) \
    X(InterfaceHdr,         0x00E1, "INTERFACEHDR",          0) \
    X(InterfaceEnd,         0x00E2, "INTERFACEEND",          0) \
    X(MergeCells,           0x00E5, "MERGECELLS",            0) \
    X(Bitmap,               0x00E9, "BITMAP",                0) \
    X(MsoDrawingGroup,      0x00EB, "MSODRAWINGGROUP",       0) \
    X(MsoDrawing,           0x00EC, "MSODRAWING",            0) \
    X(MsoDrawingSelection,  0x00ED, "MSODRAWINGSELECTION",   0) \
    X(PhoneticInfo,         0x00EF, "PHONETICINFO",          0) \
    X(Sst,                  0x00FC, "SST",                   8) \
    X(LabelSst,             0x00FD, "LABELSST",             10) \
    X(ExtSst,               0x00FF, "EXTSST",                2) \
    X(BookExt,              0x0863, "BOOKEXT",               0) \
    X(UsesElfs,             0x0160, "USESELFS",              0) \
    X(Dsf,                  0x0161, "DSF",                   0) \
    X(SupBook,              0x01AE, "SUPBOOK",               0) \
    X(CondFmt,              0x01B0, "CONDFMT",               0) \
    X(Cf,                   0x01B1, "CF",                    0) \
    X(DVal,                 0x01B2, "DVAL",                  0) \
    X(HLink,                0x01B8, "HLINK",                 0) \
    X(Dv,                   0x01BE, "DV",                    0) \
    X(Excel9File,           0x01C0, "EXCEL9FILE",            0) \
    X(RecalcId,             0x01C1, "RECALCID",              0) \
    X(UsrExcl,              0x0194, "USREXCL",               0) \
    X(FileLock,             0x0195, "FILELOCK",              0) \
    X(RrdInfo,              0x0196, "RRDINFO",               0) \
    X(RrdHead,              0x0138, "RRDHEAD",               0) \
    X(Dimensions,           0x0200, "DIMENSIONS",            0) \
    X(Blank,                0x0201, "BLANK",                 6) \
    X(Number,               0x0203, "NUMBER",               14) \
    X(Label,                0x0204, "LABEL",                 6) \
    X(BoolErr,              0x0205, "BOOLERR",               8) \
    X(String,               0x0207, "STRING",                0) \
    X(Row,                  0x0208, "ROW",                  16) \
    X(Index,                0x020B, "INDEX",                 0) \
    X(Array,                0x0221, "ARRAY",                 0) \
    X(DefaultRowHeight,     0x0225, "DEFAULTROWHEIGHT",      4) \
    X(Table,                0x0236, "TABLE",                 0) \
    X(Window2,              0x023E, "WINDOW2",               0) \
    X(Rk,                   0x027E, "RK",                   10) \
    X(Style,                0x0293, "STYLE",                 0) \
    X(Format,               0x041E, "FORMAT",                2) \
    X(ShrFmla,              0x04BC, "SHRFMLA",              10) \
    X(QuickTip,             0x0800, "QUICKTIP",              0) \
    X(Bof,                  0x0809, "BOF",                   4) \
    X(SheetExt,             0x0862, "SHEETEXT",              0) \
    X(XfCrc,                0x087C, "XFCRC",                 0) \
    X(XfExt,                0x087D, "XFEXT",                 0) \
    X(StyleExt,             0x0892, "STYLEEXT",              0) \
    X(Theme,                0x0896, "THEME",                 0) \
    X(MtrSettings,          0x089A, "MTRSETTINGS",           0) \
    X(CompressPictures,     0x089B, "COMPRESSPICTURES",      0) \
    X(Plv,                  0x088B, "PLV",                   0) \
    X(Compat12,             0x088C, "COMPAT12",              0) \
    X(FeatHdr,              0x0867, "FEATHDR",               0) \
    X(ForceFullCalculation, 0x08A3, "FORCEFULLCALCULATION",  0) \
    /* the BOF of BIFF2, 3 and 4; BIFF5 has BIFF8's */          \
    X(Bof2,                 0x0009, "BOF2",                  0) \
    X(Bof3,                 0x0209, "BOF3",                  0) \
    X(Bof4,                 0x0409, "BOF4",                  0)
// clang-format on

#define LANQI_XLS_RECORD_ID(symbol, id, name, fixed) inline constexpr std::uint16_t k##symbol = id;
LANQI_XLS_RECORDS(LANQI_XLS_RECORD_ID)
#undef LANQI_XLS_RECORD_ID

struct Info {
    std::uint16_t id;
    std::string_view name;
    std::size_t fixed;
};

#define LANQI_XLS_RECORD_INFO(symbol, id, name, fixed) Info{id, name, fixed},
inline constexpr Info kRecords[] = {LANQI_XLS_RECORDS(LANQI_XLS_RECORD_INFO)};
#undef LANQI_XLS_RECORD_INFO
#undef LANQI_XLS_RECORDS

// The record's entry, or null when it is not known here.
constexpr const Info* find(std::uint16_t id) {
    for (const Info& r : kRecords)
        if (r.id == id) return &r;
    return nullptr;
}
// Its name for listings, or an empty view when it is not known here.
constexpr std::string_view name(std::uint16_t id) {
    const Info* r = find(id);
    return r ? r->name : std::string_view{};
}

namespace detail {
inline constexpr std::size_t kMaxId = 0x0900;
struct FixedSizes {
    std::uint8_t byId[kMaxId] = {};
    constexpr FixedSizes() {
        for (const Info& r : kRecords) byId[r.id] = static_cast<std::uint8_t>(r.fixed);
    }
};
inline constexpr FixedSizes kFixedSizes;
constexpr bool idsAreUnique() {
    for (const Info& a : kRecords)
        if (find(a.id) != &a || a.id >= kMaxId) return false;
    return true;
}
static_assert(idsAreUnique(), "a record id is listed twice or lies past kMaxId");
} // namespace detail

// The bytes a reader needs before it reads the record's fixed part.
constexpr std::size_t fixedSize(std::uint16_t id) {
    return id < detail::kMaxId ? detail::kFixedSizes.byId[id] : 0;
}

} // namespace lanqi::xls::rec
