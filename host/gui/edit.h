// TEdit: a single-line text box.
#pragma once

#include "host/gui/control_enums.h"
#include "host/gui/win_control.h"

class QLineEdit;

namespace kv {

class TCaseRule;

// Published: Text, MaxLength, ReadOnly, PasswordChar, CharCase (TEditCharCase),
// AutoSelect, SelStart, SelLength, SelText, Modified; event OnChange (TNotifyEvent), fired
// for every change of Text, the user's and the script's.
class TEdit : public TWinControl {
  KV_CLASS(TEdit, TWinControl)

 public:
  explicit TEdit(TComponent* owner = nullptr);

  UString Text() const override;
  // Converted to CharCase; cut at MaxLength when there is one.
  void SetText(const UString& text) override;
  // The most characters the user can type in; 0 is no limit.
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int maxLength);
  bool ReadOnly() const;
  void SetReadOnly(bool readOnly);
  // #0 shows the text; any other character masks it.
  char16_t PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char16_t c);
  // Applies to typed text, to text set later and to the text already there.
  TEditCharCase CharCase() const;
  void SetCharCase(TEditCharCase charCase);
  // Whether the text is selected whole when the edit gets the focus other than by a click.
  bool AutoSelect() const { return autoSelect_; }
  void SetAutoSelect(bool autoSelect) { autoSelect_ = autoSelect; }
  // Positions count UTF-16 code units from 0; values beyond the text are clamped.
  int SelStart() const;
  void SetSelStart(int start);
  int SelLength() const;
  void SetSelLength(int length);
  UString SelText() const;
  void SetSelText(const UString& text);
  // Set by the user's edits, cleared when the script sets Text.
  bool Modified() const;
  void SetModified(bool modified);

  TMethod OnChange;

 protected:
  bool HandleEvent(QObject* watched, QEvent* event) override;
  int ColorRole() const override;

 private:
  QLineEdit* LineEdit() const;
  // Runs a script's change of the text without Qt's signal and fires OnChange itself, so
  // that the handler's exceptions reach the script.
  template <class F>
  void ChangeText(F change);
  void AutoSelectLater(QEvent* focusEvent);

  TCaseRule* caseRule_;  // owned by the widget
  int maxLength_ = 0;
  char16_t passwordChar_ = 0;
  bool autoSelect_ = true;
};

}  // namespace kv
