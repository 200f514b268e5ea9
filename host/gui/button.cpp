#include "host/gui/button.h"

#include <QPushButton>

#include "host/core/class_builder.h"
#include "host/gui/form.h"
#include "host/gui/qt_text.h"

namespace kv {

KV_DEFINE_CLASS(TButton, TWinControl) {
  c.Constructor();
  c.Property("Caption", &TButton::Text, &TButton::SetText);
  c.Property("Default", &TButton::Default, &TButton::SetDefault);
  c.Property("Cancel", &TButton::Cancel, &TButton::SetCancel);
  c.Property("ModalResult", "TModalResult", &TButton::ModalResult, &TButton::SetModalResult);
}

TButton::TButton(TComponent* owner) : TWinControl(owner) {
  auto* button = new QPushButton();
  // Enter on the focused button clicks it.
  button->setAutoDefault(true);
  SetWidget(button);
  SetFocusable(true);
  SetBounds(0, 0, 75, 25);
  Connect(button, &QPushButton::clicked, [this](bool) { Click(); });
}

QPushButton* TButton::Button() const { return static_cast<QPushButton*>(Widget()); }

UString TButton::Text() const { return UStringOf(Button()->text()); }
void TButton::SetText(const UString& caption) { Button()->setText(QStringOf(caption)); }

bool TButton::Default() const { return Button()->isDefault(); }
void TButton::SetDefault(bool isDefault) { Button()->setDefault(isDefault); }

void TButton::Click() {
  if (modalResult_ != 0) {
    if (TCustomForm* form = ParentFormOf(this)) form->SetModalResult(modalResult_);
  }
  TWinControl::Click();
}

bool TButton::ClicksOnDialogKey(int32_t key) const {
  return (key == 13 && Default()) || (key == 27 && cancel_);
}

}  // namespace kv
