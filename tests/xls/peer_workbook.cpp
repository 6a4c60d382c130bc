#include "tests/xls/peer_workbook.h"

#include <algorithm>
#include <iterator>

namespace lanqi::test {
namespace {

std::string cellString(const std::string& text) {
    return "<table:table-cell office:value-type=\"string\"><text:p>" + text +
           "</text:p></table:table-cell>";
}

std::string cellNumber(double v, const std::string& style = "") {
    std::string s = "<table:table-cell";
    if (!style.empty()) s += " table:style-name=\"" + style + "\"";
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return s + " office:value-type=\"float\" office:value=\"" + buf + "\"/>";
}

std::string cellFormula(const std::string& formula) {
    return "<table:table-cell table:formula=\"of:" + formula + "\"/>";
}

const char* kHead = R"(<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:number="urn:oasis:names:tc:opendocument:xmlns:datastyle:1.0"
 xmlns:of="urn:oasis:names:tc:opendocument:xmlns:of:1.2"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.spreadsheet">
<office:automatic-styles>
 <style:style style:name="co1" style:family="table-column"><style:table-column-properties style:column-width="3.5cm"/></style:style>
 <style:style style:name="co2" style:family="table-column"><style:table-column-properties style:column-width="1.8cm"/></style:style>
 <style:style style:name="ro1" style:family="table-row"><style:table-row-properties style:row-height="0.9cm"/></style:style>
 <number:text-style style:name="NText"><number:text-content/></number:text-style>
 <number:number-style style:name="N3"><number:number number:decimal-places="3" number:min-integer-digits="1"/></number:number-style>
 <style:style style:name="ceText" style:family="table-cell" style:data-style-name="NText"/>
 <style:style style:name="ceBox" style:family="table-cell" style:data-style-name="N3"><style:table-cell-properties fo:border="0.5pt solid #000000"/></style:style>
 <style:style style:name="ceTitle" style:family="table-cell"><style:text-properties fo:font-size="16pt" fo:font-weight="bold"/></style:style>
 <style:style style:name="T1" style:family="text"><style:text-properties fo:font-weight="bold"/></style:style>
 <style:style style:name="T2" style:family="text"><style:text-properties fo:font-style="italic"/></style:style>
</office:automatic-styles>
<office:body><office:spreadsheet>
)";

} // namespace

std::string listName(int i) {
    return "客户" + std::to_string(i) + "号林场木材";
}
double listPieces(int i) {
    return i;
}
double listPrice(int i) {
    return i * 0.25;
}
double listVolume(int i) {
    return i + 0.123456789;
}

std::string longText() {
    std::string s;
    for (int i = 0; i < 5000; ++i) s += i % 100 == 99 ? "|" : "木";
    return s;
}

