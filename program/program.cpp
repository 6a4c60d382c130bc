#include "program/program.h"

#include "calc/numeric_text.h"
#include "editing/blanking.h"
#include "editing/clear.h"
#include "editing/date_caption.h"
#include "editing/selectors.h"
#include "platform/single_instance.h"
#include "platform/utf16_text.h"
#include "platform/utf8_path.h"
#include "program/records.h"
#include "program/web_links.h"
#include "program/workbook_commands.h"
#include "tally/tick.h"

#include <array>

namespace lanqi {

using ui::ControlId;

namespace {

// Before a window is attached, and after it has gone: nothing is shown and
// every question is answered with its last choice, which stays.
class NoWindow final : public WindowPort {
    void inform(std::string_view) override {}
    Choice ask(std::string_view, std::span<const Choice> choices) override {
        return choices.empty() ? Choice::Cancel : choices.back();
    }
    void endProgram() override {}
    void later(std::function<void()>) override {}
    void focus(ControlId) override {}
    std::optional<ControlId> focusedControl() const override { return std::nullopt; }
    void selectText(ControlId, ui::Entry) override {}
    void beep() override {}
    void minimise() override {}
    void startWindowMove() override {}
    void openLink(std::string_view) override {}
    void showRecords(RecordsList&) override {}
};

// A box takes the focus away from the window (on Windows even before the
// window could note where it was): the control that had it gets it back, as
// it was, once the box is closed.
class BoxesKeepFocus final : public WindowPort {
  public:
    explicit BoxesKeepFocus(WindowPort*& window) : window_(window) {}

    void inform(std::string_view message) override {
        const std::optional<ControlId> had = window_->focusedControl();
        window_->inform(message);
        giveBack(had);
    }
    Choice ask(std::string_view message, std::span<const Choice> choices) override {
        const std::optional<ControlId> had = window_->focusedControl();
        const Choice choice = window_->ask(message, choices);
        giveBack(had);
        return choice;
    }
    void endProgram() override { window_->endProgram(); }
    void later(std::function<void()> task) override { window_->later(std::move(task)); }
    void focus(ControlId control) override { window_->focus(control); }
    std::optional<ControlId> focusedControl() const override { return window_->focusedControl(); }
    void selectText(ControlId control, ui::Entry entry) override {
        window_->selectText(control, entry);
    }
    void beep() override { window_->beep(); }
    void minimise() override { window_->minimise(); }
    void startWindowMove() override { window_->startWindowMove(); }
    void openLink(std::string_view address) override { window_->openLink(address); }
    void showRecords(RecordsList& records) override { window_->showRecords(records); }

  private:
    void giveBack(std::optional<ControlId> had) {
        if (had) window_->focus(*had);
    }
    WindowPort*& window_;
};

} // namespace

struct Program::Running {
    Running(SpreadsheetApplication& spreadsheet, std::filesystem::path workbook,
            std::filesystem::path lock, std::filesystem::path statementTemplate)
        : instanceLock(std::move(lock)), ledgerFolder(workbook.parent_path()),
          commands(
              spreadsheet, std::move(workbook), [this]() -> WindowPort& { return port(); },
              std::move(statementTemplate)),
          remarks(sheet) {
        attachBlankingRules(sheet);
    }
    WindowPort& port() { return boxes; }
    // The focus moves to `control` as a key moves it.
    void enterByKey(ControlId control) {
        port().focus(control);
        port().selectText(control, ui::entryByKey(control));
    }

    void writeBill();
    void openRecords();
    bool reopen(const std::string& serial);
    void exportStatement(const ledger::Filter& filter);
    // The user changed the tally, by typing, picking or clearing.
    void edited() { unexported = true; }
    bool holdsUnexportedTally() const;

