#include "ui/qt/records_window.h"

#include "program/controls_table.h"
#include "ui/qt/key_navigation.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

namespace lanqi::ui {

namespace {

QString qt(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

constexpr int kColumns = static_cast<int>(std::size(kRecordColumns));

} // namespace

RecordsTable::RecordsTable(RecordsList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list) {}

int RecordsTable::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(list_.lineCount());
}

int RecordsTable::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant RecordsTable::data(const QModelIndex& index, int role) const {
    const RecordColumnLayout& column = kRecordColumns[index.column()];
    switch (role) {
    case Qt::DisplayRole:
        return qt(list_.cell(index.row(), column.column));
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::AlignVCenter | (column.figure ? Qt::AlignRight : Qt::AlignLeft));
    case Qt::ForegroundRole:
        if (list_.replaced(index.row())) return QApplication::palette().color(QPalette::Disabled, QPalette::Text);
        return {};
    default:
        return {};
    }
}

QVariant RecordsTable::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section >= kColumns) return {};
    return qt(kRecordColumns[section].heading);
}

void RecordsTable::reset() {
    beginResetModel();
    endResetModel();
}

RecordsWindow::RecordsWindow(RecordsList& list, QWidget* owner)
    : QWidget(owner, Qt::Window), list_(list), table_(new RecordsTable(list, this)),
      filter_(new QLineEdit(this)), from_(new QLineEdit(this)), to_(new QLineEdit(this)),
      export_(new QPushButton(qt(kExportCaption), this)), view_(new QTableView(this)),
      totals_(new QLabel(this)) {
    setObjectName(QStringLiteral("Records"));
    setWindowTitle(qt(kRecordsTitle));
    filter_->setObjectName(QStringLiteral("RecordsFilter"));
    from_->setObjectName(QStringLiteral("RecordsFrom"));
    to_->setObjectName(QStringLiteral("RecordsTo"));
    for (QLineEdit* date : {from_, to_}) {
        date->setPlaceholderText(qt(kDateHint));
        date->setMaximumWidth(110);
    }
    filter_->setPlaceholderText(qt(kKeysHint));

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(qt(kFilterCaption), this));
    top->addWidget(filter_, 1);
    top->addWidget(new QLabel(qt(kFromCaption), this));
    top->addWidget(from_);
    top->addWidget(new QLabel(qt(kToCaption), this));
    top->addWidget(to_);
    top->addWidget(export_);

    // Every line one height, so that the table needs no line to place another.
    view_->setModel(table_);
    view_->setFocusPolicy(Qt::NoFocus);
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::SingleSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view_->verticalHeader()->hide();
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    view_->horizontalHeader()->setStretchLastSection(true);
    view_->setWordWrap(false);
    for (int c = 0; c < kColumns; ++c) view_->setColumnWidth(c, toPixels(kRecordColumns[c].width));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(view_, 1);
    layout->addWidget(totals_);
    totals_->setObjectName(QStringLiteral("RecordsTotals"));

    int width = 40;
    for (const RecordColumnLayout& c : kRecordColumns) width += toPixels(c.width);
    resize(width, 560);

    for (QWidget* w : {static_cast<QWidget*>(filter_), static_cast<QWidget*>(from_),
                       static_cast<QWidget*>(to_), static_cast<QWidget*>(export_)})
        w->installEventFilter(this);
    connect(filter_, &QLineEdit::textEdited, this,
            [this](const QString& text) { list_.filterTyped(text.toStdString()); });
    for (QLineEdit* date : {from_, to_})
        connect(date, &QLineEdit::textEdited, this, [this] {
            list_.periodTyped(from_->text().toStdString(), to_->text().toStdString());
        });
    connect(export_, &QPushButton::clicked, this, [this] { list_.exportClicked(); });
    connect(view_, &QTableView::clicked, this, [this](const QModelIndex& index) {
        list_.lineClicked(index.row());
    });
    connect(view_, &QTableView::doubleClicked, this, [this](const QModelIndex& index) {
        list_.lineOpened(index.row());
    });
    attached_ = list_.attach(*this);
    refresh(true);
}

void RecordsWindow::present() {
    if (!isVisible() && !placed_) {
        const QRect owner = parentWidget()->frameGeometry();
        move(std::max(0, owner.center().x() - width() / 2),
             std::max(0, owner.center().y() - height() / 2));
        placed_ = true;
    }
    show();
    raise();
    activateWindow();
    filter_->setFocus(Qt::OtherFocusReason);
}

// The table is asked anew only when the lines changed; a moved selection
// only moves the highlight.
void RecordsWindow::refresh(bool lines) {
    if (lines) table_->reset();
    const std::int64_t row = list_.selected();
    if (row >= 0) {
        const QModelIndex index = table_->index(static_cast<int>(row), 0);
        view_->selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        view_->scrollTo(index);
    }
    totals_->setText(qt(list_.totalsText()));
}

void RecordsWindow::dismiss() {
    hide();
}

int RecordsWindow::shownLines() const {
    const int line = view_->verticalHeader()->defaultSectionSize();
    return line > 0 ? std::max(1, view_->viewport()->height() / line - 1) : 1;
}

bool RecordsWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress) return QWidget::eventFilter(watched, event);
    const Key key = keyOf(static_cast<QKeyEvent*>(event));
    // Enter on the export button presses it.
    if (watched == export_ && key == Key::Enter) {
        export_->click();
        return true;
    }
    return list_.keyPressed(key, shownLines());
}

} // namespace lanqi::ui
