#include "tests/xls/peer_workbook.h"

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

} // namespace lanqi::test
