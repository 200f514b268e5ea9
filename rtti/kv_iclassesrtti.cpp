#include "rtti/kv_iclassesrtti.h"

#include <sstream>
#include <string>

#include "host/core/class_builder.h"
#include "host/core/exceptions.h"
#include "host/core/file_routines.h"
#include "host/core/file_stream.h"
#include "host/core/list.h"
#include "host/core/memory_stream.h"
#include "host/core/strings.h"
#include "xml/kv_xml.h"

namespace kv {

KV_DEFINE_CLASS(TkvClassesRTTI, TComponent) { c.Constructor(); }

namespace classesrtti {

namespace {

TkvLibraryHolder<TFunctions>& Holder() {
  static TkvLibraryHolder<TFunctions> holder;
  return holder;
}

// An object argument the operation cannot do without: nil raises "Object reference is nil"
// instead of reaching the host as a null pointer.
template <class T>
T& RequiredArg(const TkvParams& params, size_t index) {
  return *HandleTo<T>(IntArg(params, index));
}

// Positions and sizes are 64-bit in the host; scripts get an Integer when it fits.
Variant Int64Result(int64_t value) { return Variant::FromInt64(value); }

// Free: nil is ignored (the host's Free checks for it); a stale handle raises the handle
// table's clear error, and an object that belongs to another (a document's root) is
// refused. The object's event adapters go with it (the interpreter's destroy observer),
// after its own destroy events have fired.
Variant FreeObject(int32_t instance) {
  if (instance == 0) return Variant();
  TObject* object = handles::ToObject(instance);
  CheckScriptMayFree(*object);
  object->Free();
  return Variant();
}

TDuplicates DuplicatesFrom(const Variant& value) {
  const int32_t ordinal = value.ToInt();
  if (ordinal < dupIgnore || ordinal > dupError)
    throw ERangeError(u"Duplicates must be dupIgnore, dupAccept or dupError, not " +
                      IntToUStr(ordinal));
  return static_cast<TDuplicates>(ordinal);
}

// The single character of a Delimiter or QuoteChar assignment.
char16_t CharFrom(const Variant& value, const char16_t* property) {
  const UString text = value.ToString();
  if (text.size() != 1)
    throw EConvertError(UString(property) + u" must be one character, not '" + text + u"'");
  return text[0];
}

TObject* OpenFileStream(TkvParams& params) {
  const UString fileName = StrArg(params, 0);
  const int32_t mode = IntArg(params, 1);
  // A Word: -1 must not turn into fmCreate and empty a file.
  if (mode < 0 || mode > 0xFFFF)
    throw EFOpenError(u"Cannot open file \"" + fileName + u"\". Invalid file mode (" +
                      IntToUStr(mode) + u")");
  return new TFileStream(fileName, static_cast<uint16_t>(mode));
}

// Reads a document from the stream's position; the stream is left after the last byte
// the document used, as the document's own stream reading does.
void LoadDocument(TkvXMLDocument& document, TStream& stream) {
  const int64_t start = stream.Position();
  std::istringstream bytes(stream.ReadAllBytes());
  document.LoadFromStream(bytes);
  bytes.clear();
  const std::streamoff used = bytes.tellg();
  if (used >= 0) stream.SetPosition(start + used);
}

}  // namespace

TFunctions::TFunctions() : TkvBindingLibrary(u"Core classes") {
  RegisterConstants();
  RegisterObject();
  RegisterPersistent();
  RegisterList();
  RegisterStrings();
  RegisterStringList();
  RegisterStream();
  RegisterFileStream();
  RegisterMemoryStream();
  RegisterComponent();
  RegisterXMLItem();
  RegisterXMLDocument();
  RegisterFileRoutines();
}

void TFunctions::RegisterConstants() {
  Const(u"fmCreate", u"Integer", Variant(int32_t{fmCreate}));
  Const(u"fmOpenRead", u"Integer", Variant(int32_t{fmOpenRead}));
  Const(u"fmOpenWrite", u"Integer", Variant(int32_t{fmOpenWrite}));
  Const(u"fmOpenReadWrite", u"Integer", Variant(int32_t{fmOpenReadWrite}));
  Const(u"fmShareExclusive", u"Integer", Variant(int32_t{fmShareExclusive}));
  Const(u"fmShareDenyWrite", u"Integer", Variant(int32_t{fmShareDenyWrite}));
  Const(u"fmShareDenyNone", u"Integer", Variant(int32_t{fmShareDenyNone}));
  Const(u"soFromBeginning", u"Integer", Variant(int32_t{soFromBeginning}));
  Const(u"soFromCurrent", u"Integer", Variant(int32_t{soFromCurrent}));
  Const(u"soFromEnd", u"Integer", Variant(int32_t{soFromEnd}));
  Enum(u"TDuplicates", u"dupIgnore, dupAccept, dupError");
}

void TFunctions::RegisterObject() {
  auto c = Class<TObject>(u"");
  c.Constructor(u"constructor Create");
  // Free accepts nil, which the typed members refuse, so it answers through a callback of
  // its own; the descriptor still records this library as the member's registrar.
  c.Descriptor()->DefineMethod(u"procedure Free", [](int32_t instance, TClass*, const UString&,
                                                     TkvParams&) { return FreeObject(instance); });
  c.ClassMethod(u"function ClassName: String", [](TClass& cls, TkvParams&) { return cls.Name(); });
}

void TFunctions::RegisterPersistent() {
  auto c = Class<TPersistent>(u"TObject");
  c.Method(u"procedure Assign(Source: TPersistent)",
           [](TPersistent& self, TkvParams& p) { self.Assign(ObjectArg<TPersistent>(p, 0)); });
}

void TFunctions::RegisterList() {
  auto c = Class<TList>(u"TObject");
  c.Method(u"function Add(Item: TObject): Integer",
           [](TList& self, TkvParams& p) { return self.Add(IntArg(p, 0)); });
  c.Method(u"procedure Clear", [](TList& self, TkvParams&) { self.Clear(); });
  c.Method(u"procedure Delete(Index: Integer)",
           [](TList& self, TkvParams& p) { self.Delete(IntArg(p, 0)); });
  c.Method(u"function IndexOf(Item: TObject): Integer",
           [](TList& self, TkvParams& p) { return self.IndexOf(IntArg(p, 0)); });
  c.Method(u"procedure Insert(Index: Integer; Item: TObject)",
           [](TList& self, TkvParams& p) { self.Insert(IntArg(p, 0), IntArg(p, 1)); });
  c.Method(u"function Remove(Item: TObject): Integer",
           [](TList& self, TkvParams& p) { return self.Remove(IntArg(p, 0)); });
  c.Property(u"Count", u"Integer", [](TList& self) { return self.Count(); });
  c.DefaultProperty(
      u"Items", u"Integer", u"TObject",
      [](TList& self, TkvParams& p) { return self.Items(IntArg(p, 0)); },
      [](TList& self, TkvParams& p, const Variant& v) { self.SetItems(IntArg(p, 0), v.ToInt()); });
  // Beyond the classic set: reordering and the ends.
  c.Method(u"procedure Exchange(Index1, Index2: Integer)",
           [](TList& self, TkvParams& p) { self.Exchange(IntArg(p, 0), IntArg(p, 1)); });
  c.Method(u"procedure Move(CurIndex, NewIndex: Integer)",
           [](TList& self, TkvParams& p) { self.Move(IntArg(p, 0), IntArg(p, 1)); });
  c.Method(u"function First: TObject", [](TList& self, TkvParams&) { return self.First(); });
  c.Method(u"function Last: TObject", [](TList& self, TkvParams&) { return self.Last(); });
}

void TFunctions::RegisterStrings() {
  auto c = Class<TStrings>(u"TPersistent");
  c.Method(u"function Add(const S: string): Integer",
           [](TStrings& self, TkvParams& p) { return self.Add(StrArg(p, 0)); });
  c.Method(u"function AddObject(const S: string; AObject: TObject): Integer",
           [](TStrings& self, TkvParams& p) { return self.AddObject(StrArg(p, 0), IntArg(p, 1)); });
  c.Method(u"procedure Clear", [](TStrings& self, TkvParams&) { self.Clear(); });
  c.Method(u"procedure Delete(Index: Integer)",
           [](TStrings& self, TkvParams& p) { self.Delete(IntArg(p, 0)); });
  c.Method(u"function IndexOf(const S: string): Integer",
           [](TStrings& self, TkvParams& p) { return self.IndexOf(TextArg(p, 0)); });
  c.Method(u"function IndexOfName(const Name: string): Integer",
           [](TStrings& self, TkvParams& p) { return self.IndexOfName(TextArg(p, 0)); });
  c.Method(u"function IndexOfObject(AObject: TObject): Integer",
           [](TStrings& self, TkvParams& p) { return self.IndexOfObject(IntArg(p, 0)); });
  c.Method(u"procedure Insert(Index: Integer; const S: string)",
           [](TStrings& self, TkvParams& p) { self.Insert(IntArg(p, 0), StrArg(p, 1)); });
  c.Method(u"procedure InsertObject(Index: Integer; const S: string; AObject: TObject)",
           [](TStrings& self, TkvParams& p) {
             self.InsertObject(IntArg(p, 0), StrArg(p, 1), IntArg(p, 2));
           });
  c.Method(u"procedure LoadFromFile(const FileName: string)",
           [](TStrings& self, TkvParams& p) { self.LoadFromFile(StrArg(p, 0)); });
  c.Method(u"procedure LoadFromStream(Stream: TStream)",
           [](TStrings& self, TkvParams& p) { self.LoadFromStream(RequiredArg<TStream>(p, 0)); });
  c.Method(u"procedure SaveToFile(const FileName: string)",
           [](TStrings& self, TkvParams& p) { self.SaveToFile(StrArg(p, 0)); });
  c.Method(u"procedure SaveToStream(Stream: TStream)",
           [](TStrings& self, TkvParams& p) { self.SaveToStream(RequiredArg<TStream>(p, 0)); });
  c.Property(
      u"CommaText", u"string", [](TStrings& self) { return self.CommaText(); },
      [](TStrings& self, const Variant& v) { self.SetCommaText(TextArg(v)); });
  c.Property(u"Count", u"Integer", [](TStrings& self) { return self.Count(); });
  c.IndexedProperty(u"Names", u"Integer", u"string",
                    [](TStrings& self, TkvParams& p) { return self.Names(IntArg(p, 0)); });
  c.IndexedProperty(
      u"Objects", u"Integer", u"TObject",
      [](TStrings& self, TkvParams& p) { return self.GetObject(IntArg(p, 0)); },
      [](TStrings& self, TkvParams& p, const Variant& v) {
        self.PutObject(IntArg(p, 0), v.ToInt());
      });
  c.IndexedProperty(
      u"Values", u"String", u"string",
      [](TStrings& self, TkvParams& p) { return self.Values(TextArg(p, 0)); },
      [](TStrings& self, TkvParams& p, const Variant& v) {
        self.SetValues(StrArg(p, 0), v.ToString());
      });
  c.DefaultProperty(
      u"Strings", u"Integer", u"string",
      [](TStrings& self, TkvParams& p) { return self.Get(IntArg(p, 0)); },
      [](TStrings& self, TkvParams& p, const Variant& v) { self.Put(IntArg(p, 0), v.ToString()); });
  c.Property(
      u"Text", u"string", [](TStrings& self) { return self.Text(); },
      [](TStrings& self, const Variant& v) { self.SetText(TextArg(v)); });
  // Beyond the classic set: reordering, values by index and the delimited text.
  c.Method(u"procedure Exchange(Index1, Index2: Integer)",
           [](TStrings& self, TkvParams& p) { self.Exchange(IntArg(p, 0), IntArg(p, 1)); });
  c.Method(u"procedure Move(CurIndex, NewIndex: Integer)",
           [](TStrings& self, TkvParams& p) { self.Move(IntArg(p, 0), IntArg(p, 1)); });
  c.IndexedProperty(u"ValueFromIndex", u"Integer", u"string",
                    [](TStrings& self, TkvParams& p) { return self.ValueFromIndex(IntArg(p, 0)); });
  c.Property(
      u"DelimitedText", u"string", [](TStrings& self) { return self.DelimitedText(); },
      [](TStrings& self, const Variant& v) { self.SetDelimitedText(TextArg(v)); });
  c.Property(
      u"Delimiter", u"string", [](TStrings& self) { return UString(1, self.Delimiter()); },
      [](TStrings& self, const Variant& v) { self.SetDelimiter(CharFrom(v, u"Delimiter")); });
  c.Property(
      u"QuoteChar", u"string", [](TStrings& self) { return UString(1, self.QuoteChar()); },
      [](TStrings& self, const Variant& v) { self.SetQuoteChar(CharFrom(v, u"QuoteChar")); });
  c.Property(
      u"StrictDelimiter", u"Boolean", [](TStrings& self) { return self.StrictDelimiter(); },
      [](TStrings& self, const Variant& v) { self.SetStrictDelimiter(v.ToBool()); });
}

void TFunctions::RegisterStringList() {
  auto c = Class<TStringList>(u"TStrings");
  c.Method(u"function Find(s: String; var Index: Integer): Boolean",
           [](TStringList& self, TkvParams& p) {
             int index = 0;
             const bool found = self.Find(TextArg(p, 0), index);
             VarArg(p, 1) = Variant(index);
             return found;
           });
  c.Method(u"procedure Sort", [](TStringList& self, TkvParams&) { self.Sort(); });
  c.Property(
      u"Duplicates", u"TDuplicates", [](TStringList& self) { return int32_t{self.Duplicates()}; },
      [](TStringList& self, const Variant& v) { self.SetDuplicates(DuplicatesFrom(v)); });
  c.Property(
      u"Sorted", u"Boolean", [](TStringList& self) { return self.Sorted(); },
      [](TStringList& self, const Variant& v) { self.SetSorted(v.ToBool()); });
  c.Property(
      u"CaseSensitive", u"Boolean", [](TStringList& self) { return self.CaseSensitive(); },
      [](TStringList& self, const Variant& v) { self.SetCaseSensitive(v.ToBool()); });
}

void TFunctions::RegisterStream() {
  auto c = Class<TStream>(u"TObject");
  // Buffer is a var parameter, so the bytes read reach the script's variable.
  c.Method(u"function Read(var Buffer: string; Count: Longint): Longint",
           [](TStream& self, TkvParams& p) {
             UString data = self.ReadString(IntArg(p, 1));
             const auto count = static_cast<int32_t>(data.size());
             VarArg(p, 0) = Variant(std::move(data));
             return count;
           });
  c.Method(u"function Write(Buffer: string; Count: Longint): Longint",
           [](TStream& self, TkvParams& p) {
             return Int64Result(self.WriteString(TextArg(p, 0), IntArg(p, 1)));
           });
  c.Method(u"function Seek(Offset: Longint; Origin: Word): Longint",
           [](TStream& self, TkvParams& p) {
             return Int64Result(self.Seek(IntArg(p, 0), IntArg(p, 1)));
           });
  c.Method(u"function CopyFrom(Source: TStream; Count: Longint): Longint",
           [](TStream& self, TkvParams& p) {
             return Int64Result(self.CopyFrom(RequiredArg<TStream>(p, 0), IntArg(p, 1)));
           });
  c.Property(
      u"Position", u"Longint", [](TStream& self) { return Int64Result(self.Position()); },
      [](TStream& self, const Variant& v) { self.SetPosition(v.ToInt64()); });
  c.Property(u"Size", u"Longint", [](TStream& self) { return Int64Result(self.Size()); });
}

void TFunctions::RegisterFileStream() {
  auto c = Class<TFileStream>(u"TStream");
  c.Constructor(u"constructor Create(Filename: String; Mode: Word)",
                [](TClass&, TkvParams& p) { return OpenFileStream(p); });
}

void TFunctions::RegisterMemoryStream() {
  auto c = Class<TMemoryStream>(u"TStream");
  c.Method(u"procedure Clear", [](TMemoryStream& self, TkvParams&) { self.Clear(); });
  c.Method(u"procedure LoadFromStream(Stream: TStream)", [](TMemoryStream& self, TkvParams& p) {
    self.LoadFromStream(RequiredArg<TStream>(p, 0));
  });
  c.Method(u"procedure LoadFromFile(Filename: String)",
           [](TMemoryStream& self, TkvParams& p) { self.LoadFromFile(StrArg(p, 0)); });
  c.Method(u"procedure SaveToStream(Stream: TStream)", [](TMemoryStream& self, TkvParams& p) {
    self.SaveToStream(RequiredArg<TStream>(p, 0));
  });
  c.Method(u"procedure SaveToFile(Filename: String)",
           [](TMemoryStream& self, TkvParams& p) { self.SaveToFile(StrArg(p, 0)); });
}

void TFunctions::RegisterComponent() {
  auto c = Class<TComponent>(u"TPersistent");
  c.Constructor(u"constructor Create(AOwner: TComponent)");
  c.Property(u"Owner", u"TComponent", [](TComponent& self) { return ObjectResult(self.Owner()); });
}

void TFunctions::RegisterXMLItem() {
  auto c = Class<TkvXMLItem>(u"TObject");
  c.Constructor(u"constructor Create");
  c.Method(u"procedure AddItem(Item: TkvXMLItem)",
           [](TkvXMLItem& self, TkvParams& p) { self.AddItem(ObjectArg<TkvXMLItem>(p, 0)); });
  c.Method(u"procedure Clear", [](TkvXMLItem& self, TkvParams&) { self.Clear(); });
  c.Method(u"procedure InsertItem(Index: Integer; Item: TkvXMLItem)",
           [](TkvXMLItem& self, TkvParams& p) {
             self.InsertItem(IntArg(p, 0), ObjectArg<TkvXMLItem>(p, 1));
           });
  c.Method(u"function Add: TkvXMLItem",
           [](TkvXMLItem& self, TkvParams&) { return ObjectResult(self.Add()); });
  c.Method(u"function Find(const Name: String): Integer",
           [](TkvXMLItem& self, TkvParams& p) { return self.Find(TextArg(p, 0)); });
  c.Method(
      u"function FindItem(const Name: String): TkvXMLItem",
      [](TkvXMLItem& self, TkvParams& p) { return ObjectResult(self.FindItem(TextArg(p, 0))); });
  c.Method(u"function Prop(const Name: String): String",
           [](TkvXMLItem& self, TkvParams& p) { return self.Prop(TextArg(p, 0)); });
  c.Method(u"function Root: TkvXMLItem",
           [](TkvXMLItem& self, TkvParams&) { return ObjectResult(self.Root()); });
  c.Property(
      u"Data", u"Integer", [](TkvXMLItem& self) { return self.Data(); },
      [](TkvXMLItem& self, const Variant& v) { self.SetData(v.ToInt()); });
  c.Property(u"Count", u"Integer", [](TkvXMLItem& self) { return self.Count(); });
  c.DefaultProperty(u"Items", u"Integer", u"TkvXMLItem", [](TkvXMLItem& self, TkvParams& p) {
    return ObjectResult(self.Items(IntArg(p, 0)));
  });
  c.Property(
      u"Name", u"String", [](TkvXMLItem& self) { return self.Name(); },
      [](TkvXMLItem& self, const Variant& v) { self.SetName(v.ToString()); });
  c.Property(u"Parent", u"TkvXMLItem",
             [](TkvXMLItem& self) { return ObjectResult(self.Parent()); });
  c.Property(
      u"Text", u"String", [](TkvXMLItem& self) { return self.Text(); },
      [](TkvXMLItem& self, const Variant& v) { self.SetText(v.ToString()); });
  c.Property(
      u"Content", u"String", [](TkvXMLItem& self) { return self.Content(); },
      [](TkvXMLItem& self, const Variant& v) { self.SetContent(v.ToString()); });
}

void TFunctions::RegisterXMLDocument() {
  auto c = Class<TkvXMLDocument>(u"TObject");
  c.Constructor(u"constructor Create");
  c.Method(u"procedure SaveToStream(Stream: TStream)", [](TkvXMLDocument& self, TkvParams& p) {
    const std::string bytes = self.SaveToString();
    RequiredArg<TStream>(p, 0).WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  });
  c.Method(u"procedure LoadFromStream(Stream: TStream)", [](TkvXMLDocument& self, TkvParams& p) {
    LoadDocument(self, RequiredArg<TStream>(p, 0));
  });
  c.Method(u"procedure SaveToFile(const FileName: String)",
           [](TkvXMLDocument& self, TkvParams& p) { self.SaveToFile(TextArg(p, 0)); });
  c.Method(u"procedure LoadFromFile(const FileName: String)",
           [](TkvXMLDocument& self, TkvParams& p) { self.LoadFromFile(TextArg(p, 0)); });
  c.Property(u"Root", u"TkvXMLItem",
             [](TkvXMLDocument& self) { return ObjectResult(self.Root()); });
}

// Scripts that write files through streams and lists need to find and remove them again.
void TFunctions::RegisterFileRoutines() {
  Function(u"function FileExists(const FileName: string): Boolean", u"ctFile",
           [](TkvParams& p) { return FileExists(StrArg(p, 0)); });
  Function(u"function DeleteFile(const FileName: string): Boolean", u"ctFile",
           [](TkvParams& p) { return DeleteFile(StrArg(p, 0)); });
}

}  // namespace classesrtti

void StartClassesRtti() { classesrtti::Holder().Start(); }

void StopClassesRtti() { classesrtti::Holder().Stop(); }

classesrtti::TFunctions* ClassesRtti() { return classesrtti::Holder().Instance(); }

}  // namespace kv
