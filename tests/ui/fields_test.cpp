// What the fields show: every figure whole however wide, full-width digits
// typed as ASCII, the remarks mirrored edit by edit and held to one cell, and
// a focus that can be seen on the picture buttons and lists.
#include "tally/tally_file.h"
#include "tally/tick.h"
#include "tests/ui/window_fixture.h"
#include "ui/qt/fit_field.h"
#include "ui/qt/remark_edit.h"

#include <QClipboard>
#include <QFontInfo>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSignalSpy>

#include <fstream>

using lanqi::Arr;

namespace {

lanqi::ui::FitLineEdit* fitField(WindowFixture& f, const QString& name) {
    return qobject_cast<lanqi::ui::FitLineEdit*>(f.control(name));
}

// A full sheet of large logs (docs/large.tally): 4-digit counts of 60–98 cm
// logs of 10 m, 6-digit prices with 2 decimals.
void fillLargeSheet(lanqi::TallySheet& sheet) {
    std::ifstream file(LANQI_LARGE_TALLY);
    lanqi::readTallyFile(file, sheet);
    lanqi::Timer1_Timer(sheet);
    lanqi::Timer1_Timer(sheet);
}

// The columns the ink of dark text covers in an image, clear of its edges.
std::pair<int, int> inkColumns(const QImage& image) {
    int first = image.width(), last = -1;
    for (int y = 3; y < image.height() - 3; ++y)
        for (int x = 3; x < image.width() - 3; ++x)
            if (QColor(image.pixel(x, y)).lightness() < 128) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    return {first, last};
}

// The ink the whole text makes, drawn alone in the field's text area.
std::pair<int, int> wholeTextInk(lanqi::ui::FitLineEdit* field, const QRect& room) {
    QImage image(field->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setFont(field->fitted().font);
    p.setPen(Qt::black);
    p.drawText(room, Qt::AlignHCenter | Qt::AlignVCenter, field->text());
    return inkColumns(image);
}

int ringPixels(QWidget* window, QWidget* control) {
    const QImage image = window->grab().toImage();
    const QRect around = QRect(control->mapTo(window, QPoint(0, 0)), control->size())
                             .adjusted(-3, -3, 3, 3)
                             .intersected(image.rect());
    int amber = 0;
    for (int y = around.top(); y <= around.bottom(); ++y)
        for (int x = around.left(); x <= around.right(); ++x) {
            const QColor c(image.pixel(x, y));
            amber += c.red() > 220 && c.green() > 140 && c.green() < 210 && c.blue() < 60;
        }
    return amber;
}

} // namespace

class FieldsTest : public QObject {
    Q_OBJECT
  private slots:
    // Every field of a full sheet of large figures, drawn in the fonts the
    // window really uses, shows its whole text at a legible size.
    void everyFieldOfALargeSheetShowsItsWholeText() {
        WindowFixture f;
        QVERIFY(f.ready());
        fillLargeSheet(f.sheet);
        f.control("Text13")->setFocus(Qt::TabFocusReason);
        int checked = 0;
        for (lanqi::FieldId id : lanqi::allFields()) {
            if (id.arr == Arr::Text13) continue;
            const QString name = QString::fromStdString(lanqi::fieldName(id));
            auto* field = fitField(f, name);
            QVERIFY2(field, qPrintable(name));
            const lanqi::ui::FittedText& fit = field->fitted();
            QVERIFY2(!fit.cut, qPrintable(name + " " + field->text()));
            QCOMPARE(fit.shown, field->text());
            QVERIFY2(QFontInfo(fit.font).pixelSize() >= lanqi::ui::kSmallestPixelSize,
                     qPrintable(name));
            QVERIFY(fit.font.stretch() == 0 || fit.font.stretch() >= lanqi::ui::kNarrowestStretch);
            QVERIFY2(QFontMetrics(fit.font).horizontalAdvance(field->text()) <= field->textWidth(),
                     qPrintable(name));
            QVERIFY(field->toolTip().isEmpty());
            ++checked;
        }
        QCOMPARE(checked, 289); // every single-line field
        // Where the field has the room, the figure keeps the field's own font.
        const char* roomy[] = {"Text3(0)",  "Text6(19)", "Text2(20)", "Text28(6)",
                               "Text29(6)", "Text25(0)", "Text26(5)"};
        for (const char* name : roomy) {
            auto* field = fitField(f, name);
            QVERIFY2(!field->text().isEmpty(), name);
            QVERIFY2(field->fitted().font == field->font(),
                     qPrintable(QStringLiteral("%1 %2 in %3")
                                    .arg(name, field->text())
                                    .arg(field->textWidth())));
        }
    }

