#include "host/gui/scrolling.h"

#include <QFrame>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>

#include "host/core/class_builder.h"
#include "host/core/exceptions.h"

namespace kv {

// ---------------------------------------------------------------------------------------
// TControlScrollBar

KV_DEFINE_CLASS(TControlScrollBar, TPersistent) {
  c.Property("Increment", &TControlScrollBar::Increment, &TControlScrollBar::SetIncrement);
  c.Property("Position", &TControlScrollBar::Position, &TControlScrollBar::SetPosition);
  c.Property("Range", &TControlScrollBar::Range, &TControlScrollBar::SetRange);
  c.Property("Visible", &TControlScrollBar::Visible, &TControlScrollBar::SetVisible);
}

TControlScrollBar::TControlScrollBar(TScrollingWinControl& control, TScrollBarKind kind)
    : control_(control), kind_(kind) {}

const TObject* TControlScrollBar::Keeper() const { return &control_; }

QScrollBar* TControlScrollBar::Bar() const {
  QScrollArea* area = control_.ScrollArea();
  return kind_ == sbHorizontal ? area->horizontalScrollBar() : area->verticalScrollBar();
}

int TControlScrollBar::Increment() const { return Bar()->singleStep(); }
void TControlScrollBar::SetIncrement(int increment) {
  Bar()->setSingleStep(std::max(1, increment));
}
int TControlScrollBar::Position() const { return Bar()->value(); }
void TControlScrollBar::SetPosition(int position) { Bar()->setValue(position); }

void TControlScrollBar::SetRange(int range) {
  range_ = std::max(0, range);
  control_.UpdateScrollRange();
}

void TControlScrollBar::SetVisible(bool visible) {
  visible_ = visible;
  const Qt::ScrollBarPolicy policy = visible ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
  if (kind_ == sbHorizontal) {
    control_.ScrollArea()->setHorizontalScrollBarPolicy(policy);
  } else {
    control_.ScrollArea()->setVerticalScrollBarPolicy(policy);
  }
}

// ---------------------------------------------------------------------------------------
// TScrollingWinControl

KV_DEFINE_CLASS(TScrollingWinControl, TWinControl) {
  c.Property("AutoScroll", &TScrollingWinControl::AutoScroll, &TScrollingWinControl::SetAutoScroll);
  c.Property("HorzScrollBar", &TScrollingWinControl::HorzScrollBar);
  c.Property("VertScrollBar", &TScrollingWinControl::VertScrollBar);
}

TScrollingWinControl::TScrollingWinControl(TComponent* owner)
    : TWinControl(owner), content_(new QWidget()) {
  auto* area = new QScrollArea();
  area->setFrameShape(QFrame::NoFrame);
  area->setWidgetResizable(false);
  area->setWidget(content_);
  SetWidget(area);
  Watch(content_);
  horz_ = std::make_unique<TControlScrollBar>(*this, sbHorizontal);
  vert_ = std::make_unique<TControlScrollBar>(*this, sbVertical);
}

TScrollingWinControl::~TScrollingWinControl() = default;

QScrollArea* TScrollingWinControl::ScrollArea() const {
  return static_cast<QScrollArea*>(Widget());
}

QWidget* TScrollingWinControl::ClientWidget() const { return content_; }

// The visible part of the content; before the area was laid out, its whole inside.
int TScrollingWinControl::ClientWidth() const {
  return ScrollArea()->maximumViewportSize().width();
}

int TScrollingWinControl::ClientHeight() const {
  return ScrollArea()->maximumViewportSize().height();
}

void TScrollingWinControl::SetAutoScroll(bool autoScroll) {
  autoScroll_ = autoScroll;
  UpdateScrollRange();
}

void TScrollingWinControl::UpdateScrollRange() {
  int width = ClientWidth(), height = ClientHeight();
  if (autoScroll_) {
    for (int i = 0; i < ControlCount(); ++i) {
      TControl* c = Controls(i);
      if (!c->Visible() || c->Align() != alNone) continue;
      width = std::max(width, c->Left() + c->Width());
      height = std::max(height, c->Top() + c->Height());
    }
  }
  width = std::max(width, horz_->Range());
  height = std::max(height, vert_->Range());
  content_->resize(width, height);
}

void TScrollingWinControl::Resized() {
  UpdateScrollRange();
  TWinControl::Resized();
}

void TScrollingWinControl::ChildBoundsChanged() { UpdateScrollRange(); }

// ---------------------------------------------------------------------------------------
// TScrollBox

KV_DEFINE_CLASS(TScrollBox, TScrollingWinControl) {
  c.Constructor();
  c.Property("BorderStyle", "TFormBorderStyle", &TScrollBox::BorderStyle,
             &TScrollBox::SetBorderStyle);
}

TScrollBox::TScrollBox(TComponent* owner) : TScrollingWinControl(owner) {
  SetBorderStyle(bsSingleBorder);
  SetBounds(0, 0, 185, 41);
}

void TScrollBox::SetBorderStyle(TBorderStyle style) {
  if (style > bsSingleBorder)
    throw ERangeError(u"BorderStyle of a scroll box must be bsNone or bsSingle");
  borderStyle_ = style;
  ScrollArea()->setFrameShape(style == bsSingleBorder ? QFrame::StyledPanel : QFrame::NoFrame);
}

}  // namespace kv
