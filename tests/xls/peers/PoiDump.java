// Apache POI as a peer: opens .xls files with HSSF and prints every cell of
// every sheet, one line each:
//   cell <TAB> sheet <TAB> row <TAB> column <TAB> type <TAB> value <TAB> formula
// rows and columns counted from 1; type is POI's cell type in lower case
// (blank, numeric, string, boolean, error) or, for a formula, "formula:" and
// the type of its cached result.
// A file POI refuses gives "refused <TAB> POI's message" and exit status 1.
//   java -cp /usr/share/java/poi.jar PoiDump.java FILE          to stdout
//   java -cp /usr/share/java/poi.jar PoiDump.java --each FILE... to FILE.poi
import java.io.File;
import java.io.FileInputStream;
import java.io.InputStream;
import java.io.PrintStream;
import java.nio.charset.StandardCharsets;
import org.apache.poi.hssf.usermodel.HSSFWorkbook;
import org.apache.poi.ss.usermodel.Cell;
import org.apache.poi.ss.usermodel.CellType;
import org.apache.poi.ss.usermodel.FormulaError;
import org.apache.poi.ss.usermodel.Row;
import org.apache.poi.ss.usermodel.Sheet;

public class PoiDump {
    static String escape(String s) {
        return s.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n").replace("\r", "\\r");
    }

    static String value(Cell c, CellType type) {
        switch (type) {
        case NUMERIC: return Double.toString(c.getNumericCellValue());
        case STRING: return escape(c.getRichStringCellValue().getString());
        case BOOLEAN: return c.getBooleanCellValue() ? "TRUE" : "FALSE";
        case ERROR: {
            byte code = c.getErrorCellValue();
            return FormulaError.isValidCode(code) ? FormulaError.forInt(code).getString() : "#" + code;
        }
        default: return "";
        }
    }

    static void dump(File file, PrintStream out) throws Exception {
        try (InputStream in = new FileInputStream(file); HSSFWorkbook book = new HSSFWorkbook(in)) {
            for (int s = 0; s < book.getNumberOfSheets(); ++s) {
                Sheet sheet = book.getSheetAt(s);
                String name = escape(sheet.getSheetName());
                for (Row row : sheet) {
                    for (Cell c : row) {
                        CellType type = c.getCellType();
                        String formula = "";
                        String kind = type.name().toLowerCase();
                        String shown;
                        if (type == CellType.FORMULA) {
                            CellType result = c.getCachedFormulaResultType();
                            kind = "formula:" + result.name().toLowerCase();
                            shown = value(c, result);
                            try {
                                formula = escape(c.getCellFormula());
                            } catch (RuntimeException e) {
                                formula = "!" + e.getClass().getSimpleName();
                            }
                        } else {
                            shown = value(c, type);
                        }
                        out.println("cell\t" + name + "\t" + (row.getRowNum() + 1) + "\t"
                                + (c.getColumnIndex() + 1) + "\t" + kind + "\t" + shown + "\t" + formula);
                    }
                }
            }
        }
    }

    static String reason(Throwable e) {
        String m = e.getMessage();
        return escape(e.getClass().getName() + (m == null ? "" : ": " + m.split("\n")[0]));
    }

    public static void main(String[] args) throws Exception {
        if (args.length == 0 || (!args[0].equals("--each") && args.length != 1)) {
            System.err.println("usage: PoiDump FILE | PoiDump --each FILE...");
            System.exit(2);
        }
        if (!args[0].equals("--each")) {
            PrintStream out = new PrintStream(System.out, false, StandardCharsets.UTF_8);
            try {
                dump(new File(args[0]), out);
                out.flush();
            } catch (Throwable e) {
                out.flush();
                out.println("refused\t" + reason(e));
                out.flush();
                System.exit(1);
            }
            return;
        }
        for (int i = 1; i < args.length; ++i) {
            File target = new File(args[i] + ".poi");
            try (PrintStream out = new PrintStream(target, StandardCharsets.UTF_8)) {
                try {
                    dump(new File(args[i]), out);
                } catch (Throwable e) {
                    out.println("refused\t" + reason(e));
                }
            }
        }
    }
}
