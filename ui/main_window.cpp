#include "ui/main_window.h"

#include "editing/clear.h"
#include "editing/date_caption.h"
#include "editing/selectors.h"
#include "tally/tick.h"
#include "ui/button_faces.h"
#include "ui/click_label.h"
#include "ui/control_look.h"
#include "ui/fit_field.h"
#include "ui/focus_ring.h"
#include "ui/frame_box.h"
#include "ui/key_navigation.h"
#include "ui/model_binding.h"
#include "ui/remark_edit.h"
#include "ui/web_links.h"
#include "ui/window_icon.h"
#include "ui/window_move.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QUrl>

namespace lanqi::ui {

namespace {

QString qt(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

QRect pixels(const Twips& t) {
    return {toPixels(t.left), toPixels(t.top), toPixels(t.width), toPixels(t.height)};
}

// The party and detail caption lists and the name lists have their rules.
struct Selector {
    Combo combo;
    void (*click)(TallySheet&);
};
constexpr Selector kSelectors[] = {
    {Combo::Combo2, Combo2_Click},
    {Combo::Combo4, Combo4_Click},
    {Combo::Combo5, Combo5_Click},
    {Combo::Combo6, Combo6_Click},
};

QWidget* makeWidget(const Control& row, QWidget* parent) {
    switch (row.kind) {
    case Kind::Frame: {
        auto* frame = new FrameBox(parent);
        frame->setCaption(qt(row.caption), fontOf(row.look.font), colourOf(row.look.text));
        return frame;
    }
    case Kind::TextBox:
        return new FitLineEdit(parent);
    case Kind::Memo: {
        auto* memo = new RemarkEdit(parent);
        memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        memo->setTabChangesFocus(true);
        return memo;
    }
    case Kind::Label:
        return new ClickLabel(qt(row.caption), parent);
    case Kind::Combo: {
        auto* box = new QComboBox(parent);
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->setCompleter(nullptr);
        return box;
    }
    case Kind::Button:
        return new FaceButton(qt(row.caption), qt(row.pressedCaption), pixels(row.place).size(),
                              parent);
    }
    return nullptr;
}

Qt::FocusPolicy focusPolicyOf(const Control& row) {
    if (row.kind == Kind::Label || row.kind == Kind::Frame) return Qt::NoFocus;
    return row.tabStop ? Qt::StrongFocus : Qt::ClickFocus;
}

} // namespace

MainWindow::MainWindow(TallySheet& sheet, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), sheet_(sheet) {
    setWindowTitle(qt(kWindowTitle));
    setWindowIcon(drawWindowIcon());
    setFixedSize(pixels(kWindowPlace).size());
    applyLook(this, {Colour::Inherit, kWindowBack});
    setAutoFillBackground(true);

    QWidget* frame = nullptr;
    for (const Control& row : kControls) {
        QWidget* w = build(row, frame ? frame : this);
        if (row.kind == Kind::Frame) frame = w;
    }
    applyTabOrder();
    new FocusRing(frame);

    binding_ = new ModelBinding(sheet_, controls_, this);
    keys_ = new KeyNavigation(this, controls_);
    connectHandlers();

    timer1_.setInterval(kTimer1.intervalMs);
    timer2_.setInterval(kTimer2.intervalMs);
    timer1_.start();
    timer2_.start();
    centreOnScreen(this);
    if (QWidget* first = controls_.firstTabStop()) first->setFocus(Qt::TabFocusReason);
}

// The key preview and the mirror go before the control map they read.
MainWindow::~MainWindow() {
    delete keys_;
    delete binding_;
}

QWidget* MainWindow::build(const Control& row, QWidget* parent) {
    QWidget* w = makeWidget(row, parent);
    w->setObjectName(controlName(row));
    w->setGeometry(pixels(row.place));
    w->setFocusPolicy(focusPolicyOf(row));
    // The frame keeps its caption's colour and font to itself, so that the
    // controls inside inherit only its background.
    applyLook(w, row.kind == Kind::Frame ? Look{Colour::Inherit, row.look.back} : row.look);
    // Fields are drawn over the labels they overlap.
    if (row.kind == Kind::Label) w->lower();
    controls_.add(row, w);
    return w;
}

void MainWindow::applyTabOrder() {
    const std::vector<QWidget*> order = controls_.tabOrder();
    for (size_t i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

void MainWindow::connectHandlers() {
    connect(&timer1_, &QTimer::timeout, this, [this] { Timer1_Timer(sheet_); });
    connect(&timer2_, &QTimer::timeout, this,
            [this] { sheet_.setCaption(Label::Label22, todayCaption()); });

    connect(this, &MainWindow::surfacePressed, this, [this] { startWindowMove(this); });
    connect(static_cast<FrameBox*>(control(QStringLiteral("Frame1"))), &FrameBox::barePressed, this,
            &MainWindow::surfacePressed);

    connect(binding_, &ModelBinding::comboPicked, this, [this](Combo picked) {
        for (const Selector& s : kSelectors)
            if (s.combo == picked) s.click(sheet_);
    });

    auto clicked = [this](const char* name, auto handler) {
        connect(static_cast<QAbstractButton*>(control(QString::fromLatin1(name))),
                &QAbstractButton::clicked, this, handler);
    };
    clicked("Command1", [this] { Command1_Click(sheet_); });
    clicked("Command4", [this] { Command4_Click(sheet_); });
    clicked("Command2", [this] { showMinimized(); });
    clicked("Command3", [this] { emit billRequested(); });
    clicked("Command6", [this] { emit saveAndExitRequested(); });

    connect(static_cast<RemarkEdit*>(control(QStringLiteral("Text13"))), &RemarkEdit::pasteCut,
            this, [this](qsizetype kept, qsizetype offered) {
                emit notice(QStringLiteral("备注最多能放 %1 个字符（账单上一个单元格的容量）。"
                                           "粘贴的 %2 个字符中只放进了前 %3 个。")
                                .arg(kLongestCellText)
                                .arg(offered)
                                .arg(kept));
            });

    for (const WebLink& link : kWebLinks) {
        auto* label = static_cast<ClickLabel*>(control(qt(link.label)));
        const QUrl address(qt(link.address));
        connect(label, &ClickLabel::clicked, this,
                [address] { QDesktopServices::openUrl(address); });
    }
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    if (childAt(event->position().toPoint())) return QWidget::mousePressEvent(event);
    event->accept();
    emit surfacePressed();
}

} // namespace lanqi::ui