std::string peerFods() {
    std::string x = kHead;
    x += "<table:table table:name=\"" + std::string(kListSheet) + "\">\n";
    x += "<table:table-column table:style-name=\"co1\"/>"
         "<table:table-column table:style-name=\"co2\" table:number-columns-repeated=\"7\"/>\n";
    x += "<table:table-row>" + cellString("名称") + cellString("件数") + cellString("单价") +
         cellString("材积") + cellString("两倍") + "</table:table-row>\n";
    for (int i = 1; i <= kListRows; ++i) {
        int r = i + 1;
        x += "<table:table-row>" + cellString(listName(i)) + cellNumber(listPieces(i)) +
             cellNumber(listPrice(i)) + cellNumber(listVolume(i)) +
             cellFormula("[.B" + std::to_string(r) + "]*2") + "</table:table-row>\n";
    }
    x += "<table:table-row><table:table-cell/></table:table-row>\n";
    x += "<table:table-row>" + cellString(longText()) + "</table:table-row>\n";
    x += "<table:table-row><table:table-cell office:value-type=\"string\"><text:p>普通"
         "<text:span text:style-name=\"T1\">加粗</text:span><text:span text:style-name=\"T2\">斜体"
         "</text:span></text:p></table:table-cell></table:table-row>\n";
    x += "</table:table>\n";

    x += "<table:table table:name=\"" + std::string(kBillSheet) + "\">\n";
    x += "<table:table-column table:style-name=\"co1\" table:number-columns-repeated=\"3\"/>"
         "<table:table-column table:style-name=\"co2\" table:number-columns-repeated=\"6\"/>\n";
    x += "<table:table-row table:style-name=\"ro1\"><table:table-cell table:style-name=\"ceTitle\" "
         "table:number-columns-spanned=\"4\" table:number-rows-spanned=\"1\" "
         "office:value-type=\"string\"><text:p>木材账单</text:p></table:table-cell>"
         "<table:covered-table-cell table:number-columns-repeated=\"3\"/></table:table-row>\n";
    x += "<table:table-row>" + cellNumber(10) + cellFormula("[.A2]*3") +
         cellFormula("['" + std::string(kListSheet) + "'.B2]+[.A2]") + "</table:table-row>\n";
    x += "<table:table-row><table:table-cell table:style-name=\"ceText\" "
         "office:value-type=\"string\">"
         "<text:p>007</text:p></table:table-cell></table:table-row>\n";
    x += "<table:table-row><table:table-cell office:value-type=\"boolean\" "
         "office:boolean-value=\"true\"/></table:table-row>\n";
    x += "<table:table-row>" + cellFormula("1/0") + "</table:table-row>\n";
    x += "<table:table-row>" + cellFormula("CONCATENATE(&quot;共&quot;;[.A2];&quot;件&quot;)") +
         "</table:table-row>\n";
    x += "<table:table-row>" + cellNumber(1.5, "ceBox") +
         "<table:table-cell table:style-name=\"ceBox\" table:number-columns-repeated=\"3\"/>"
         "</table:table-row>\n";
    x += "<table:table-row>" + cellString("备注") +
         "<table:table-cell table:number-columns-spanned=\"2\" table:number-rows-spanned=\"2\" "
         "office:value-type=\"string\"><text:p>合并区域</text:p></table:table-cell>"
         "<table:covered-table-cell/></table:table-row>\n";
    x += "<table:table-row><table:table-cell/><table:covered-table-cell "
         "table:number-columns-repeated=\"2\"/></table:table-row>\n";
    x += "</table:table>\n</office:spreadsheet></office:body></office:document>\n";
    return x;
}

