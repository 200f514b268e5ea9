#include "host/gui/group_box.h"

#include <QGroupBox>

#include "host/core/class_builder.h"
#include "host/gui/qt_text.h"

namespace kv {

KV_DEFINE_CLASS(TGroupBox, TWinControl) {
  c.Constructor();
  c.Property("Caption", &TGroupBox::Text, &TGroupBox::SetText);
}

TGroupBox::TGroupBox(TComponent* owner) : TWinControl(owner) {
  SetWidget(new QGroupBox());
  SetBounds(0, 0, 185, 105);
}

QGroupBox* TGroupBox::Box() const { return static_cast<QGroupBox*>(Widget()); }

UString TGroupBox::Text() const { return UStringOf(Box()->title()); }
void TGroupBox::SetText(const UString& caption) { Box()->setTitle(QStringOf(caption)); }

}  // namespace kv
