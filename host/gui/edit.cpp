#include "host/gui/edit.h"

#include <QFocusEvent>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QTimer>
#include <QValidator>
#include <algorithm>
#include <limits>

#include "host/core/class_builder.h"
#include "host/gui/qt_text.h"

namespace kv {

KV_DEFINE_CLASS(TEdit, TWinControl) {
  c.Constructor();
  c.Property("Text", &TEdit::Text, &TEdit::SetText);
  c.Property("MaxLength", &TEdit::MaxLength, &TEdit::SetMaxLength);
  c.Property("ReadOnly", &TEdit::ReadOnly, &TEdit::SetReadOnly);
  c.Property("PasswordChar", &TEdit::PasswordChar, &TEdit::SetPasswordChar);
  c.Property("CharCase", "TEditCharCase", &TEdit::CharCase, &TEdit::SetCharCase);
  c.Property("AutoSelect", &TEdit::AutoSelect, &TEdit::SetAutoSelect);
  c.Property("SelStart", &TEdit::SelStart, &TEdit::SetSelStart);
  c.Property("SelLength", &TEdit::SelLength, &TEdit::SetSelLength);
  c.Property("SelText", &TEdit::SelText, &TEdit::SetSelText);
  c.Property("Modified", &TEdit::Modified, &TEdit::SetModified);
  c.Event("OnChange", "TNotifyEvent", &TEdit::OnChange);
}

// Converts what the user types to the edit's letter case. Mapping code unit by code unit
// keeps the length, so the cursor stays where it was.
class TCaseRule : public QValidator {
 public:
  using QValidator::QValidator;
  TEditCharCase charCase = ecNormal;

  QString Apply(QString text) const {
    if (charCase == ecNormal) return text;
    for (QChar& c : text)
      c = QChar(charCase == ecUpperCase ? UpCase(c.unicode()) : LoCase(c.unicode()));
    return text;
  }
  State validate(QString& input, int&) const override {
    input = Apply(input);
    return Acceptable;
  }
};

namespace {

// Qt's own limit would cut texts a script sets beyond 32767 characters.
constexpr int kNoLimit = std::numeric_limits<int>::max();

}  // namespace

TEdit::TEdit(TComponent* owner) : TWinControl(owner) {
  auto* edit = new QLineEdit();
  edit->setMaxLength(kNoLimit);
  caseRule_ = new TCaseRule(edit);
  edit->setValidator(caseRule_);
  SetWidget(edit);
  SetFocusable(true);
  SetBounds(0, 0, 121, 21);
  Connect(edit, &QLineEdit::textChanged, [this](const QString&) { FireNotify(OnChange); });
}

QLineEdit* TEdit::LineEdit() const { return static_cast<QLineEdit*>(Widget()); }

int TEdit::ColorRole() const { return QPalette::Base; }

template <class F>
void TEdit::ChangeText(F change) {
  const QString before = LineEdit()->text();
  {
    const QSignalBlocker quiet(LineEdit());
    change();
  }
  if (LineEdit()->text() == before) return;
  TBusyScope busy(*this);
  FireNotify(OnChange);
}

UString TEdit::Text() const { return UStringOf(LineEdit()->text()); }

void TEdit::SetText(const UString& text) {
  ChangeText([&] { LineEdit()->setText(caseRule_->Apply(QStringOf(text))); });
}

void TEdit::SetMaxLength(int maxLength) {
  if (maxLength < 0)
    throw ERangeError(u"MaxLength must not be negative (" + IntToUStr(maxLength) + u")");
  maxLength_ = maxLength;
  ChangeText([&] { LineEdit()->setMaxLength(maxLength == 0 ? kNoLimit : maxLength); });
}

bool TEdit::ReadOnly() const { return LineEdit()->isReadOnly(); }
void TEdit::SetReadOnly(bool readOnly) { LineEdit()->setReadOnly(readOnly); }

void TEdit::SetPasswordChar(char16_t c) {
  passwordChar_ = c;
  LineEdit()->setEchoMode(c == 0 ? QLineEdit::Normal : QLineEdit::Password);
}

TEditCharCase TEdit::CharCase() const { return caseRule_->charCase; }

void TEdit::SetCharCase(TEditCharCase charCase) {
  caseRule_->charCase = CheckedElement(charCase, ecLowerCase, u"CharCase");
  SetText(Text());
}

int TEdit::SelStart() const {
  const int start = LineEdit()->selectionStart();
  return start >= 0 ? start : LineEdit()->cursorPosition();
}

void TEdit::SetSelStart(int start) {
  LineEdit()->setCursorPosition(std::clamp(start, 0, static_cast<int>(LineEdit()->text().size())));
}

int TEdit::SelLength() const { return static_cast<int>(LineEdit()->selectedText().size()); }

void TEdit::SetSelLength(int length) {
  const int start = SelStart();
  const int room = static_cast<int>(LineEdit()->text().size()) - start;
  LineEdit()->setSelection(start, std::clamp(length, 0, room));
}

UString TEdit::SelText() const { return UStringOf(LineEdit()->selectedText()); }

void TEdit::SetSelText(const UString& text) {
  ChangeText([&] { LineEdit()->insert(caseRule_->Apply(QStringOf(text))); });
}

bool TEdit::Modified() const { return LineEdit()->isModified(); }
void TEdit::SetModified(bool modified) { LineEdit()->setModified(modified); }

bool TEdit::HandleEvent(QObject* watched, QEvent* event) {
  if (watched == Widget() && event->type() == QEvent::FocusIn) AutoSelectLater(event);
  return TWinControl::HandleEvent(watched, event);
}

// Qt selects the text itself when the focus comes by Tab and never otherwise; the edit's
// own rule is applied after Qt's.
void TEdit::AutoSelectLater(QEvent* focusEvent) {
  if (static_cast<QFocusEvent*>(focusEvent)->reason() == Qt::MouseFocusReason) return;
  QLineEdit* edit = LineEdit();
  const bool select = autoSelect_;
  QTimer::singleShot(0, edit, [edit, select] {
    if (select) {
      edit->selectAll();
    } else {
      edit->deselect();
    }
  });
}

}  // namespace kv
