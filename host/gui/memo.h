// TMemo: a multi-line text box whose Lines are a live string list over its text.
#pragma once

#include <functional>
#include <memory>

#include "host/core/strings.h"
#include "host/gui/control_enums.h"
#include "host/gui/win_control.h"

class QPlainTextEdit;

namespace kv {

class TMemoStrings;

// Published: Lines (TStrings), Text, ReadOnly, WordWrap, ScrollBars (TScrollStyle),
// MaxLength, Alignment (TAlignment), WantReturns, WantTabs; event OnChange (TNotifyEvent),
// fired for every change of the text, the user's and the script's.
//
// Lines are separated by "\n" in Text; an empty line at the very end is no line of Lines
// (a text ending in a line break has as many lines as it has breaks). Lines keep no
// objects: Objects[i] is always 0.
class TMemo : public TWinControl {
  KV_CLASS(TMemo, TWinControl)

 public:
  explicit TMemo(TComponent* owner = nullptr);
  ~TMemo() override;

  TStrings* Lines() const;
  void SetLines(TStrings* lines);  // copies
  UString Text() const override;
  // Line breaks may be CR LF, LF or CR.
  void SetText(const UString& text) override;
  bool ReadOnly() const;
  void SetReadOnly(bool readOnly);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool wrap);
  TScrollStyle ScrollBars() const { return scrollBars_; }
  void SetScrollBars(TScrollStyle style);
  // The most characters the user can type in; 0 is no limit. Text set by the script is
  // not cut.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int maxLength);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment alignment);
  // Without WantReturns, Enter goes to the form (its default button) and Ctrl+Enter
  // breaks the line.
  bool WantReturns() const { return wantReturns_; }
  void SetWantReturns(bool want);
  // Without WantTabs, Tab moves the focus on.
  bool WantTabs() const;
  void SetWantTabs(bool want);

  bool WantsKey(int32_t key) const override { return key == 13 && wantReturns_; }

  TMethod OnChange;

 protected:
  int ColorRole() const override;

 private:
  friend class TMemoStrings;
  QPlainTextEdit* Editor() const;
  // Runs a change the script makes to the text: Qt's signal stays quiet and OnChange is
  // fired here, so that the handler's exceptions reach the script.
  void ChangeText(const std::function<void()>& change);
  void ApplyWrapping();

  std::unique_ptr<TMemoStrings> lines_;
  bool wordWrap_ = true;
  TScrollStyle scrollBars_ = ssNone;
  int maxLength_ = 0;
  TAlignment alignment_ = taLeftJustify;
  bool wantReturns_ = true;
  bool scriptEditing_ = false;
  bool changedByScript_ = false;
};

}  // namespace kv
