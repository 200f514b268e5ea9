#include "host/gui/memo.h"

#include <QMimeData>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <limits>

#include "host/core/class_builder.h"
#include "host/gui/qt_text.h"
#include "host/gui/widget_strings.h"

namespace kv {

namespace {

// Script text may break lines with CR LF, LF or CR; the document knows only LF.
QString WithLineFeeds(UStringView text) {
  QString result = QStringOf(text);
  result.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  result.replace(QChar(u'\r'), QChar(u'\n'));
  return result;
}

// The memo's editor: keeps typed and pasted text within MaxLength and breaks lines with a
// plain line feed (Qt's Shift+Enter would put a soft break inside the line).
class TMemoEditor : public QPlainTextEdit {
 public:
  int maxLength = 0;
  bool wantReturns = true;

 protected:
  void keyPressEvent(QKeyEvent* event) override {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && !isReadOnly()) {
      // Enter the form did not take: a memo that does not want it breaks no line.
      if (wantReturns || event->modifiers().testFlag(Qt::ControlModifier)) InsertLimited("\n");
      return;
    }
    const QString typed = event->text();
    if (!typed.isEmpty() && typed.at(0).isPrint() && RoomLeft() < typed.size()) return;
    QPlainTextEdit::keyPressEvent(event);
  }
  void insertFromMimeData(const QMimeData* source) override {
    if (maxLength <= 0 || !source->hasText()) {
      QPlainTextEdit::insertFromMimeData(source);
      return;
    }
    InsertLimited(source->text());
  }

 private:
  qsizetype RoomLeft() const {
    if (maxLength <= 0) return std::numeric_limits<qsizetype>::max();
    const qsizetype used = document()->characterCount() - 1 - textCursor().selectedText().size();
    return std::max<qsizetype>(0, maxLength - used);
  }
  void InsertLimited(const QString& text) {
    if (RoomLeft() > 0) insertPlainText(text.left(RoomLeft()));
  }
};

}  // namespace

// ---------------------------------------------------------------------------------------
// TMemoStrings: the memo's lines, read from and written to its document's blocks.

class TMemoStrings : public TWidgetStrings {
  KV_CLASS(TMemoStrings, TWidgetStrings)

 public:
  explicit TMemoStrings(TMemo& memo) : TWidgetStrings(memo), memo_(memo) {}

  // A trailing empty block is where the next line would start, not a line.
  int Count() const override {
    const QTextDocument* doc = Document();
    return doc->blockCount() - (doc->lastBlock().text().isEmpty() ? 1 : 0);
  }
  UString Get(int index) const override {
    CheckIndex(index, Count());
    return UStringOf(Document()->findBlockByNumber(index).text());
  }
  int32_t GetObject(int index) const override {
    CheckIndex(index, Count());
    return 0;
  }
  void PutObject(int index, int32_t) override { CheckIndex(index, Count()); }

  void Put(int index, const UString& s) override {
    CheckIndex(index, Count());
    const QTextBlock block = Document()->findBlockByNumber(index);
    Replace(block.position(), block.position() + block.length() - 1, WithLineFeeds(s));
  }
  // A line inserted before another or into the trailing empty block ends with a break; one
  // added after a last line without a break starts with one.
  void InsertObject(int index, const UString& s, int32_t) override {
    CheckIndex(index, Count() + 1);
    const QString line = WithLineFeeds(s);
    const QTextDocument* doc = Document();
    if (index < doc->blockCount()) {
      const int at = doc->findBlockByNumber(index).position();
      Replace(at, at, line + u'\n');
    } else {
      const int end = doc->characterCount() - 1;
      Replace(end, end, u'\n' + line);
    }
  }
  // The line goes with its break: the one after it, or for a last line without one, the
  // one before it.
  void Delete(int index) override {
    CheckIndex(index, Count());
    const QTextBlock block = Document()->findBlockByNumber(index);
    const QTextBlock next = block.next();
    if (next.isValid()) {
      Replace(block.position(), next.position(), QString());
    } else {
      const int end = block.position() + block.length() - 1;
      Replace(std::max(block.position() - 1, 0), end, QString());
    }
  }
  void Clear() override {
    memo_.ChangeText([this] { memo_.Editor()->clear(); });
  }
  void SetText(UStringView text) override { memo_.SetText(UString(text)); }

 protected:
  void SetUpdateState(bool updating) override { memo_.Editor()->setUpdatesEnabled(!updating); }

 private:
  QTextDocument* Document() const { return memo_.Editor()->document(); }
  void Replace(int from, int to, const QString& text) {
    memo_.ChangeText([&] {
      QTextCursor cursor(Document());
      cursor.setPosition(from);
      cursor.setPosition(to, QTextCursor::KeepAnchor);
      cursor.insertText(text);
    });
  }

  TMemo& memo_;
};

KV_DEFINE_CLASS(TMemoStrings, TWidgetStrings) {}

// ---------------------------------------------------------------------------------------
// TMemo

