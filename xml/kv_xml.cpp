// TkvXMLItem and TkvXMLDocument: the tree, its ownership rules and the document's loading and
// saving entry points. The file format itself lives in kv_xml_reader.cpp and kv_xml_writer.cpp.
#include "xml/kv_xml.h"

#include <algorithm>
#include <sstream>
#include <streambuf>
#include <utility>

#include "host/core/class_builder.h"
#include "host/core/exceptions.h"
#include "host/core/file_save.h"
#include "host/core/file_stream.h"
#include "host/core/handles.h"
#include "host/core/text_file_limit.h"
#include "xml/kv_xml_io.h"

namespace kv {

// ---- TkvXMLItem ---------------------------------------------------------------------------

KV_DEFINE_CLASS(TkvXMLItem, TObject) { c.Constructor(); }

TkvXMLItem::TkvXMLItem(UString name, UString text) : TObject(LateHandle{}), name_(std::move(name)) {
  SetText(std::move(text));
}

TkvXMLItem::Extras& TkvXMLItem::EnsureExtras() {
  if (!extras_) extras_ = std::make_unique<Extras>();
  return *extras_;
}

void TkvXMLItem::CopyExtras(const TkvXMLItem& source) {
  if (source.extras_)
    extras_ = std::make_unique<Extras>(*source.extras_);
  else
    extras_.reset();
}

void TkvXMLItem::SetData(int32_t data) {
  if (data != 0 || extras_) EnsureExtras().data = data;
}

void TkvXMLItem::SetText(UString text) {
  CheckAttrText(text);
  text_ = std::move(text);
  form_ = AttrForm::Raw;
}

const UString& TkvXMLItem::Text() const {
  if (form_ == AttrForm::Raw) return text_;
  UString text;
  if (form_ == AttrForm::TextPos) {
    const UString coded = EncodeAttrValue(text_);
    text.reserve(coded.size() + 32);
    text += u"text=\"";
    text += coded;
    text += u"\" ";
  }
  UString place;
  AssignPlaceText(place, place_);
  text += u"pos=\"";
  text += place;
  text += u'"';
  text_ = std::move(text);
  form_ = AttrForm::Raw;
  return text_;
}

void TkvXMLItem::SetPosAttribute(SourcePlace place) {
  text_.clear();
  place_ = place;
  form_ = AttrForm::Pos;
}

void TkvXMLItem::SetTextAndPosAttributes(UString value, SourcePlace place) {
  text_ = std::move(value);
  place_ = place;
  form_ = AttrForm::TextPos;
}

void TkvXMLItem::CopyAttributes(const TkvXMLItem& source) {
  text_ = source.text_;
  place_ = source.place_;
  form_ = source.form_;
}

TkvXMLItem::~TkvXMLItem() {
  Clear();
  if (parent_) parent_->Detach(this);
}

TkvXMLItem* TkvXMLItem::Items(int index) {
  if (index < 0 || index >= Count())
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  return children_[static_cast<size_t>(index)];
}

const TkvXMLItem* TkvXMLItem::Items(int index) const {
  return const_cast<TkvXMLItem*>(this)->Items(index);
}

TkvXMLItem* TkvXMLItem::Add() {
  auto item = std::make_unique<TkvXMLItem>(UString());
  AppendNew(item.get());
  return item.release();
}

TkvXMLItem* TkvXMLItem::Add(UString name, UString text) {
  auto item = text.empty() ? std::make_unique<TkvXMLItem>(std::move(name))
                           : std::make_unique<TkvXMLItem>(std::move(name), std::move(text));
  AppendNew(item.get());
  return item.release();
}

void TkvXMLItem::AppendNew(TkvXMLItem* item) {
  children_.push_back(item);
  item->parent_ = this;
}

void TkvXMLItem::CheckCanAdopt(const TkvXMLItem* item) const {
  if (!item) throw Exception("Cannot add nil to an XML item");
  if (item->IsDocumentRoot())
    throw Exception("The root of an XML document cannot be added to another XML item");
  for (const TkvXMLItem* p = this; p; p = p->parent_)
    if (p == item) throw Exception("An XML item cannot be added under itself or its own items");
}

void TkvXMLItem::AddItem(TkvXMLItem* item) {
  CheckCanAdopt(item);
  children_.push_back(item);  // the only step that can fail: nothing has changed before it
  if (item->parent_ == this) {
    // The first occurrence is the old place; the new one is last.
    children_.erase(static_cast<size_t>(children_.find_first(item)));
  } else if (item->parent_) {
    item->parent_->Detach(item);
  }
  item->parent_ = this;
}

void TkvXMLItem::AddItem(std::unique_ptr<TkvXMLItem> item) {
  AddItem(item.get());
  item.release();  // owned by this item now
}

void TkvXMLItem::InsertItem(int index, TkvXMLItem* item) {
  CheckCanAdopt(item);
  const int countAfter = Count() + (item->parent_ == this ? 0 : 1);
  if (index < 0 || index >= countAfter)
    throw EListError("List index out of bounds (" + std::to_string(index) + ")");
  AddItem(item);
  children_.pop_back();  // from the end, where AddItem put it, to its place
  children_.insert(static_cast<size_t>(index), item);
}

void TkvXMLItem::Detach(TkvXMLItem* item) {
  // Searched from the end: the usual case is a tree being torn down or built up at its end.
  const ptrdiff_t index = children_.find_last(item);
  if (index >= 0) children_.erase(static_cast<size_t>(index));
}

void TkvXMLItem::Clear() {
  // Walks down along last children, unlinking each from its parent on the way, and deletes
  // leaves on the way back up: no recursion and no memory needed, whatever the depth. A
  // deleted leaf has neither parent nor children, so its own destructor does nothing.
  TkvXMLItem* current = this;
  for (;;) {
    if (!current->children_.empty()) {
      TkvXMLItem* last = current->children_.back();
      current->children_.pop_back();
      current = last;
      continue;
    }
    if (current == this) break;
    TkvXMLItem* up = current->parent_;
    current->parent_ = nullptr;
    delete current;
    current = up;
  }
  children_.release_all();  // the child list is dropped, not just emptied
}

const UString& TkvXMLItem::Content() const {
  static const UString kNone;
  return extras_ ? extras_->content : kNone;
}

void TkvXMLItem::SetContent(UString content) {
  if (!content.empty() || extras_) EnsureExtras().content = std::move(content);
}

int TkvXMLItem::Find(UStringView name) const {
  for (size_t i = 0; i < children_.size(); ++i)
    if (SameText(children_[i]->Name(), name)) return static_cast<int>(i);
  return -1;
}

TkvXMLItem* TkvXMLItem::FindItem(UStringView name) {
  const int index = Find(name);
  return index >= 0 ? children_[static_cast<size_t>(index)] : Add(UString(name));
}

namespace {

// Attribute names are compared without regard to case; callers nearly always spell them as
// the parser does.
bool IsAttrName(UStringView asked, UStringView name) {
  return asked == name || SameText(asked, name);
}

// Position of the first `name="` in `text`, the name compared after upper-casing both, or
// npos. The compiler asks this for every element it reads, so nothing is allocated.
size_t FindAttribute(UStringView text, UStringView name) {
  const size_t length = name.size() + 2;
  if (length > text.size()) return UStringView::npos;
  const size_t last = text.size() - length;
  for (size_t at = 0; at <= last; ++at) {
    if (text[at + name.size()] != u'=' || text[at + name.size() + 1] != u'"') continue;
    size_t k = 0;
    while (k < name.size() && UpCase(text[at + k]) == UpCase(name[k])) ++k;
    if (k == name.size()) return at;
  }
  return UStringView::npos;
}

}  // namespace

UString TkvXMLItem::Prop(UStringView name) const {
  if (form_ != AttrForm::Raw) {
    if (IsAttrName(name, u"pos")) return PlaceText(place_);
    if (form_ == AttrForm::TextPos && IsAttrName(name, u"text")) return text_;
    return {};
  }
  const size_t at = FindAttribute(text_, name);
  // Only the first occurrence counts, and only when it stands alone (so `addtext="a"` does
  // not answer for `text`).
  if (at == UStringView::npos || (at > 0 && text_[at - 1] != u' ')) return {};
  const size_t valueStart = at + name.size() + 2;
  const size_t valueEnd = text_.find(u'"', valueStart);
  if (valueEnd == UString::npos) return {};
  return DecodeAttrValue(UStringView(text_).substr(valueStart, valueEnd - valueStart));
}

void TkvXMLItem::AssignProp(UStringView name, UString& value) const {
  if (form_ == AttrForm::Raw) {
    value = Prop(name);
  } else if (IsAttrName(name, u"pos")) {
    AssignPlaceText(value, place_);
  } else if (form_ == AttrForm::TextPos && IsAttrName(name, u"text")) {
    value = text_;
  } else {
    value.clear();
  }
}

const TObject* TkvXMLItem::Keeper() const { return nullptr; }

TkvXMLItem* TkvXMLItem::Root() {
  TkvXMLItem* item = this;
  while (item->parent_) item = item->parent_;
  return item;
}

const TkvXMLItem* TkvXMLItem::Root() const { return const_cast<TkvXMLItem*>(this)->Root(); }

void TkvXMLItem::AssignTree(const TkvXMLItem* source) {
  if (!source) {
    Clear();
    return;
  }
  // The copy is complete before the old children go, because the source may be among them
  // (or be this item).
  TkvXMLItem copy;
  copy.name_ = source->name_;
  copy.CopyAttributes(*source);
  copy.CopyExtras(*source);
  std::vector<std::pair<const TkvXMLItem*, TkvXMLItem*>> pending{{source, &copy}};
  while (!pending.empty()) {
    auto [from, to] = pending.back();
    pending.pop_back();
    to->children_.reserve(from->children_.size());
    for (const TkvXMLItem* child : from->children_) {
      TkvXMLItem* twin = to->Add();
      twin->name_ = child->name_;
      twin->CopyAttributes(*child);
      twin->CopyExtras(*child);
      pending.emplace_back(child, twin);
    }
  }
  Clear();
  name_ = std::move(copy.name_);
  text_ = std::move(copy.text_);
  place_ = copy.place_;
  form_ = copy.form_;
  extras_ = std::move(copy.extras_);
  children_.swap(copy.children_);
  for (TkvXMLItem* child : children_) child->parent_ = this;
}

// ---- TkvXMLDocument -----------------------------------------------------------------------

KV_DEFINE_CLASS(TkvXMLDocument, TObject) { c.Constructor(); }

namespace {

// The root knows its document, which keeps it for its whole life.
class TkvXMLRootItem final : public TkvXMLItem {
 public:
  explicit TkvXMLRootItem(const TkvXMLDocument& document)
      : TkvXMLItem(DocumentRoot{}), document_(document) {}
  const TObject* Keeper() const override { return &document_; }

