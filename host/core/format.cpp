#include "host/core/format.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "host/core/exceptions.h"
#include "host/core/format_float.h"
#include "host/core/string_routines.h"

namespace kv {

namespace {

constexpr int64_t kMaxWidth = 1000000;

UString Ascii(std::string_view s) { return UString(s.begin(), s.end()); }

// One parse of the format text, with the argument position.
class Formatter {
 public:
  Formatter(UStringView format, const std::vector<TVarRec>& args, const TFormatSettings& s)
      : fmt_(format), args_(args), settings_(s) {}

  UString Run() {
    while (pos_ < fmt_.size()) {
      size_t percent = fmt_.find(u'%', pos_);
      if (percent == UStringView::npos) {
        out_.append(fmt_.substr(pos_));
        break;
      }
      out_.append(fmt_.substr(pos_, percent - pos_));
      pos_ = percent + 1;
      if (pos_ < fmt_.size() && fmt_[pos_] == u'%') {
        out_ += u'%';
        ++pos_;
        continue;
      }
      Specifier();
    }
    return std::move(out_);
  }

 private:
  [[noreturn]] void Invalid() const {
    throw EConvertError(u"Format '" + UString(fmt_) + u"' invalid or incompatible with argument");
  }

  const TVarRec& NextArg() {
    if (argIndex_ >= args_.size())
      throw EConvertError(u"No argument for format '" + UString(fmt_) + u"'");
    return args_[argIndex_++];
  }

  // A decimal number or "*" (its argument); nullopt when neither is there.
  std::optional<int64_t> Number() {
    if (pos_ < fmt_.size() && fmt_[pos_] == u'*') {
      ++pos_;
      const TVarRec& arg = NextArg();
      if (arg.VType != TVarRec::vtInteger) Invalid();
      return arg.VInt;
    }
    if (pos_ >= fmt_.size() || fmt_[pos_] < u'0' || fmt_[pos_] > u'9') return std::nullopt;
    int64_t value = 0;
    while (pos_ < fmt_.size() && fmt_[pos_] >= u'0' && fmt_[pos_] <= u'9') {
      value = value * 10 + (fmt_[pos_++] - u'0');
      if (value > kMaxWidth) Invalid();
    }
    return value;
  }

  bool Take(char16_t c) {
    if (pos_ < fmt_.size() && fmt_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }

  void Specifier() {
    std::optional<int64_t> width = Number();
    if (width && Take(u':')) {
      if (*width < 0) Invalid();
      argIndex_ = static_cast<size_t>(*width);
      width.reset();
    }
    bool leftAlign = false;
    if (!width) {
      leftAlign = Take(u'-');
      width = Number();
    }
    int64_t w = width.value_or(0);
    if (w < 0) {  // a negative width from "*" aligns left, as "-" does
      leftAlign = true;
      w = w < -kMaxWidth ? kMaxWidth + 1 : -w;
    }
    int64_t precision = -1;
    if (Take(u'.')) precision = std::max<int64_t>(Number().value_or(0), 0);
    if (w > kMaxWidth || precision > kMaxWidth || pos_ >= fmt_.size()) Invalid();
    char16_t type = fmt_[pos_++];
    if (type >= u'A' && type <= u'Z') type = static_cast<char16_t>(type + 32);
    UString text = Convert(type, static_cast<int>(precision), NextArgFor(type));
    Pad(text, static_cast<size_t>(w), leftAlign);
  }

  const TVarRec& NextArgFor(char16_t type) {
    if (UStringView(u"duefgnmpsx").find(type) == UStringView::npos) Invalid();
    return NextArg();
  }

  void Pad(const UString& text, size_t width, bool leftAlign) {
    CheckStringLength(static_cast<int64_t>(out_.size() + std::max(text.size(), width)));
    if (text.size() >= width) {
      out_ += text;
    } else if (leftAlign) {
      out_ += text;
      out_.append(width - text.size(), u' ');
    } else {
      out_.append(width - text.size(), u' ');
      out_ += text;
    }
  }

  UString Convert(char16_t type, int precision, const TVarRec& arg) {
    switch (type) {
      case u'd':
        return Decimal(arg, precision);
      case u'u':
        return Unsigned(arg, precision);
      case u'x':
        return Hex(arg, precision);
      case u'p':
        return Pointer(arg);
      case u's':
        return String(arg, precision);
      default:
        return Float(type, arg, precision);
    }
  }

  bool IsInteger(const TVarRec& arg) const {
    return arg.VType == TVarRec::vtInteger || arg.VType == TVarRec::vtInt64;
  }

  static UString ZeroPadded(std::string digits, int precision) {
    if (precision > 0 && digits.size() < static_cast<size_t>(precision))
      digits.insert(0, static_cast<size_t>(precision) - digits.size(), '0');
    return Ascii(digits);
  }

  UString Decimal(const TVarRec& arg, int precision) {
    if (!IsInteger(arg)) Invalid();
    uint64_t magnitude =
        arg.VInt < 0 ? 0 - static_cast<uint64_t>(arg.VInt) : static_cast<uint64_t>(arg.VInt);
    UString digits = ZeroPadded(std::to_string(magnitude), precision);
    return arg.VInt < 0 ? u"-" + digits : digits;
  }

  // An integer record holds 32 bits, an Int64 record 64.
  uint64_t UnsignedBits(const TVarRec& arg) {
    if (!IsInteger(arg)) Invalid();
    if (arg.VType == TVarRec::vtInteger) return static_cast<uint32_t>(arg.VInt);
    return static_cast<uint64_t>(arg.VInt);
  }

  UString Unsigned(const TVarRec& arg, int precision) {
    return ZeroPadded(std::to_string(UnsignedBits(arg)), precision);
  }

  static std::string HexDigits(uint64_t bits) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string s;
    do {
      s.insert(s.begin(), kDigits[bits & 15]);
      bits >>= 4;
    } while (bits != 0);
    return s;
  }

