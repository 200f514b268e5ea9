// kv_xml: the engine's small XML tree. It holds grammars and IL documents and scripts use it
// directly. It is not a general XML processor: an element is a name, one raw attribute text
// and either child elements or character data (its Content); blanks between tags are layout.
// Attribute values are decoded on demand from the raw text, and their only character escape
// is the numeric "&#N;" (N the decimal code of one UTF-16 code unit, or of a code point above
// U+FFFF, which decodes to its surrogate pair). Every file written is well-formed XML.
//
// Files are UTF-8. Nothing in this unit recurses over the tree, so documents of any depth can
// be read, copied, written and destroyed.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/core/object.h"
#include "host/core/pointer_list.h"
#include "host/core/shared_string.h"
#include "host/core/source_place.h"
#include "host/core/ustring.h"

namespace kv {

class TkvXMLDocument;

// One element. An item owns its children; a child list is created on the first insertion.
//
// Invariants: an item is in at most one child list and Parent() is that list's owner; no
// item is its own ancestor; the root of a document is in no child list; Text is empty or a
// well-formed XML attribute list.
//
// Items and documents are host classes, so that scripts can create and reach them.
class TkvXMLItem : public TObject {
  KV_CLASS(TkvXMLItem, TObject)

 public:
  TkvXMLItem() : TObject(LateHandle{}) {}
  explicit TkvXMLItem(UString name) : TObject(LateHandle{}), name_(std::move(name)) {}
  // Items made in numbers under one name (the parser's) share its text.
  explicit TkvXMLItem(const SharedString& name) : TObject(LateHandle{}), name_(name) {}
  // Raises for a text SetText refuses.
  TkvXMLItem(UString name, UString text);
  TkvXMLItem(const TkvXMLItem&) = delete;
  TkvXMLItem& operator=(const TkvXMLItem&) = delete;
  // Destroys all children, then takes this item out of its parent's list.
  ~TkvXMLItem() override;

  // A free slot for the user of the tree (scripts); the engine does not use it.
  int32_t Data() const { return extras_ ? extras_->data : 0; }
  void SetData(int32_t data);
  const UString& Name() const { return name_.Str(); }
  void SetName(UString name) { name_ = SharedString(std::move(name)); }
  // The raw attribute text, values in coded form (EncodeAttrValue), e.g. `text="x" pos="1:6"`.
  const UString& Text() const;
  // Raises kv::Exception, saying why, for a text that is not a well-formed XML attribute
  // list (so that no file written from the tree is refused by XML readers).
  void SetText(UString text);
  // The attributes the parser gives its elements, `pos="ROW:COLUMN"` alone or after
  // `text="VALUE"` (`value` decoded). They are kept as they are, and the attribute text is
  // only made when Text asks for it: most IL elements are compiled and dropped unseen.
  void SetPosAttribute(SourcePlace place);
  void SetTextAndPosAttributes(UString value, SourcePlace place);
  // The `pos` attribute while it is kept as numbers (set by the two above, and Text not
  // asked for since); false otherwise, when Prop reads it from the text.
  bool HeldPlace(SourcePlace& place) const {
    if (form_ == AttrForm::Raw) return false;
    place = place_;
    return true;
  }
  // The character data between the element's tags, decoded ("Bob & Alice" for
  // `<name>Bob &amp; Alice</name>`). An element saved with Content cannot have children.
  const UString& Content() const;
  void SetContent(UString content);
  TkvXMLItem* Parent() { return parent_; }
  const TkvXMLItem* Parent() const { return parent_; }

  int Count() const { return static_cast<int>(children_.size()); }
  // Raises EListError for an index outside 0..Count()-1.
  TkvXMLItem* Items(int index);
  const TkvXMLItem* Items(int index) const;
  std::span<TkvXMLItem* const> Children() const { return children_; }

  // A new child appended last.
  TkvXMLItem* Add();
  TkvXMLItem* Add(UString name, UString text = {});
  // Takes ownership of `item` and appends it last, taking it out of its previous parent's
  // list; a child of this item moves to the end. Raises for a null item, for this item or
  // one of its ancestors (that would make a cycle) and for a document's root.
  void AddItem(TkvXMLItem* item);
  void AddItem(std::unique_ptr<TkvXMLItem> item);
  // As AddItem, then moves the item to `index` (0..Count() after the insertion - 1). A bad
  // index raises EListError before anything changes.
  void InsertItem(int index, TkvXMLItem* item);
  // Room for `count` children without reallocating the list.
  void ReserveChildren(std::size_t count) { children_.reserve(count); }
  // Destroys all children; Name, Text, Content and Data stay.
  void Clear();