 private:
  const TkvXMLDocument& document_;
};

}  // namespace

TkvXMLDocument::TkvXMLDocument() : root_(std::make_unique<TkvXMLRootItem>(*this)) {}

TkvXMLDocument::~TkvXMLDocument() = default;

void TkvXMLDocument::LoadFromStream(std::istream& stream) {
  TkvXMLReader reader(stream);
  root_->Clear();
  reader.ReadDocument(*root_);
}

// Files go through the host's file stream, which refuses directories and names holding #0
// and will not read a device without end forever.
void TkvXMLDocument::LoadFromFile(UStringView fileName) {
  TFileStream file{UString(fileName), fmOpenRead};
  CheckTextFileSize(fileName, file.Size());
  LoadFromString(file.ReadAllBytes());
}

namespace {

// Reads a string in place: a string stream's copy would hold the whole text twice while the
// tree is built.
class ViewBuffer : public std::streambuf {
 public:
  explicit ViewBuffer(std::string_view bytes) {
    char* begin = const_cast<char*>(bytes.data());  // only ever read
    setg(begin, begin, begin + bytes.size());
  }
};

}  // namespace

void TkvXMLDocument::LoadFromString(std::string_view utf8) {
  ViewBuffer buffer(utf8);
  std::istream stream(&buffer);
  LoadFromStream(stream);
}

void TkvXMLDocument::SaveToStream(std::ostream& stream) const {
  TkvXMLWriter::CheckWritable(*root_);
  TkvXMLWriter(stream, indentOutput_).WriteDocument(*root_);
}

void TkvXMLDocument::SaveToFile(UStringView fileName) const {
  // Written to memory first, so that a tree we refuse to write leaves an existing file alone.
  SaveFileBytes(UString(fileName), SaveToString());
}

void HideFromScripts(const TkvXMLItem& top) {
  std::vector<const TkvXMLItem*> pending{&top};
  while (!pending.empty()) {
    const TkvXMLItem* item = pending.back();
    pending.pop_back();
    handles::HideFromScripts(item);
    pending.insert(pending.end(), item->Children().begin(), item->Children().end());
  }
}

void HideFromScripts(const TkvXMLDocument& document) {
  handles::HideFromScripts(&document);
  HideFromScripts(*document.Root());
}

std::string TkvXMLDocument::SaveToString() const {
  std::ostringstream stream;
  SaveToStream(stream);
  return std::move(stream).str();
}

}  // namespace kv
