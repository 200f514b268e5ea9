#include "rtti/kv_isysrtti.h"

#include <vector>

#include "engine/kv_itools.h"
#include "host/core/conversions.h"
#include "host/core/date_format.h"
#include "host/core/date_parse.h"
#include "host/core/date_time.h"
#include "host/core/exceptions.h"
#include "host/core/format.h"
#include "host/core/format_float.h"
#include "host/core/format_settings.h"
#include "host/core/mask_text.h"
#include "host/core/math_routines.h"
#include "host/core/message_service.h"
#include "host/core/random.h"
#include "host/core/string_routines.h"
#include "host/core/variant_ops.h"

namespace kv {

namespace {

TkvLibraryHolder<TFunctions>& Holder() {
  static TkvLibraryHolder<TFunctions> holder;
  return holder;
}

Variant DateResult(double serial) { return Variant::Date(serial); }

// The text a value shows to a user: Null is the empty string.
UString VarToStr(const Variant& v) { return v.IsNull() ? UString() : v.ToString(); }

// True when the check runs through; any failure, a conversion of the argument included,
// is false.
template <class F>
bool Succeeds(F&& check) {
  try {
    return check();
  } catch (const std::exception&) {
    return false;
  }
}

// Bounds read in pairs (low, high of dimension 1, then of dimension 2, ...).
std::vector<ArrayBound> BoundsOf(const Variant& list) {
  std::vector<int32_t> numbers;
  if (list.IsArray()) {
    if (list.ArrayDimCount() != 1)
      throw EVariantError(u"VarArrayCreate: the bounds must be a one-dimensional array");
    const ArrayBound b = list.ArrayBoundOf(1);
    for (int32_t i = b.low; i <= b.high; ++i) numbers.push_back(list.Element(&i, 1).ToInt());
  } else {
    numbers.push_back(list.ToInt());
  }
  if (numbers.empty() || numbers.size() % 2 != 0)
    throw EVariantError(
        u"VarArrayCreate: the bounds must come in pairs of low and high, one "
        u"pair per dimension");
  std::vector<ArrayBound> bounds;
  for (size_t k = 0; k < numbers.size(); k += 2) bounds.push_back({numbers[k], numbers[k + 1]});
  return bounds;
}

// The length of a string, or of the first dimension of an array.
int32_t LengthOf(const Variant& v) {
  if (v.IsArray()) return v.ArrayBoundOf(1).Count();
  return static_cast<int32_t>(TextArg(v).View().size());
}

}  // namespace

TFunctions::TFunctions() : TkvBindingLibrary(u"Built-in routines") {
  RegisterConversions();
  RegisterFormatting();
  RegisterDates();
  RegisterStrings();
  RegisterMathematics();
  RegisterOthers();
  RegisterConstants();
}

void TFunctions::RegisterConversions() {
  Function(u"function IntToStr(i: Integer): String", ctConv,
           [](TkvParams& p) { return IntToStr(IntArg(p, 0)); });
  Function(u"function FloatToStr(e: Extended): String", ctConv,
           [](TkvParams& p) { return FloatToStr(FloatArg(p, 0)); });
  Function(u"function DateToStr(e: Extended): String", ctConv,
           [](TkvParams& p) { return DateToStr(FloatArg(p, 0)); });
  Function(u"function TimeToStr(e: Extended): String", ctConv,
           [](TkvParams& p) { return TimeToStr(FloatArg(p, 0)); });
  Function(u"function DateTimeToStr(e: Extended): String", ctConv,
           [](TkvParams& p) { return DateTimeToStr(FloatArg(p, 0)); });
  Function(u"function VarToStr(v: Variant): String", ctConv,
           [](TkvParams& p) { return VarToStr(Arg(p, 0)); });
  Function(u"function StrToInt(s: String): Integer", ctConv,
           [](TkvParams& p) { return StrToInt(TextArg(p, 0)); });
  Function(u"function StrToFloat(s: String): Extended", ctConv,
           [](TkvParams& p) { return StrToFloat(TextArg(p, 0)); });
  Function(u"function StrToDate(s: String): Extended", ctConv,
           [](TkvParams& p) { return DateResult(StrToDate(TextArg(p, 0))); });
  Function(u"function StrToTime(s: String): Extended", ctConv,
           [](TkvParams& p) { return DateResult(StrToTime(TextArg(p, 0))); });
  Function(u"function StrToDateTime(s: String): Extended", ctConv,
           [](TkvParams& p) { return DateResult(StrToDateTime(TextArg(p, 0))); });
}

void TFunctions::RegisterFormatting() {
  Function(u"function Format(Fmt: String; Args: array): String", ctFormat, [](TkvParams& p) {
    std::vector<TVarRec> args = VariantArrayToArgs(Arg(p, 1));
    UString text = Format(TextArg(p, 0), args);
    FreeArgs(args);
    return text;
  });
  Function(u"function FormatFloat(Fmt: String; Value: Extended): String", ctFormat,
           [](TkvParams& p) { return FormatFloat(TextArg(p, 0), FloatArg(p, 1)); });
  Function(u"function FormatDateTime(Fmt: String; DateTime: TDateTime): String", ctFormat,
           [](TkvParams& p) { return FormatDateTime(TextArg(p, 0), FloatArg(p, 1)); });
  Function(u"function FormatMaskText(EditMask: string; Value: string): string", ctFormat,
           [](TkvParams& p) { return FormatMaskText(TextArg(p, 0), TextArg(p, 1)); });
}

void TFunctions::RegisterDates() {
  Function(u"function EncodeDate(Year, Month, Day: Word): TDateTime", ctDate, [](TkvParams& p) {
    return DateResult(EncodeDate(IntArg(p, 0), IntArg(p, 1), IntArg(p, 2)));
  });
  Function(u"procedure DecodeDate(Date: TDateTime; var Year, Month, Day: Word)", ctDate,
           [](TkvParams& p) {
             int year, month, day;
             DecodeDate(FloatArg(p, 0), year, month, day);
             VarArg(p, 1) = Variant(year);
             VarArg(p, 2) = Variant(month);
             VarArg(p, 3) = Variant(day);
           });
  Function(u"function EncodeTime(Hour, Min, Sec, MSec: Word): TDateTime", ctDate, [](TkvParams& p) {
    return DateResult(EncodeTime(IntArg(p, 0), IntArg(p, 1), IntArg(p, 2), IntArg(p, 3)));
  });
  Function(u"procedure DecodeTime(Time: TDateTime; var Hour, Min, Sec, MSec: Word)", ctDate,
           [](TkvParams& p) {
             int hour, minute, second, msec;
             DecodeTime(FloatArg(p, 0), hour, minute, second, msec);
             VarArg(p, 1) = Variant(hour);
             VarArg(p, 2) = Variant(minute);
             VarArg(p, 3) = Variant(second);
             VarArg(p, 4) = Variant(msec);
           });
  Function(u"function Date: TDateTime", ctDate, [](TkvParams&) { return DateResult(Date()); });
  Function(u"function Time: TDateTime", ctDate, [](TkvParams&) { return DateResult(Time()); });
  Function(u"function Now: TDateTime", ctDate, [](TkvParams&) { return DateResult(Now()); });
  Function(u"function DayOfWeek(aDate: TDateTime): Integer", ctDate,
           [](TkvParams& p) { return DayOfWeek(FloatArg(p, 0)); });
  Function(u"function IsLeapYear(Year: Word): Boolean", ctDate,
           [](TkvParams& p) { return IsLeapYear(IntArg(p, 0)); });
  Function(u"function DaysInMonth(nYear, nMonth: Integer): Integer", ctDate,
           [](TkvParams& p) { return DaysInMonth(IntArg(p, 0), IntArg(p, 1)); });
}

void TFunctions::RegisterStrings() {
  Function(u"function Length(s: String): Integer", ctString,
           [](TkvParams& p) { return LengthOf(Arg(p, 0)); });
  Function(u"function Copy(s: String; from, count: Integer): String", ctString,
           [](TkvParams& p) { return Copy(TextArg(p, 0), IntArg(p, 1), IntArg(p, 2)); });
  Function(u"function Pos(substr, s: String): Integer", ctString,
           [](TkvParams& p) { return Pos(TextArg(p, 0), TextArg(p, 1)); });
  Function(u"procedure Delete(var s: String; from, count: Integer)", ctString, [](TkvParams& p) {
    UString s = StrArg(p, 0);
    Delete(s, IntArg(p, 1), IntArg(p, 2));
    VarArg(p, 0) = Variant(std::move(s));
  });
  Function(u"procedure Insert(s: String; var s2: String; pos: Integer)", ctString,
           [](TkvParams& p) {
             UString s2 = StrArg(p, 1);
             Insert(TextArg(p, 0), s2, IntArg(p, 2));
             VarArg(p, 1) = Variant(std::move(s2));
           });
  Function(u"function Uppercase(s: String): String", ctString,
           [](TkvParams& p) { return UpperCase(TextArg(p, 0)); });
  Function(u"function Lowercase(s: String): String", ctString,
           [](TkvParams& p) { return LowerCase(TextArg(p, 0)); });
  Function(u"function Trim(s: String): String", ctString,
           [](TkvParams& p) { return Trim(TextArg(p, 0)); });
  Function(u"function NameCase(s: String): String", ctString,
           [](TkvParams& p) { return NameCase(TextArg(p, 0)); });
  Function(u"function CompareText(s, s1: String): Integer", ctString,
           [](TkvParams& p) { return CompareText(TextArg(p, 0), TextArg(p, 1)); });
  Function(u"function Chr(i: Integer): Char", ctString,
           [](TkvParams& p) { return Chr(IntArg(p, 0)); });
  Function(u"function Ord(ch: Char): Integer", ctString,
           [](TkvParams& p) { return Ord(TextArg(p, 0)); });
  Function(u"procedure SetLength(var S: String; L: Integer)", ctString, [](TkvParams& p) {
    UString s = StrArg(p, 0);
    SetLength(s, IntArg(p, 1));
    VarArg(p, 0) = Variant(std::move(s));
  });
}

void TFunctions::RegisterMathematics() {
  Function(u"function Round(e: Extended): Integer", ctMath,
           [](TkvParams& p) { return Round(FloatArg(p, 0)); });
  Function(u"function Trunc(e: Extended): Integer", ctMath,
           [](TkvParams& p) { return Trunc(FloatArg(p, 0)); });
  Function(u"function Int(e: Extended): Integer", ctMath,
           [](TkvParams& p) { return Int(FloatArg(p, 0)); });
  Function(u"function Frac(X: Extended): Extended", ctMath,
           [](TkvParams& p) { return Frac(FloatArg(p, 0)); });
  Function(u"function Sqrt(e: Extended): Extended", ctMath,
           [](TkvParams& p) { return Sqrt(FloatArg(p, 0)); });
  Function(u"function Abs(e: Extended): Extended", ctMath,
           [](TkvParams& p) { return Abs(FloatArg(p, 0)); });
  Function(u"function Sin(e: Extended): Extended", ctMath,
           [](TkvParams& p) { return Sin(FloatArg(p, 0)); });
  Function(u"function Cos(e: Extended): Extended", ctMath,
           [](TkvParams& p) { return Cos(FloatArg(p, 0)); });
  Function(u"function ArcTan(X: Extended): Extended", ctMath,
           [](TkvParams& p) { return ArcTan(FloatArg(p, 0)); });
  Function(u"function Tan(X: Extended): Extended", ctMath,
           [](TkvParams& p) { return Tan(FloatArg(p, 0)); });
  Function(u"function Exp(X: Extended): Extended", ctMath,
           [](TkvParams& p) { return Exp(FloatArg(p, 0)); });
  Function(u"function Ln(X: Extended): Extended", ctMath,
           [](TkvParams& p) { return Ln(FloatArg(p, 0)); });
  Function(u"function Pi: Extended", ctMath, [](TkvParams&) { return kPi; });
}

void TFunctions::RegisterOthers() {
  Function(u"procedure Inc(var i: Integer; incr: Integer = 1)", ctOther,
           [](TkvParams& p) { VarBinaryOpInPlace(VarOp::Add, VarArg(p, 0), Arg(p, 1)); });
  Function(u"procedure Dec(var i: Integer; decr: Integer = 1)", ctOther,
           [](TkvParams& p) { VarBinaryOpInPlace(VarOp::Subtract, VarArg(p, 0), Arg(p, 1)); });
  Function(u"procedure RaiseException(Param: String)", ctOther,
           [](TkvParams& p) { throw Exception(VarToStr(Arg(p, 0))); });
  Function(u"procedure ShowMessage(Msg: Variant)", ctOther,
           [](TkvParams& p) { MessageService().ShowMessage(VarToStr(Arg(p, 0))); });
  Function(u"procedure Randomize", ctOther, [](TkvParams&) { Randomize(); });
  Function(u"function Random: Extended", ctOther, [](TkvParams&) { return RandomFloat(); });
  Function(u"function ValidInt(cInt: String): Boolean", ctOther, [](TkvParams& p) {
    return Succeeds([&] {
      int32_t value;
      return TryStrToInt(TextArg(p, 0), value);
    });
  });
  Function(u"function ValidFloat(cFlt: String): Boolean", ctOther, [](TkvParams& p) {
    return Succeeds([&] {
      double value;
      return TryStrToFloat(TextArg(p, 0), value);
    });
  });
  Function(u"function ValidDate(cDate: String): Boolean", ctOther, [](TkvParams& p) {
    return Succeeds([&] {
      double value;
      return TryStrToDate(TextArg(p, 0), value);
    });
  });
  Function(u"function CreateOleObject(ClassName: String): Variant", ctOther,
           [](TkvParams& p) -> Variant {
             throw EOleError(u"OLE automation is not supported yet: cannot create '" +
                             VarToStr(Arg(p, 0)) + u"'");
           });
  Function(u"function VarArrayCreate(Bounds: Array; Typ: Integer): Variant", ctOther,
           [](TkvParams& p) {
             return Variant::Array(BoundsOf(Arg(p, 0)), static_cast<uint16_t>(IntArg(p, 1)));
           });
}

void TFunctions::RegisterConstants() {
  static const struct {
    const char16_t* name;
    int32_t value;
  } kVarTypes[] = {
      {u"varEmpty", 0},     {u"varNull", 1},      {u"varSmallint", 2},    {u"varInteger", 3},
      {u"varSingle", 4},    {u"varDouble", 5},    {u"varCurrency", 6},    {u"varDate", 7},
      {u"varOleStr", 8},    {u"varDispatch", 9},  {u"varError", 10},      {u"varBoolean", 11},
      {u"varVariant", 12},  {u"varUnknown", 13},  {u"varShortInt", 16},   {u"varByte", 17},
      {u"varWord", 18},     {u"varLongWord", 19}, {u"varInt64", 20},      {u"varStrArg", 72},
      {u"varString", 256},  {u"varAny", 257},     {u"varTypeMask", 4095}, {u"varArray", 8192},
      {u"varByRef", 16384},
  };
  for (const auto& c : kVarTypes) Const(c.name, u"Integer", Variant(c.value));
}

void StartSysRtti() {
  // The locale is read here, once, in the start-up sequence; every routine then uses the
  // same settings for the whole run.
  if (!Holder().Instance()) InitFormatSettings();
  Holder().Start();
}

void StopSysRtti() { Holder().Stop(); }

TFunctions* SysRtti() { return Holder().Instance(); }

}  // namespace kv