namespace {

// Formulas in OpenFormula syntax; {r} stands for the row of a tally row.
constexpr const char* kRowFormulas[] = {
    "LEN([.A{r}])",
    "[.C{r}]*2",
    "IF(ISNUMBER([.C{r}]);ROUND([.C{r}]*[.B{r}];2);&quot;无&quot;)",
    "TEXT([.C{r}];&quot;0.000&quot;)",
    "IF([.A{r}]=&quot;&quot;;&quot;&quot;;[.A{r}]&amp;&quot;cm&quot;)",
    "[.B{r}]+[.E{r}]",
};

constexpr const char* kTotals[] = {
    "SUM([.C6:.C25])",
    "SUM([.O6:.O25])",
    "COUNTA([.A6:.A25])",
    "COUNT([.B6:.B25])",
    "AVERAGE([.B6:.B25])",
    "MAX([.A6:.L25])",
    "MIN([.A6:.A25])",
    "SUMIF([.A6:.A25];&quot;&gt;=30&quot;;[.C6:.C25])",
    "COUNTIF([.A6:.A25];30)",
    "COUNTIF([.A6:.A25];&quot;&lt;&gt;&quot;)",
    "COUNTIF([.B6:.B25];&quot;&gt;5&quot;)",
    "AND([.B6]&gt;0;[.C6]&gt;0)",
    "OR([.A25]=1;ISBLANK([.A25]))",
    "NOT(ISTEXT([.A6]))",
    "ISTEXT([.D6])",
    "LEFT([.J28];2)",
    "RIGHT([.J28];3)",
    "MID([.J28];2;3)",
    "LEN([.J28])",
    "CONCATENATE(&quot;共&quot;;[.U3];&quot;根&quot;)",
    "&quot;共&quot;&amp;SUM([.B6:.B25])&amp;&quot;件&quot;",
    "VALUE(&quot;12.5&quot;)+[.B6]",
    "ROUNDUP([.C6]*1.1;1)",
    "ROUNDDOWN([.C6]*1.1;1)",
    "ABS(-[.G34])",
    "INT([.G34]/7)",
    "MOD([.G34]*100;7)",
    "TEXT([.G34];&quot;#,##0.00&quot;)",
    "TEXT([.C6]/[.C7];&quot;0.0%&quot;)",
    "TEXT([.G34];&quot;[DBNum1][$-804]0&quot;)",
    "TEXT([.G34];&quot;[DBNum3][$-804]0&quot;)",
    "TEXT(45000+[.B6];&quot;yyyy-mm-dd&quot;)",
    "TEXT(45000.5+[.B6];&quot;yyyy&quot;&quot;年&quot;&quot;m&quot;&quot;月&quot;&quot;d&quot;&quot;日 &quot;&quot;hh:mm&quot;)",
    "[.B6]^2",
    "[.C6]*10%",
    "[.G34]/0",
    "1/0+[.C6]",
    "IF([.G34]&gt;1000;&quot;大&quot;;&quot;小&quot;)",
    "[.G34]=21979.3",
    "[.A6]&lt;&gt;[.A7]",
    "[.J28]=&quot;备注&quot;",
    "-[.B6]+[.B7]",
    "SUM([.B6:.B25];[.E6:.E25];1)",
    "MAX([.B6];[.E6])",
    "[.U2]*2+[.U1]",
    "[.C2]&amp;&quot;：&quot;&amp;TEXT([.G34];&quot;0.00&quot;)&amp;&quot;元&quot;",
    "SUM(体积)*2",
    "VLOOKUP(24;[.A6:.C25];3;0)",
    "VLOOKUP(25;[.A6:.C15];2)",
    "HLOOKUP(20;[.A6:.L7];2;0)",
    "MATCH(30;[.A6:.A15];0)",
    "INDEX([.A6:.C25];3;2)",
    "SUM(INDEX([.A6:.C25];0;2))",
    "ROW()+COLUMN([.C6])",
    "VLOOKUP(99;[.A6:.C25];3;0)",
    // An empty argument is not one left out.
    "LEFT([.J28];)",
    "MIN([.G34];)",
    "AVERAGE([.G34];)",
    "AND([.G34]&gt;0;)",
    "COUNT([.G34];;[.B6])",
    "MATCH(25;[.A6:.A25];)",
    "VLOOKUP(25;[.A6:.C25];3;)",
    "COUNTIF([.A6:.A30];&quot;=&quot;)",
    "COUNTIF([.U39:.U40];&quot;&lt;=TRUE&quot;)",
    "TEXT([.G34]/100000;&quot;#,###.00&quot;)",
    "TEXT([.G34];&quot;[&gt;100000]0;0.00&quot;)",
};

std::string replaceRow(std::string_view f, int row) {
    std::string out;
    for (std::size_t at; (at = f.find("{r}")) != std::string_view::npos; f.remove_prefix(at + 3))
        out.append(f.substr(0, at)).append(std::to_string(row));
    return out.append(f);
}

} // namespace

std::string billFormulasFods() {
    std::string x = kHead;
    x += "<table:table table:name=\"" + std::string(kBillSheet) + "\">\n";
    const int rows = std::max<int>(34, static_cast<int>(std::size(kTotals)));
    for (int r = 1; r <= rows; ++r) {
        x += "<table:table-row>";
        // Columns A-M: the bill's cells, empty until the program writes them.
        x += "<table:table-cell table:number-columns-repeated=\"13\"/>";
        for (const char* f : kRowFormulas)
            x += r >= 6 && r <= 25 ? cellFormula(replaceRow(f, r)) : "<table:table-cell/>";
        x += "<table:table-cell/>";
        x += r <= static_cast<int>(std::size(kTotals)) ? cellFormula(kTotals[r - 1]) : "";
        x += "</table:table-row>\n";
    }
    x += "</table:table>\n";
    x += "<table:table table:name=\"" + std::string(kListSheet) + "\">\n<table:table-row>" +
         cellString("合计") + cellFormula("['" + std::string(kBillSheet) + "'.G34]*2") +
         cellFormula("SUM(['" + std::string(kBillSheet) + "'.C6:.C25])") +
         cellFormula("['" + std::string(kBillSheet) + "'.U21]") + "</table:table-row>\n";
    x += "</table:table>\n";
    x += "<table:named-expressions><table:named-range table:name=\"体积\" "
         "table:base-cell-address=\"$'" + std::string(kBillSheet) + "'.$A$1\" "
         "table:cell-range-address=\"$'" + std::string(kBillSheet) + "'.$C$6:.$C$25\"/>"
         "</table:named-expressions>\n";
    x += "</office:spreadsheet></office:body></office:document>\n";
    return x;
}

} // namespace lanqi::test
