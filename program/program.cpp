#include "program/program.h"

#include "calc/numeric_text.h"
#include "editing/blanking.h"
#include "editing/clear.h"
#include "editing/date_caption.h"
#include "editing/selectors.h"
#include "platform/single_instance.h"
#include "platform/utf16_text.h"
#include "program/web_links.h"
#include "program/workbook_commands.h"
#include "tally/tick.h"

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

  private:
    void giveBack(std::optional<ControlId> had) {
        if (had) window_->focus(*had);
    }
    WindowPort*& window_;
};

} // namespace

struct Program::Running {
    Running(SpreadsheetApplication& spreadsheet, std::filesystem::path workbook,
            std::filesystem::path lock)
        : instanceLock(std::move(lock)),
          commands(spreadsheet, std::move(workbook), [this]() -> WindowPort& { return port(); }),
          remarks(sheet) {
        attachBlankingRules(sheet);
    }
    WindowPort& port() { return boxes; }
    // The focus moves to `control` as a key moves it.
    void enterByKey(ControlId control) {
        port().focus(control);
        port().selectText(control, ui::entryByKey(control));
    }

    TallySheet sheet;
    std::filesystem::path instanceLock;
    std::unique_ptr<platform::SingleInstance> instance;
    NoWindow noWindow;
    WindowPort* window = &noWindow;
    BoxesKeepFocus boxes{window};
    WorkbookCommands commands;
    RemarksMirror remarks;
};

namespace {

using Running = Program::Running;

// What each button does.
struct ButtonCommand {
    std::string_view button;
    void (*run)(Running&);
};
constexpr ButtonCommand kButtons[] = {
    {"Command1", [](Running& r) { Command1_Click(r.sheet); }},
    {"Command2", [](Running& r) { r.port().minimise(); }},
    {"Command3", [](Running& r) { r.commands.Command3_Click(r.sheet); }},
    {"Command4", [](Running& r) { Command4_Click(r.sheet); }},
    {"Command6", [](Running& r) { r.commands.Command6_Click(r.sheet); }},
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

} // namespace

Program::Program(SpreadsheetApplication& spreadsheet, std::filesystem::path workbook,
                 std::filesystem::path instanceLock)
    : running_(
          std::make_shared<Running>(spreadsheet, std::move(workbook), std::move(instanceLock))) {}

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
    if (isNumberInput(field.arr))
        running_->sheet.setText(field, asciiNumberForms(text));
    else
        running_->sheet.setText(field, text);
}

void Program::listPicked(Combo list, int entry) {
    running_->sheet.selectComboEntry(list, entry);
    for (const ListRule& r : kListRules)
        if (r.list == list) r.rule(running_->sheet);
}

void Program::listTextTyped(Combo list, std::string_view text) {
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

bool Program::keyPressed(ControlId focused, Key key) {
    Running& r = *running_;
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
    return running_->remarks.edit(position, removed, inserted);
}

} // namespace lanqi
