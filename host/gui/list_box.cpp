#include "host/gui/list_box.h"

#include <QListWidget>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <algorithm>

#include "host/core/class_builder.h"
#include "host/core/exceptions.h"
#include "host/gui/qt_text.h"
#include "host/gui/widget_strings.h"

namespace kv {

// Gives every row the list box's ItemHeight when one is set.
class TRowHeightDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  int height = 0;

  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (height > 0) size.setHeight(height);
    return size;
  }
};

// ---------------------------------------------------------------------------------------
// TListBoxStrings: the list box's rows, each with its object in the item's user data.

class TListBoxStrings : public TItemStrings {
  KV_CLASS(TListBoxStrings, TItemStrings)

 public:
  explicit TListBoxStrings(TCustomListBox& listBox)
      : TItemStrings(listBox), listBox_(listBox), list_(listBox.List()) {}

  int CurrentRow() const override { return listBox_.ItemIndex(); }
  void SetCurrentRow(int row) override { listBox_.SetItemIndex(row); }

 protected:
  int RowCount() const override { return list_->count(); }
  UString RowText(int row) const override { return UStringOf(list_->item(row)->text()); }
  int32_t RowObject(int row) const override { return list_->item(row)->data(Qt::UserRole).toInt(); }
  void SetRowText(int row, const UString& text) override {
    const QSignalBlocker quiet(list_);
    list_->item(row)->setText(QStringOf(text));
  }
  void SetRowObject(int row, int32_t object) override {
    list_->item(row)->setData(Qt::UserRole, object);
  }
  void InsertRow(int row, const UString& text, int32_t object) override {
    const QSignalBlocker quiet(list_);
    auto* item = new QListWidgetItem(QStringOf(text));
    item->setData(Qt::UserRole, object);
    list_->insertItem(row, item);
  }
  // Qt would make a neighbour current; the host's list box has no item current then.
  void RemoveRow(int row) override {
    const QSignalBlocker quiet(list_);
    const bool wasCurrent = list_->currentRow() == row;
    delete list_->takeItem(row);
    if (wasCurrent) list_->setCurrentRow(-1, QItemSelectionModel::NoUpdate);
  }
  void RemoveAllRows() override {
    const QSignalBlocker quiet(list_);
    list_->clear();
  }

 private:
  TCustomListBox& listBox_;
  QListWidget* list_;
};

KV_DEFINE_CLASS(TListBoxStrings, TItemStrings) {}

// ---------------------------------------------------------------------------------------
// TCustomListBox

KV_DEFINE_CLASS(TCustomListBox, TWinControl) {
  c.Property("Items", &TCustomListBox::Items, &TCustomListBox::SetItems);
  c.Property("MultiSelect", &TCustomListBox::MultiSelect, &TCustomListBox::SetMultiSelect);
  c.Property("ExtendedSelect", &TCustomListBox::ExtendedSelect, &TCustomListBox::SetExtendedSelect);
  c.Property("Sorted", &TCustomListBox::Sorted, &TCustomListBox::SetSorted);
  c.Property("TopIndex", &TCustomListBox::TopIndex, &TCustomListBox::SetTopIndex);
  c.Property("Columns", &TCustomListBox::Columns, &TCustomListBox::SetColumns);
  c.Property("ItemHeight", &TCustomListBox::ItemHeight, &TCustomListBox::SetItemHeight);
  c.Property("IntegralHeight", &TCustomListBox::IntegralHeight, &TCustomListBox::SetIntegralHeight);
  c.Property("Style", "TListBoxStyle", &TCustomListBox::Style, &TCustomListBox::SetStyle);
}

KV_DEFINE_CLASS(TListBox, TCustomListBox) { c.Constructor(); }

TCustomListBox::TCustomListBox(TComponent* owner) : TWinControl(owner) {
  auto* list = new QListWidget();
  list->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  rowHeight_ = new TRowHeightDelegate(list);
  list->setItemDelegate(rowHeight_);
  SetWidget(list);
  // Mouse events arrive at the viewport.
  Watch(list->viewport());
  SetFocusable(true);
  items_ = std::make_unique<TListBoxStrings>(*this);
  ApplySelectionMode();
  SetBounds(0, 0, 121, 97);
  // Script changes are made with the signals blocked: this is the user's selection.
  Connect(list, &QListWidget::itemSelectionChanged, [this] { Click(); });
}