  // Index of the first child named `name` (letter case ignored), or -1.
  int Find(UStringView name) const;
  // The first child named `name`; appends a new child of that name when there is none.
  TkvXMLItem* FindItem(UStringView name);
  // The decoded value of attribute `name` (case ignored), empty when absent. Only the first
  // occurrence of `name="` in Text counts, and only where it starts Text or follows a blank.
  // Raises EConvertError for an invalid character code in the value.
  UString Prop(UStringView name) const;
  // Prop into `value`, reusing its storage.
  void AssignProp(UStringView name, UString& value) const;
  // The topmost ancestor; the item itself when it has no parent.
  TkvXMLItem* Root();
  const TkvXMLItem* Root() const;
  // Makes this item a deep copy of `source` (Name, Text, Content, Data and copies of all
  // children); with no source only clears the children. The source may be this item or one
  // of its descendants: the copy is taken before the old children go.
  void AssignTree(const TkvXMLItem* source);

  // True for the root of a TkvXMLDocument, which the document owns for its whole life.
  bool IsDocumentRoot() const { return isRoot_; }
  // A document's root belongs to the document, which does not expect to lose it; any other
  // item leaves its parent cleanly when freed.
  const TObject* Keeper() const override;

 protected:
  // For the document's root, which says so.
  struct DocumentRoot {};
  explicit TkvXMLItem(DocumentRoot) : TObject(LateHandle{}), isRoot_(true) {}

 private:
  friend class TkvXMLDocument;

  // Appends a new item without the ownership checks of AddItem.
  void AppendNew(TkvXMLItem* item);
  void CheckCanAdopt(const TkvXMLItem* item) const;
  // Takes `item` out of this item's list without destroying it.
  void Detach(TkvXMLItem* item);
  void CopyAttributes(const TkvXMLItem& source);

  // What text_ holds: the attribute text itself, nothing (the position alone is set), or
  // the decoded value of `text` (with the position).
  enum class AttrForm : uint8_t { Raw, Pos, TextPos };

  // What few items have: the others do without (an IL document holds millions of items).
  struct Extras {
    UString content;
    int32_t data = 0;
  };
  Extras& EnsureExtras();
  void CopyExtras(const TkvXMLItem& source);

  // The fields are ordered so that the two flags and the place fill the base's tail.
  mutable AttrForm form_ = AttrForm::Raw;  // Text turns the other forms into Raw
  bool isRoot_ = false;
  SourcePlace place_;  // the `pos` attribute unless form_ is Raw
  TkvXMLItem* parent_ = nullptr;
  PointerList<TkvXMLItem> children_;  // owned
  SharedString name_;
  mutable UString text_;
  std::unique_ptr<Extras> extras_;
};

class TkvXMLDocument : public TObject {
  KV_CLASS(TkvXMLDocument, TObject)

 public:
  TkvXMLDocument();
  TkvXMLDocument(const TkvXMLDocument&) = delete;
  TkvXMLDocument& operator=(const TkvXMLDocument&) = delete;
  ~TkvXMLDocument() override;

  // The document element itself ("language", "program", ...); never null.
  TkvXMLItem* Root() { return root_.get(); }
  const TkvXMLItem* Root() const { return root_.get(); }
  // When true every tag is written on its own line, indented; else the document is one line.
  bool IndentOutput() const { return indentOutput_; }
  void SetIndentOutput(bool indent) { indentOutput_ = indent; }

  // Loading clears Root's children and overwrites its Name, Text and Content. A malformed
  // document (an element left open at the end, a second top element, a bad attribute list,
  // character data beside elements, ...) raises kv::Exception "Invalid file format at
  // ROW:COL: reason"; the items read before the fault stay in Root. The stream is left just
  // after the last byte the document used.
  void LoadFromStream(std::istream& stream);
  void LoadFromFile(UStringView fileName);  // EFOpenError when the file cannot be opened
  void LoadFromString(std::string_view utf8);

  // A tree that could not be read back as written, or would not be well-formed XML (a name
  // that is no XML name, an item with both Content and children, ...) raises kv::Exception
  // before anything is written.
  void SaveToStream(std::ostream& stream) const;
  void SaveToFile(UStringView fileName) const;  // EFCreateError when it cannot be created
  std::string SaveToString() const;

 private:
  std::unique_ptr<TkvXMLItem> root_;
  bool indentOutput_ = false;
};

// Puts a tree the engine keeps while scripts run (a grammar, the IL of a designator compiled
// at its first use) out of scripts' reach (handles::HideFromScripts): the item and all its
// descendants, or the document and all its items. Items added later are not hidden.
void HideFromScripts(const TkvXMLItem& top);
void HideFromScripts(const TkvXMLDocument& document);

// Codes carriage return, line feed, double quote, "<", ">", "&" and lone surrogates as
// "&#N;", so that any value survives being put in an attribute text, written and read back.
UString EncodeAttrValue(UStringView s);
// Replaces every "&#N;" by the character it codes; an "&#" with no ";" after it stays.
// Raises EConvertError when N is not a decimal number or not a Unicode code (> 1114111).
UString DecodeAttrValue(UStringView s);

}  // namespace kv
