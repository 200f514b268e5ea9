#include "host/gui/check_box.h"

#include <QCheckBox>
#include <QSignalBlocker>

#include "host/core/class_builder.h"
#include "host/gui/qt_text.h"

namespace kv {

KV_DEFINE_CLASS(TCheckBox, TWinControl) {
  c.Constructor();
  c.Property("Caption", &TCheckBox::Text, &TCheckBox::SetText);
  c.Property("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked);
  c.Property("State", "TCheckBoxState", &TCheckBox::State, &TCheckBox::SetState);
  c.Property("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed);
  c.Property("Alignment", "TAlignment", &TCheckBox::Alignment, &TCheckBox::SetAlignment);
}

// The host's order of the user's clicks: unchecked, checked, then grayed when that is
// allowed. Qt's own tristate order puts grayed before checked, and Qt keeps a grayed state
// only while the box is tristate, so tristate is on while the box may be grayed.
class THostOrderCheckBox : public QCheckBox {
 public:
  bool allowGrayed = false;

  void ShowState(Qt::CheckState state) {
    setTristate(allowGrayed || state == Qt::PartiallyChecked);
    setCheckState(state);
  }

 protected:
  void nextCheckState() override {
    switch (checkState()) {
      case Qt::Unchecked:
        ShowState(Qt::Checked);
        break;
      case Qt::Checked:
        ShowState(allowGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
        break;
      default:
        ShowState(Qt::Unchecked);
        break;
    }
  }
};

namespace {

constexpr Qt::CheckState kQtState[] = {Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked};

}  // namespace

TCheckBox::TCheckBox(TComponent* owner) : TWinControl(owner) {
  auto* box = new THostOrderCheckBox();
  SetWidget(box);
  SetFocusable(true);
  SetBounds(0, 0, 97, 17);
  // Script changes are made with the signals blocked: this is the user's click.
  Connect(box, &QCheckBox::stateChanged, [this](int) { Click(); });
}

THostOrderCheckBox* TCheckBox::Box() const { return static_cast<THostOrderCheckBox*>(Widget()); }

UString TCheckBox::Text() const { return UStringOf(Box()->text()); }
void TCheckBox::SetText(const UString& caption) { Box()->setText(QStringOf(caption)); }

TCheckBoxState TCheckBox::State() const {
  switch (Box()->checkState()) {
    case Qt::Checked:
      return cbChecked;
    case Qt::PartiallyChecked:
      return cbGrayed;
    default:
      return cbUnchecked;
  }
}

void TCheckBox::SetState(TCheckBoxState state) {
  CheckedElement(state, cbGrayed, u"State");
  if (state == State()) return;
  {
    const QSignalBlocker quiet(Box());
    Box()->ShowState(kQtState[state]);
  }
  TBusyScope busy(*this);
  Click();
}

bool TCheckBox::AllowGrayed() const { return Box()->allowGrayed; }

void TCheckBox::SetAllowGrayed(bool allow) {
  Box()->allowGrayed = allow;
  Box()->setTristate(allow || Box()->checkState() == Qt::PartiallyChecked);
}

void TCheckBox::SetAlignment(TAlignment alignment) {
  alignment_ = CheckedElement(alignment, taRightJustify, u"Alignment");
  Box()->setLayoutDirection(alignment_ == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

}  // namespace kv