    TallySheet sheet;
    std::filesystem::path instanceLock;
    std::filesystem::path ledgerFolder;
    std::unique_ptr<platform::SingleInstance> instance;
    NoWindow noWindow;
    WindowPort* window = &noWindow;
    BoxesKeepFocus boxes{window};
    WorkbookCommands commands;
    RemarksMirror remarks;
    // The tally changed since the start, the last bill or the last reopened one.
    bool unexported = false;
    std::unique_ptr<ledger::Ledger> ledger;
    std::unique_ptr<RecordsList> records;
};

namespace {

using Running = Program::Running;

// What each button does.
struct ButtonCommand {
    std::string_view button;
    void (*run)(Running&);
};
constexpr ButtonCommand kButtons[] = {
    {"Command1",
     [](Running& r) {
         Command1_Click(r.sheet);
         r.edited();
     }},
    {"Command2", [](Running& r) { r.port().minimise(); }},
    {"Command3", [](Running& r) { r.writeBill(); }},
    {"Command4",
     [](Running& r) {
         Command4_Click(r.sheet);
         r.edited();
     }},
    {"Command6", [](Running& r) { r.commands.Command6_Click(r.sheet); }},
    {ui::kRecordsLink, [](Running& r) { r.openRecords(); }},
};

// The lists whose picks run a rule.
struct ListRule {
    Combo list;
    void (*rule)(TallySheet&);
};
constexpr ListRule kListRules[] = {
    {Combo::Combo2, Combo2_Click},
    {Combo::Combo4, Combo4_Click},
    {Combo::Combo5, Combo5_Click},
    {Combo::Combo6, Combo6_Click},
};

constexpr std::string_view kAlreadyRunning = "程序正在运行......";

std::string quoted(Choice c) {
    return "“" + std::string(wordsOf(c)) + "”";
}

} // namespace

// A bill written starts the next tally afresh: nothing on the window is left
// unexported, and the records window shows the new bill.
void Running::writeBill() {
    if (!commands.Command3_Click(sheet)) return;
    unexported = false;
    if (records) records->reload();
}

bool Running::holdsUnexportedTally() const {
    if (!unexported) return false;
    for (const Block& block : kBlocks)
        for (int row = 0; row < 20; ++row)
            if (!sheet.text(block.count, row).empty()) return true;
    return false;
}

void Running::openRecords() {
    if (!records) {
        try {
            ledger = ledger::Ledger::open(ledgerFolder);
        } catch (const ledger::LedgerError& e) {
            port().inform(std::string("账单记录打不开。\n") + e.what());
            return;
        }
        if (const auto aside = ledger->movedAside())
            port().inform("账单记录已损坏，已移到 " + platform::utf8Text(*aside) +
                          "，新的账单记录从现在开始。");
        records = std::make_unique<RecordsList>(
            *ledger, [this](const std::string& serial) { return reopen(serial); },
            [this](const ledger::Filter& filter) { exportStatement(filter); });
    } else {
        records->reload();
    }
    port().showRecords(*records);
}

// A tally on the window that no bill holds is not given up unasked: it can
// go on a bill first, or be let go.
bool Running::reopen(const std::string& serial) {
    if (holdsUnexportedTally()) {
        constexpr std::array kChoices{Choice::ExportFirst, Choice::OpenWithoutExport,
                                      Choice::Cancel};
        const Choice choice = port().ask(
            "窗口上的检尺还没有导出成账单，打开账单 " + serial + " 会换掉窗口上的全部内容。\n点" +
                quoted(Choice::ExportFirst) + "先把它导出成账单再打开；点" +
                quoted(Choice::OpenWithoutExport) + "则窗口上的检尺不保留；点" +
                quoted(Choice::Cancel) + "回到窗口。",
            kChoices);
        if (choice == Choice::Cancel) return false;
        if (choice == Choice::ExportFirst) {
            writeBill();
            if (unexported) return false;
        }
    }
    ledger::BillRecord bill;
    try {
        bill = ledger->bill(serial);
    } catch (const ledger::LedgerError& e) {
        port().inform("账单 " + serial + " 打不开，窗口上的内容没有改动。\n" + e.what());
        return false;
    }
    commands.reopen(sheet, bill);
    unexported = false;
    port().focus(ui::firstTabStop(sheet));
    return true;
}

void Running::exportStatement(const ledger::Filter& filter) {
    commands.writeStatement(*ledger, filter);
}

Program::Program(SpreadsheetApplication& spreadsheet, std::filesystem::path workbook,
                 std::filesystem::path instanceLock, std::filesystem::path statementTemplate)
    : running_(std::make_shared<Running>(spreadsheet, std::move(workbook), std::move(instanceLock),
                                         std::move(statementTemplate))) {}

Program::~Program() = default;

TallySheet& Program::sheet() {
    return running_->sheet;
}
const TallySheet& Program::sheet() const {
    return running_->sheet;
}

Subscription Program::attach(WindowPort& port) {
    running_->window = &port;
    std::weak_ptr<Running> running = running_;
    return Subscription([running, &port] {
        if (const std::shared_ptr<Running> r = running.lock())
            if (r->window == &port) r->window = &r->noWindow;
    });
}

bool Program::start() {
    Running& r = *running_;
    r.instance = std::make_unique<platform::SingleInstance>(r.instanceLock);
    if (!r.instance->acquired()) {
        r.port().inform(kAlreadyRunning);
        return false;
    }
    r.commands.Form_Load(r.sheet);
    return true;
}

ControlId Program::firstFocus() const {
    return ui::firstTabStop(running_->sheet);
}

void Program::focusFirst() {
    running_->enterByKey(firstFocus());
}

void Program::timerFired(ui::Timer timer) {
    Running& r = *running_;
    switch (timer) {
    case ui::Timer::Timer1:
        Timer1_Timer(r.sheet);
        break;
    case ui::Timer::Timer2:
        r.sheet.setCaption(Label::Label22, todayCaption());
        r.commands.checkShow();
        break;
    }
}

void Program::textTyped(FieldId field, std::string_view text) {
    running_->edited();
    if (isNumberInput(field.arr))
        running_->sheet.setText(field, asciiNumberForms(text));
    else
        running_->sheet.setText(field, text);
}

void Program::listPicked(Combo list, int entry) {
    running_->edited();
    running_->sheet.selectComboEntry(list, entry);
    for (const ListRule& r : kListRules)
        if (r.list == list) r.rule(running_->sheet);
}

void Program::listTextTyped(Combo list, std::string_view text) {
    running_->edited();
    running_->sheet.setComboText(list, text);
}

void Program::clicked(ControlId control) {
    const std::string name = ui::controlName(control);
    for (const ButtonCommand& b : kButtons)
        if (b.button == name) return b.run(*running_);
    for (const ui::WebLink& link : ui::kWebLinks)
        if (link.label == name) return running_->port().openLink(link.address);
}

void Program::barePressed() {
    running_->port().startWindowMove();
}

// F3 opens the records; every other key does what the key rules say.
bool Program::keyPressed(ControlId focused, Key key) {
    Running& r = *running_;
    if (key == Key::F3) {
        r.openRecords();
        return true;
    }
    const ui::KeyEffect effect = ui::keyEffect(r.sheet, focused, key);
    switch (effect.act) {
    case ui::KeyEffect::Act::ToControl:
        return false;
    case ui::KeyEffect::Act::Swallow:
        return true;
    case ui::KeyEffect::Act::Focus:
        r.enterByKey(effect.target);
        return true;
    case ui::KeyEffect::Act::StepList:
        if (const std::optional<Combo> list = ui::comboOf(focused))
            if (const auto entry = ui::steppedEntry(r.sheet.combo(*list), effect.step)) {
                listPicked(*list, *entry);
                r.port().selectText(focused, ui::Entry::WholeText);
            }
        return true;
    }
    return false;
}

void Program::reopened(std::string serial) {
    running_->commands.reopened(std::move(serial));
}

std::string Program::fitIntoRemarks(std::string_view offered, std::size_t selectedUnits,
                                    Input how) {
    Running& r = *running_;
    const std::size_t room = r.remarks.room(selectedUnits);
    const std::size_t units = platform::utf16Length(offered);
    if (units <= room) return std::string(offered);
    std::string kept(offered.substr(0, platform::byteOffsetOfUnit(offered, room)));
    if (how == Input::Typed) {
        r.port().beep();
    } else {
        const std::string notice = "备注最多能放 " + std::to_string(kLongestRemarks) +
                                   " 个字符（账单上一个单元格的容量）。粘贴的 " +
                                   std::to_string(units) + " 个字符中只放进了前 " +
                                   std::to_string(platform::utf16Length(kept)) + " 个。";
        std::weak_ptr<Running> running = running_;
        r.port().later([running, notice] {
            if (const std::shared_ptr<Running> alive = running.lock()) alive->port().inform(notice);
        });
    }
    return kept;
}

bool Program::remarksEdited(std::size_t position, std::size_t removed, std::string_view inserted) {
    running_->edited();
    return running_->remarks.edit(position, removed, inserted);
}

} // namespace lanqi