    // A figure is drawn from its start, whole: 12000 never shows as 2000.
    void aFieldNotBeingEditedShowsItsTextFromTheStart() {
        WindowFixture f;
        QVERIFY(f.ready());
        const struct {
            const char* field;
            const char* text;
            bool typed; // else set as the start-up load sets the stored prices
        } cases[] = {{"Text30(0)", "12000", true},     {"Text30(1)", "1350.5", true},
                     {"Text2(0)", "1234", true},       {"Text29(0)", "5566.5740", true},
                     {"Text1(0)", "999.9", true},      {"Text27(1)", "19.5", true},
                     {"Text30(2)", "12000", false},    {"Text30(3)", "1350.5", false},
                     {"Text29(1)", "5566.5740", false}};
        for (const auto& c : cases) {
            if (c.typed) {
                f.typeInto(c.field, c.text); // the edit scrolled to its end
            } else {
                auto id = lanqi::parseFieldName(c.field);
                QVERIFY(id);
                f.sheet.setText(*id, c.text);
            }
            f.control("Text13")->setFocus(Qt::TabFocusReason);
            auto* field = fitField(f, c.field);
            QCOMPARE(field->text(), QString(c.text));
            QCOMPARE(field->cursorPosition(), 0);
            const QRect room(field->rect().center().x() - field->textWidth() / 2, 0,
                             field->textWidth(), field->height());
            const auto [first, last] = inkColumns(field->grab().toImage());
            const auto [wholeFirst, wholeLast] = wholeTextInk(field, room);
            QVERIFY2(std::abs(first - wholeFirst) <= 1 && std::abs(last - wholeLast) <= 1,
                     qPrintable(QStringLiteral("%1: ink %2–%3, whole text %4–%5")
                                    .arg(c.field)
                                    .arg(first)
                                    .arg(last)
                                    .arg(wholeFirst)
                                    .arg(wholeLast)));
        }
    }

    void aTextBeyondTheSmallestSizeIsMarkedCutAndWholeInItsTooltip() {
        WindowFixture f;
        QVERIFY(f.ready());
        const QString text = QStringLiteral("1234567890123456");
        f.sheet.setText(Arr::Text2, 0, text.toStdString());
        auto* field = fitField(f, "Text2(0)");
        QVERIFY(field->fitted().cut);
        QVERIFY(field->fitted().shown.endsWith(QChar(0x2026)));
        QVERIFY(text.startsWith(field->fitted().shown.chopped(1)));
        QCOMPARE(field->toolTip(), text);
        f.sheet.setText(Arr::Text2, 0, "12");
        QVERIFY(!field->fitted().cut);
        QVERIFY(field->toolTip().isEmpty());
    }