  UString Hex(const TVarRec& arg, int precision) {
    return ZeroPadded(HexDigits(UnsignedBits(arg)), precision);
  }

  // Scripts hold objects as integer handles, so an integer is as good as an object here.
  UString Pointer(const TVarRec& arg) {
    if (arg.VType != TVarRec::vtObject && arg.VType != TVarRec::vtPointer &&
        arg.VType != TVarRec::vtInteger)
      Invalid();
    return ZeroPadded(HexDigits(static_cast<uint32_t>(arg.VInt)), 8);
  }

  UString String(const TVarRec& arg, int precision) {
    UString s;
    switch (arg.VType) {
      case TVarRec::vtString:
      case TVarRec::vtAnsiString:
      case TVarRec::vtWideString:
      case TVarRec::vtPChar:
      case TVarRec::vtPWideChar:
        s = arg.VString;
        break;
      case TVarRec::vtChar:
      case TVarRec::vtWideChar:
        s = UString(1, static_cast<char16_t>(arg.VInt));
        break;
      case TVarRec::vtVariant:
        s = arg.VVariant.ToString();
        break;
      default:
        Invalid();
    }
    if (precision >= 0 && s.size() > static_cast<size_t>(precision))
      s.resize(static_cast<size_t>(precision));
    return s;
  }

  UString Float(char16_t type, const TVarRec& arg, int precision) {
    double value;
    if (arg.VType == TVarRec::vtExtended)
      value = arg.VExtended;
    else if (arg.VType == TVarRec::vtCurrency)
      value = static_cast<double>(arg.VInt) / 10000.0;
    else
      Invalid();
    switch (type) {
      case u'e':
        return FloatToStrF(value, TFloatFormat::ffExponent, precision < 0 ? 15 : precision, 3,
                           settings_);
      case u'f':
        return FloatToStrF(value, TFloatFormat::ffFixed, 18, precision < 0 ? 2 : precision,
                           settings_);
      case u'g':
        return FloatToStrF(value, TFloatFormat::ffGeneral, precision < 0 ? 15 : precision, 3,
                           settings_);
      case u'n':
        return FloatToStrF(value, TFloatFormat::ffNumber, 18, precision < 0 ? 2 : precision,
                           settings_);
      default:
        return FloatToStrF(value, TFloatFormat::ffCurrency, 18,
                           precision < 0 ? settings_.CurrencyDecimals : precision, settings_);
    }
  }

  UStringView fmt_;
  const std::vector<TVarRec>& args_;
  const TFormatSettings& settings_;
  size_t pos_ = 0;
  size_t argIndex_ = 0;
  UString out_;
};

}  // namespace

UString Format(UStringView format, const std::vector<TVarRec>& args,
               const TFormatSettings& settings) {
  return Formatter(format, args, settings).Run();
}

}  // namespace kv
