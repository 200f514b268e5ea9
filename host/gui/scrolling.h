// Controls whose client area scrolls: TControlScrollBar (one direction's settings),
// TScrollingWinControl (the base of scroll boxes and forms) and TScrollBox.
//
// The control's widget is a scroll area; children live in its content widget, which is
// never smaller than the visible area and, with AutoScroll, grows to hold every child (or
// to a scroll bar's Range when one is set).
#pragma once

#include <memory>

#include "host/gui/win_control.h"

class QScrollArea;
class QScrollBar;

namespace kv {

class TScrollingWinControl;

enum TScrollBarKind : uint8_t { sbHorizontal, sbVertical };

// Published: Increment, Position, Range, Visible.
class TControlScrollBar : public TPersistent {
  KV_CLASS(TControlScrollBar, TPersistent)

 public:
  TControlScrollBar(TScrollingWinControl& control, TScrollBarKind kind);
  const TObject* Keeper() const override;

  int Increment() const;
  void SetIncrement(int increment);
  int Position() const;
  void SetPosition(int position);
  // The extent of the content in this direction; 0 lets AutoScroll size it from the
  // children.
  int Range() const { return range_; }
  void SetRange(int range);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  TScrollBarKind Kind() const { return kind_; }

 private:
  QScrollBar* Bar() const;

  TScrollingWinControl& control_;
  TScrollBarKind kind_;
  int range_ = 0;
  bool visible_ = true;
};

// Published: AutoScroll, HorzScrollBar, VertScrollBar.
class TScrollingWinControl : public TWinControl {
  KV_CLASS(TScrollingWinControl, TWinControl)

 public:
  explicit TScrollingWinControl(TComponent* owner = nullptr);
  ~TScrollingWinControl() override;

  QWidget* ClientWidget() const override;
  int ClientWidth() const override;
  int ClientHeight() const override;
  QScrollArea* ScrollArea() const;

  bool AutoScroll() const { return autoScroll_; }
  void SetAutoScroll(bool autoScroll);
  TControlScrollBar* HorzScrollBar() const { return horz_.get(); }
  TControlScrollBar* VertScrollBar() const { return vert_.get(); }

  // Sizes the content to the visible area, the children and the ranges.
  void UpdateScrollRange();

 protected:
  void Resized() override;
  void ChildBoundsChanged() override;

 private:
  QWidget* content_;  // owned by the scroll area
  bool autoScroll_ = true;
  std::unique_ptr<TControlScrollBar> horz_;
  std::unique_ptr<TControlScrollBar> vert_;
};

enum TBorderStyle : uint8_t { bsNoBorder, bsSingleBorder };

// Published: BorderStyle (bsNone, bsSingle).
class TScrollBox : public TScrollingWinControl {
  KV_CLASS(TScrollBox, TScrollingWinControl)

 public:
  explicit TScrollBox(TComponent* owner = nullptr);
  TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(TBorderStyle style);

 private:
  TBorderStyle borderStyle_ = bsSingleBorder;
};

}  // namespace kv
