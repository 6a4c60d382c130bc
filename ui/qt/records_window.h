#pragma once
// The records window: the filter and the period above, the bills below, one
// line a bill, the totals of what is shown at the foot. It shows the records
// list of the program and hands it every key and click; the list decides.
// The table asks the list only for the lines it draws.
#include "program/records.h"

#include <QAbstractTableModel>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace lanqi::ui {

// The lines of the records list as Qt's table asks for them.
class RecordsTable : public QAbstractTableModel {
    Q_OBJECT
  public:
    explicit RecordsTable(RecordsList& list, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    // The list changed as a whole: the table asks anew.
    void reset();

  private:
    RecordsList& list_;
};

class RecordsWindow : public QWidget, public RecordsList::View {
    Q_OBJECT
  public:
    RecordsWindow(RecordsList& list, QWidget* owner);

    // Shown, in front, with the focus in the filter.
    void present();
    QTableView* table() const { return view_; }
    QLineEdit* filterField() const { return filter_; }
    QLabel* totalsLine() const { return totals_; }

    void refresh(bool lines) override;
    void dismiss() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int shownLines() const;

    RecordsList& list_;
    RecordsTable* table_;
    QLineEdit* filter_;
    QLineEdit* from_;
    QLineEdit* to_;
    QPushButton* export_;
    QTableView* view_;
    QLabel* totals_;
    Subscription attached_;
    bool placed_ = false; // centred over the main window once
};

} // namespace lanqi::ui