TCustomListBox::~TCustomListBox() = default;

QListWidget* TCustomListBox::List() const { return static_cast<QListWidget*>(Widget()); }

int TCustomListBox::ColorRole() const { return QPalette::Base; }

TStrings* TCustomListBox::Items() const { return items_.get(); }
void TCustomListBox::SetItems(TStrings* items) { items_->Assign(items); }

void TCustomListBox::CheckItemIndex(int index) const {
  if (index < 0 || index >= List()->count())
    throw EListError(u"List index out of bounds (" + IntToUStr(index) + u")");
}

int TCustomListBox::ItemIndex() const {
  if (multiSelect_) return List()->currentRow();
  const QList<QListWidgetItem*> selected = List()->selectedItems();
  return selected.isEmpty() ? -1 : List()->row(selected.first());
}

void TCustomListBox::SetItemIndex(int index) {
  if (index != -1) CheckItemIndex(index);
  const QSignalBlocker quiet(List());
  if (multiSelect_) {
    List()->setCurrentRow(index, QItemSelectionModel::NoUpdate);
  } else if (index < 0) {
    List()->clearSelection();
    List()->setCurrentRow(-1, QItemSelectionModel::NoUpdate);
  } else {
    List()->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
  }
}

void TCustomListBox::SetMultiSelect(bool multiSelect) {
  if (multiSelect == multiSelect_) return;
  multiSelect_ = multiSelect;
  ApplySelectionMode();
}

void TCustomListBox::SetExtendedSelect(bool extended) {
  extendedSelect_ = extended;
  ApplySelectionMode();
}

void TCustomListBox::ApplySelectionMode() {
  const QSignalBlocker quiet(List());
  if (!multiSelect_) {
    List()->clearSelection();
    List()->setSelectionMode(QAbstractItemView::SingleSelection);
    return;
  }
  List()->setSelectionMode(extendedSelect_ ? QAbstractItemView::ExtendedSelection
                                           : QAbstractItemView::MultiSelection);
}

int TCustomListBox::SelCount() const { return static_cast<int>(List()->selectedItems().size()); }

bool TCustomListBox::Selected(int index) const {
  CheckItemIndex(index);
  return List()->item(index)->isSelected();
}

void TCustomListBox::SetSelected(int index, bool selected) {
  CheckItemIndex(index);
  if (!multiSelect_) {
    if (selected) {
      SetItemIndex(index);
    } else if (Selected(index)) {
      SetItemIndex(-1);
    }
    return;
  }
  const QSignalBlocker quiet(List());
  List()->item(index)->setSelected(selected);
}

bool TCustomListBox::Sorted() const { return items_->Sorted(); }
void TCustomListBox::SetSorted(bool sorted) { items_->SetSorted(sorted); }

// Scrolling goes by whole items, so the scroll bar's position is the top item.
int TCustomListBox::TopIndex() const { return List()->verticalScrollBar()->value(); }

void TCustomListBox::SetTopIndex(int index) {
  if (index < 0 || index >= List()->count()) return;
  List()->scrollToItem(List()->item(index), QAbstractItemView::PositionAtTop);
}

void TCustomListBox::SetColumns(int columns) {
  if (columns < 0) throw ERangeError(u"Columns must not be negative (" + IntToUStr(columns) + u")");
  columns_ = columns;
}

int TCustomListBox::ItemHeight() const {
  if (rowHeight_->height > 0) return rowHeight_->height;
  return List()->count() > 0 ? List()->sizeHintForRow(0) : List()->fontMetrics().height();
}

void TCustomListBox::SetItemHeight(int height) {
  if (height < 0)
    throw ERangeError(u"ItemHeight must not be negative (" + IntToUStr(height) + u")");
  rowHeight_->height = height;
  List()->doItemsLayout();
}

void TCustomListBox::SetStyle(TListBoxStyle style) {
  style_ = CheckedElement(style, lbOwnerDrawVariable, u"Style");
}

}  // namespace kv
