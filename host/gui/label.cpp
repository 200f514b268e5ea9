#include "host/gui/label.h"

#include <QLabel>
#include <algorithm>

#include "host/core/class_builder.h"
#include "host/gui/colors.h"
#include "host/gui/qt_text.h"

namespace kv {

KV_DEFINE_CLASS(TLabel, TWinControl) {
  c.Constructor();
  c.Property("Caption", &TLabel::Text, &TLabel::SetText);
  c.Property("Alignment", "TAlignment", &TLabel::Alignment, &TLabel::SetAlignment);
  c.Property("Layout", "TTextLayout", &TLabel::Layout, &TLabel::SetLayout);
  c.Property("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap);
  c.Property("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize);
  c.Property("Transparent", &TLabel::Transparent, &TLabel::SetTransparent);
  c.Property("FocusControl", &TLabel::FocusControl, &TLabel::SetFocusControl);
}

namespace {

// The caption as the label shows it without a control to focus: "&&" is an ampersand, a
// single "&" only marks the next character.
QString WithoutAccelerators(const UString& caption) {
  QString shown;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == u'&' && i + 1 < caption.size()) ++i;
    shown += QChar(caption[i]);
  }
  return shown;
}

}  // namespace

TLabel::TLabel(TComponent* owner) : TWinControl(owner) {
  auto* label = new QLabel();
  label->setTextFormat(Qt::PlainText);
  SetWidget(label);
  SetFocusable(false);
  SetTabStop(false);
  ApplyAlignment();
  SetBounds(0, 0, 65, 17);
  AdjustSize();
}

QLabel* TLabel::Label() const { return static_cast<QLabel*>(Widget()); }

void TLabel::SetText(const UString& caption) {
  caption_ = caption;
  ShowCaption();
}

// With a focus control Qt handles the "&" itself: it underlines the key and grabs it.
void TLabel::ShowCaption() {
  TWinControl* focus = FocusControl();
  Label()->setBuddy(focus ? focus->Widget() : nullptr);
  Label()->setText(focus ? QStringOf(caption_) : WithoutAccelerators(caption_));
  AdjustSize();
}

void TLabel::SetAlignment(TAlignment alignment) {
  alignment_ = CheckedElement(alignment, taCenter, u"Alignment");
  ApplyAlignment();
}

void TLabel::SetLayout(TTextLayout layout) {
  layout_ = CheckedElement(layout, tlBottom, u"Layout");
  ApplyAlignment();
}

void TLabel::ApplyAlignment() {
  static constexpr Qt::Alignment kHorizontal[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};
  static constexpr Qt::Alignment kVertical[] = {Qt::AlignTop, Qt::AlignVCenter, Qt::AlignBottom};
  Label()->setAlignment(kHorizontal[alignment_] | kVertical[layout_]);
}

bool TLabel::WordWrap() const { return Label()->wordWrap(); }

void TLabel::SetWordWrap(bool wrap) {
  Label()->setWordWrap(wrap);
  AdjustSize();
}

void TLabel::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  AdjustSize();
}

// A right-justified label keeps its right edge, as the host's does.
void TLabel::AdjustSize() {
  if (!autoSize_) return;
  const QFontMetrics metrics = Label()->fontMetrics();
  const QString text = Label()->text().isEmpty() ? QStringLiteral(" ") : Label()->text();
  if (WordWrap()) {
    const QRect room(0, 0, std::max(Width(), 1), 1 << 20);
    SetHeight(metrics.boundingRect(room, Qt::TextWordWrap, text).height());
    return;
  }
  const int width = metrics.boundingRect(QRect(), 0, text).width();
  const int left = alignment_ == taRightJustify ? Left() + Width() - width : Left();
  SetBounds(left, Top(), width, metrics.boundingRect(QRect(), 0, text).height());
}

// Painting Color is the Window role's job; a transparent label sends Color to a role the
// label never paints, so that its parent shows through.
int TLabel::ColorRole() const { return transparent_ ? QPalette::Base : QPalette::Window; }

void TLabel::SetTransparent(bool transparent) {
  if (transparent == transparent_) return;
  transparent_ = transparent;
  Widget()->setAutoFillBackground(false);
  if (!transparent && Color() != clBtnFace) SetColor(Color());
}

TWinControl* TLabel::FocusControl() const {
  return dynamic_cast<TWinControl*>(handles::Find(focusControl_));
}

void TLabel::SetFocusControl(TWinControl* control) {
  focusControl_ = HandleOf(control);
  ShowCaption();
}

bool TLabel::HandleEvent(QObject* watched, QEvent* event) {
  if (watched == Widget() && event->type() == QEvent::FontChange) AdjustSize();
  return TWinControl::HandleEvent(watched, event);
}

}  // namespace kv