    void fullWidthNumbersAreTypedAsAscii() {
        WindowFixture f;
        QVERIFY(f.ready());
        f.typeInto("Text2(0)", QStringLiteral("２０"));
        QCOMPARE(f.shown("Text2(0)"), QString("20"));
        QCOMPARE(f.sheet.text(Arr::Text2, 0), std::string("20"));
        f.press(Qt::Key_Home);
        f.press(Qt::Key_Right);
        f.type(QStringLiteral("５"));
        QCOMPARE(f.shown("Text2(0)"), QString("250"));
        QCOMPARE(f.line("Text2(0)")->cursorPosition(), 2);
        const struct {
            const char* field;
            QString typed;
            const char* kept;
        } cases[] = {
            {"Text1(0)", QStringLiteral("３２．５"), "32.5"},
            {"Text25(0)", QStringLiteral("＋４"), "+4"},
            {"Text26(1)", QStringLiteral("１４ｃｍ"), "14ｃｍ"},
            {"Text30(0)", QStringLiteral("１Ｅ３"), "1E3"},
            {"Text27(2)", QStringLiteral("－１ｅ２"), "-1e2"},
            {"Text3(0)", QStringLiteral("２"), "２"}, // a computed field is not an input
        };
        for (const auto& c : cases) {
            f.typeInto(c.field, c.typed);
            QCOMPARE(f.shown(c.field), QString::fromUtf8(c.kept));
        }
        QApplication::clipboard()->setText(QStringLiteral("１２．５"));
        f.control("Text5(0)")->setFocus(Qt::TabFocusReason);
        f.press(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(f.sheet.text(Arr::Text5, 0), std::string("12.5"));
        QCOMPARE(f.line("Text5(0)")->cursorPosition(), 4);
    }

    // Every kind of edit of the remarks reaches the sheet as it is shown.
    void theRemarksAreMirroredEditByEdit() {
        WindowFixture f;
        QVERIFY(f.ready());
        auto* memo = qobject_cast<QPlainTextEdit*>(f.control("Text13"));
        const auto same = [&] {
            return f.sheet.text(Arr::Text13, 0) == memo->toPlainText().toStdString();
        };
        memo->setFocus(Qt::TabFocusReason);
        f.type(QStringLiteral("车号 A1"));
        QVERIFY(same());
        f.press(Qt::Key_Home);
        QTest::sendKeyEvent(QTest::Click, memo, Qt::Key_unknown, QStringLiteral("😀"),
                            Qt::NoModifier);
        f.type(QStringLiteral("x"));
        QCOMPARE(f.sheet.text(Arr::Text13, 0), std::string("😀x车号 A1"));
        f.press(Qt::Key_Left);
        f.press(Qt::Key_Backspace);
        QCOMPARE(f.sheet.text(Arr::Text13, 0), std::string("x车号 A1"));
        QApplication::clipboard()->setText(QStringLiteral("第一行\n第二行\u00a0完"));
        f.press(Qt::Key_End);
        f.press(Qt::Key_V, Qt::ControlModifier);
        QVERIFY(same());
        f.press(Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(same());
        f.press(Qt::Key_A, Qt::ControlModifier);
        f.type(QStringLiteral("新"));
        QCOMPARE(f.sheet.text(Arr::Text13, 0), std::string("新"));
        f.sheet.setText(Arr::Text13, 0, "由表格读入");
        QCOMPARE(memo->toPlainText(), QStringLiteral("由表格读入"));
        memo->moveCursor(QTextCursor::End);
        f.type(QStringLiteral("。"));
        QCOMPARE(f.sheet.text(Arr::Text13, 0), std::string("由表格读入。"));
    }

    void theRemarksHoldOneCellAndACutPasteSaysSo() {
        WindowFixture f;
        QVERIFY(f.ready());
        QSignalSpy notices(f.window.get(), &lanqi::ui::MainWindow::notice);
        auto* memo = qobject_cast<QPlainTextEdit*>(f.control("Text13"));
        memo->setFocus(Qt::TabFocusReason);
        f.type(QStringLiteral("备注"));
        QApplication::clipboard()->setText(QString(40000, QChar(u'木')));
        f.press(Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(size_t(memo->toPlainText().size()), lanqi::kLongestRemarks);
        QCOMPARE(f.sheet.text(Arr::Text13, 0), memo->toPlainText().toStdString());
        QTRY_COMPARE(notices.count(), 1); // told once the paste has ended
        QVERIFY(notices[0][0].toString().contains(QStringLiteral("32767")));
        f.type(QStringLiteral("x")); // full: refused
        QCOMPARE(size_t(memo->toPlainText().size()), lanqi::kLongestRemarks);
        f.press(Qt::Key_Backspace);
        f.type(QStringLiteral("xy"));
        QVERIFY(memo->toPlainText().endsWith(u'x'));
        QCOMPARE(notices.count(), 1); // typing is refused without a message
        QCOMPARE(f.sheet.text(Arr::Text13, 0), memo->toPlainText().toStdString());
    }

    void theFocusOnButtonsAndListsIsRinged() {
        WindowFixture f;
        QVERIFY(f.ready());
        const char* controls[] = {"Command3", "Command1", "Combo4", "Combo14"};
        for (const char* name : controls) {
            QWidget* control = f.control(name);
            f.control("Text2(0)")->setFocus(Qt::TabFocusReason);
            QVERIFY2(ringPixels(f.window.get(), control) < 20, name);
            control->setFocus(Qt::TabFocusReason);
            // A ring three pixels wide all round.
            QVERIFY2(ringPixels(f.window.get(), control) >=
                         5 * (control->width() + control->height()),
                     name);
        }
    }
};

QTEST_MAIN(FieldsTest)
#include "fields_test.moc"
