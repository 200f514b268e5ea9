#include "host/gui/radio_button.h"

#include <QRadioButton>
#include <QSignalBlocker>

#include "host/core/class_builder.h"
#include "host/gui/qt_text.h"

namespace kv {

KV_DEFINE_CLASS(TRadioButton, TWinControl) {
  c.Constructor();
  c.Property("Caption", &TRadioButton::Text, &TRadioButton::SetText);
  c.Property("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked);
}

// Exclusion follows the host's parent, not Qt's widget tree, so Qt's own is off; without it
// a click would uncheck a checked button, which a radio button never does.
class TRadioCircle : public QRadioButton {
 public:
  TRadioCircle() { setAutoExclusive(false); }

 protected:
  void nextCheckState() override {
    if (!isChecked()) setChecked(true);
  }
};

TRadioButton::TRadioButton(TComponent* owner) : TWinControl(owner) {
  auto* circle = new TRadioCircle();
  SetWidget(circle);
  SetFocusable(true);
  SetBounds(0, 0, 113, 17);
  // Script changes are made with the signals blocked: this is the user's click.
  Connect(circle, &QRadioButton::toggled, [this](bool checked) {
    if (checked) BecameChecked();
  });
}

TRadioCircle* TRadioButton::Circle() const { return static_cast<TRadioCircle*>(Widget()); }

UString TRadioButton::Text() const { return UStringOf(Circle()->text()); }
void TRadioButton::SetText(const UString& caption) { Circle()->setText(QStringOf(caption)); }

bool TRadioButton::Checked() const { return Circle()->isChecked(); }

void TRadioButton::SetChecked(bool checked) {
  if (checked == Checked()) return;
  {
    const QSignalBlocker quiet(Circle());
    Circle()->setChecked(checked);
  }
  if (!checked) return;
  TBusyScope busy(*this);
  BecameChecked();
}

void TRadioButton::BecameChecked() {
  TurnSiblingsOff();
  Click();
}

void TRadioButton::TurnSiblingsOff() {
  TWinControl* parent = Parent();
  if (!parent) return;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    auto* sibling = dynamic_cast<TRadioButton*>(parent->Controls(i));
    if (sibling && sibling != this) sibling->SetChecked(false);
  }
}

}  // namespace kv