KV_DEFINE_CLASS(TMemo, TWinControl) {
  c.Constructor();
  c.Property("Lines", &TMemo::Lines, &TMemo::SetLines);
  c.Property("Text", &TMemo::Text, &TMemo::SetText);
  c.Property("ReadOnly", &TMemo::ReadOnly, &TMemo::SetReadOnly);
  c.Property("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap);
  c.Property("ScrollBars", "TScrollStyle", &TMemo::ScrollBars, &TMemo::SetScrollBars);
  c.Property("MaxLength", &TMemo::MaxLength, &TMemo::SetMaxLength);
  c.Property("Alignment", "TAlignment", &TMemo::Alignment, &TMemo::SetAlignment);
  c.Property("WantReturns", &TMemo::WantReturns, &TMemo::SetWantReturns);
  c.Property("WantTabs", &TMemo::WantTabs, &TMemo::SetWantTabs);
  c.Event("OnChange", "TNotifyEvent", &TMemo::OnChange);
}

TMemo::TMemo(TComponent* owner) : TWinControl(owner) {
  auto* editor = new TMemoEditor();
  editor->setTabChangesFocus(true);
  SetWidget(editor);
  Watch(editor->viewport());
  SetFocusable(true);
  lines_ = std::make_unique<TMemoStrings>(*this);
  ApplyWrapping();
  SetBounds(0, 0, 185, 89);
  Connect(editor, &QPlainTextEdit::textChanged, [this] { FireNotify(OnChange); });
  QObject::connect(editor->document(), &QTextDocument::contentsChange, HookObject(),
                   [this](int, int removed, int added) {
                     if (scriptEditing_ && removed + added > 0) changedByScript_ = true;
                   });
}

TMemo::~TMemo() = default;

QPlainTextEdit* TMemo::Editor() const { return static_cast<QPlainTextEdit*>(Widget()); }

int TMemo::ColorRole() const { return QPalette::Base; }

void TMemo::ChangeText(const std::function<void()>& change) {
  changedByScript_ = false;
  scriptEditing_ = true;
  try {
    const QSignalBlocker quiet(Editor());
    change();
  } catch (...) {
    scriptEditing_ = false;
    throw;
  }
  scriptEditing_ = false;
  if (!changedByScript_) return;
  TBusyScope busy(*this);
  FireNotify(OnChange);
}

TStrings* TMemo::Lines() const { return lines_.get(); }
void TMemo::SetLines(TStrings* lines) { lines_->Assign(lines); }

// The raw text keeps no-break spaces, which Qt's plain text turns into blanks.
UString TMemo::Text() const {
  QString text = Editor()->document()->toRawText();
  text.replace(QChar::ParagraphSeparator, u'\n');
  return UStringOf(text);
}

void TMemo::SetText(const UString& text) {
  ChangeText([&] { Editor()->setPlainText(WithLineFeeds(text)); });
}

bool TMemo::ReadOnly() const { return Editor()->isReadOnly(); }
void TMemo::SetReadOnly(bool readOnly) { Editor()->setReadOnly(readOnly); }

void TMemo::SetWordWrap(bool wrap) {
  wordWrap_ = wrap;
  ApplyWrapping();
}

void TMemo::SetScrollBars(TScrollStyle style) {
  scrollBars_ = CheckedElement(style, ssBoth, u"ScrollBars");
  ApplyWrapping();
}

// A horizontal scroll bar means long lines run on, as in the host.
void TMemo::ApplyWrapping() {
  const bool horizontal = scrollBars_ == ssHorizontal || scrollBars_ == ssBoth;
  const bool vertical = scrollBars_ == ssVertical || scrollBars_ == ssBoth;
  Editor()->setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAlwaysOn
                                                    : Qt::ScrollBarAlwaysOff);
  Editor()->setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  Editor()->setLineWrapMode(wordWrap_ && !horizontal ? QPlainTextEdit::WidgetWidth
                                                     : QPlainTextEdit::NoWrap);
}

void TMemo::SetMaxLength(int maxLength) {
  if (maxLength < 0)
    throw ERangeError(u"MaxLength must not be negative (" + IntToUStr(maxLength) + u")");
  maxLength_ = maxLength;
  static_cast<TMemoEditor*>(Editor())->maxLength = maxLength;
}

void TMemo::SetAlignment(TAlignment alignment) {
  alignment_ = CheckedElement(alignment, taCenter, u"Alignment");
  static constexpr Qt::Alignment kAlign[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};
  QTextDocument* doc = Editor()->document();
  QTextOption option = doc->defaultTextOption();
  option.setAlignment(kAlign[alignment_]);
  const QSignalBlocker quiet(Editor());
  doc->setDefaultTextOption(option);
}

void TMemo::SetWantReturns(bool want) {
  wantReturns_ = want;
  static_cast<TMemoEditor*>(Editor())->wantReturns = want;
}

bool TMemo::WantTabs() const { return !Editor()->tabChangesFocus(); }
void TMemo::SetWantTabs(bool want) { Editor()->setTabChangesFocus(!want); }

}  // namespace kv
