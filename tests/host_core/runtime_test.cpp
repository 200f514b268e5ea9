// The runtime routines scripts call: number and date text, Format, patterns, edit masks,
// string edge rules and the checked mathematics. Everything runs with the C locale's
// settings (the defaults of TFormatSettings) unless a test installs others.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

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
#include "host/core/random.h"
#include "host/core/string_routines.h"

namespace kv {
namespace {

std::string S(const UString& s) { return ToUtf8(s); }

// The message of the exception a call raises, or "no exception".
template <class E, class F>
std::string MessageOf(F&& call) {
  try {
    call();
  } catch (const E& e) {
    return S(e.Message());
  }
  return "no exception";
}

std::string Fmt(const char* format, std::vector<TVarRec> args) {
  return S(Format(U(format), args));
}

TVarRec I(int64_t v) { return TVarRec::Integer(v); }
TVarRec F(double v) { return TVarRec::Extended(v); }
TVarRec Str(const char* s) { return TVarRec::String(U(s)); }

// German conventions: "," as decimal point, "." for thousands, day.month.year.
TFormatSettings German() {
  TFormatSettings s;
  s.DecimalSeparator = u',';
  s.ThousandSeparator = u'.';
  s.DateSeparator = u'.';
  s.ShortDateFormat = u"dd/mm/yyyy";
  s.CurrencyString = u"€";
  s.CurrencyFormat = 3;
  s.NegCurrFormat = 8;
  return s;
}

TEST(FloatToStr, GeneralFormatUsesFifteenDigitsAndExponentsAtTheEdges) {
  EXPECT_EQ(S(FloatToStr(0)), "0");
  EXPECT_EQ(S(FloatToStr(-1.5)), "-1.5");
  EXPECT_EQ(S(FloatToStr(0.1 + 0.2)), "0.3");
  EXPECT_EQ(S(FloatToStr(1.0 / 3)), "0.333333333333333");
  EXPECT_EQ(S(FloatToStr(2.0 / 3)), "0.666666666666667");
  EXPECT_EQ(S(FloatToStr(123456789012345.0)), "123456789012345");
  EXPECT_EQ(S(FloatToStr(1234567890123456.0)), "1.23456789012346E15");
  EXPECT_EQ(S(FloatToStr(0.0001)), "0.0001");
  EXPECT_EQ(S(FloatToStr(0.00001)), "1E-5");
  EXPECT_EQ(S(FloatToStr(-1.5e-7)), "-1.5E-7");
  EXPECT_EQ(S(FloatToStr(1e100)), "1E100");
  EXPECT_EQ(S(FloatToStr(999999999999999.9)), "1E15");  // rounding carries into a new digit
  EXPECT_EQ(S(FloatToStr(NAN)), "NAN");
  EXPECT_EQ(S(FloatToStr(-INFINITY)), "-INF");
  EXPECT_EQ(S(FloatToStr(1.5, German())), "1,5");
}

TEST(FloatToStrF, FixedNumberExponentAndCurrencyRoundHalfAwayFromZero) {
  using enum TFloatFormat;
  EXPECT_EQ(S(FloatToStrF(2.675, ffFixed, 18, 2)), "2.68");  // as written, not as stored
  EXPECT_EQ(S(FloatToStrF(-2.675, ffFixed, 18, 2)), "-2.68");
  EXPECT_EQ(S(FloatToStrF(0.125, ffFixed, 18, 2)), "0.13");
  EXPECT_EQ(S(FloatToStrF(-0.004, ffFixed, 18, 2)), "0.00");  // no negative zero
  EXPECT_EQ(S(FloatToStrF(9.995, ffFixed, 18, 2)), "10.00");
  EXPECT_EQ(S(FloatToStrF(1234567.891, ffNumber, 18, 2)), "1,234,567.89");
  EXPECT_EQ(S(FloatToStrF(-999.5, ffNumber, 18, 0)), "-1,000");
  EXPECT_EQ(S(FloatToStrF(1234.5, ffExponent, 15, 3)), "1.23450000000000E+003");
  EXPECT_EQ(S(FloatToStrF(-0.00012345, ffExponent, 3, 2)), "-1.23E-04");
  EXPECT_EQ(S(FloatToStrF(1e20, ffFixed, 18, 2)), "1.00000000000000E+020");
  EXPECT_EQ(S(FloatToStrF(-1234.5, ffCurrency, 18, 2)), "-$1,234.50");
  EXPECT_EQ(S(FloatToStrF(-1234.5, ffCurrency, 18, 2, German())), "-1.234,50 €");
}

TEST(Format, IntegersWithWidthPrecisionAndAlignment) {
  EXPECT_EQ(Fmt("%d", {I(-42)}), "-42");
  EXPECT_EQ(Fmt("[%5d]", {I(42)}), "[   42]");
  EXPECT_EQ(Fmt("[%-5d]", {I(42)}), "[42   ]");
  EXPECT_EQ(Fmt("[%.4d]", {I(-12)}), "[-0012]");
  EXPECT_EQ(Fmt("%d", {I(-2147483648LL)}), "-2147483648");
  EXPECT_EQ(Fmt("%u", {I(-1)}), "4294967295");
  EXPECT_EQ(Fmt("%x", {I(255)}), "FF");
  EXPECT_EQ(Fmt("%.4x", {I(-1)}), "FFFFFFFF");
  EXPECT_EQ(Fmt("%X", {I(10)}), "A");
  EXPECT_EQ(Fmt("%p", {I(42)}), "0000002A");
  EXPECT_EQ(Fmt("[%*d]", {I(4), I(7)}), "[   7]");
  EXPECT_EQ(Fmt("[%*d]", {I(-4), I(7)}), "[7   ]");
  EXPECT_EQ(Fmt("100%%", {}), "100%");
}

TEST(Format, FloatsUseTheLocaleAndRoundAtTheLastDigit) {
  EXPECT_EQ(Fmt("%f", {F(3.14159)}), "3.14");
  EXPECT_EQ(Fmt("%.3f", {F(-1.0005)}), "-1.001");
  EXPECT_EQ(Fmt("%.0f", {F(2.5)}), "3");
  EXPECT_EQ(Fmt("%8.2f|", {F(-3.14159)}), "   -3.14|");
  EXPECT_EQ(Fmt("%n", {F(-1234567.891)}), "-1,234,567.89");
  EXPECT_EQ(Fmt("%e", {F(-1234.5)}), "-1.23450000000000E+003");
  EXPECT_EQ(Fmt("%.3e", {F(0.0001)}), "1.00E-004");
  EXPECT_EQ(Fmt("%g", {F(1234.5)}), "1234.5");
  EXPECT_EQ(Fmt("%g", {F(1e20)}), "1E+020");
  EXPECT_EQ(Fmt("%m", {F(-5)}), "-$5.00");
  EXPECT_EQ(S(Format(u"%.2f", {F(1234.5)}, German())), "1234,50");
  EXPECT_EQ(S(Format(u"%n", {F(1234.5)}, German())), "1.234,50");
}

TEST(Format, StringsAreNeverCutExceptByAPrecision) {
  std::string longText(1000, 'x');
  EXPECT_EQ(Fmt("%s", {Str(longText.c_str())}), longText);
  EXPECT_EQ(Fmt("[%.3s]", {Str("abcdef")}), "[abc]");
  EXPECT_EQ(Fmt("[%6s][%-6s]", {Str("ab"), Str("cd")}), "[    ab][cd    ]");
  EXPECT_EQ(Fmt("%s", {TVarRec::Char(u'Ж')}), "Ж");
  EXPECT_EQ(Fmt("%s", {TVarRec::OfVariant(Variant(int32_t{7}))}), "7");
  EXPECT_EQ(Fmt("%s=%s", {Str("Привет"), Str("мир")}), "Привет=мир");
}

TEST(Format, IndexesMoveTheArgumentPosition) {
  EXPECT_EQ(Fmt("%1:s %0:s %s", {Str("a"), Str("b")}), "b a b");
  EXPECT_EQ(Fmt("%0:s%0:s", {Str("ab")}), "abab");
  EXPECT_EQ(Fmt("%d-%d", {I(7), I(0)}), "7-0");
}

TEST(Format, MismatchesAndMissingArgumentsRaiseWithTheFormatText) {
  EXPECT_EQ(MessageOf<EConvertError>([] { Fmt("%d", {Str("x")}); }),
            "Format '%d' invalid or incompatible with argument");
  EXPECT_EQ(MessageOf<EConvertError>([] { Fmt("%f", {I(1)}); }),
            "Format '%f' invalid or incompatible with argument");
  EXPECT_EQ(MessageOf<EConvertError>([] { Fmt("%s", {TVarRec::Boolean(true)}); }),
            "Format '%s' invalid or incompatible with argument");
  EXPECT_EQ(MessageOf<EConvertError>([] { Fmt("a %q", {I(1)}); }),
            "Format 'a %q' invalid or incompatible with argument");
  EXPECT_EQ(MessageOf<EConvertError>([] { Fmt("50%", {}); }),
            "Format '50%' invalid or incompatible with argument");
  EXPECT_EQ(MessageOf<EConvertError>([] { Fmt("%d %d", {I(1)}); }),
            "No argument for format '%d %d'");
  EXPECT_EQ(MessageOf<EConvertError>([] { Fmt("%5:d", {I(1)}); }), "No argument for format '%5:d'");
  EXPECT_EQ(MessageOf<EConvertError>([] { Fmt("%99999999999d", {I(1)}); }),
            "Format '%99999999999d' invalid or incompatible with argument");
  EXPECT_EQ(MessageOf<EConvertError>([] {
              Fmt("%*d", {I(2000000), I(1)});
            }),
            "Format '%*d' invalid or incompatible with argument");
}

TEST(FormatFloat, DigitPlaceholdersSeparatorsAndSections) {
  EXPECT_EQ(S(FormatFloat(u"0.00", 2.675)), "2.68");
  EXPECT_EQ(S(FormatFloat(u"#,##0.00", 1234567.891)), "1,234,567.89");
  EXPECT_EQ(S(FormatFloat(u"#,##0.00", -1234.5)), "-1,234.50");
  EXPECT_EQ(S(FormatFloat(u"#,##0", 999.5)), "1,000");
  EXPECT_EQ(S(FormatFloat(u"#.##", 0.5)), ".5");
  EXPECT_EQ(S(FormatFloat(u"0.##", 1)), "1");
  EXPECT_EQ(S(FormatFloat(u"0.##", 1.50)), "1.5");
  EXPECT_EQ(S(FormatFloat(u"000", 7)), "007");
  EXPECT_EQ(S(FormatFloat(u"##", 0)), "");
  EXPECT_EQ(S(FormatFloat(u"0", 123456)), "123456");  // digits that do not fit go first
  EXPECT_EQ(S(FormatFloat(u"00-00", 1234)), "12-34");
  EXPECT_EQ(S(FormatFloat(u"\"$\"#,##0.00", -5)), "-$5.00");
  EXPECT_EQ(S(FormatFloat(u"0.00 'kg'", 1.234)), "1.23 kg");
  EXPECT_EQ(S(FormatFloat(u"0.0;(0.0)", -1.25)), "(1.3)");
  EXPECT_EQ(S(FormatFloat(u"0.0;(0.0);zero", 0)), "zero");
  EXPECT_EQ(S(FormatFloat(u"0.0;(0.0);zero", 0.01)), "zero");  // rounds to zero
  EXPECT_EQ(S(FormatFloat(u"0.0;;zero", -2)), "-2.0");         // empty negative section
  EXPECT_EQ(S(FormatFloat(u"0", -0.4)), "0");
  EXPECT_EQ(S(FormatFloat(u"", 1.5)), "1.5");
  EXPECT_EQ(S(FormatFloat(u"#,##0.00", 1234.5, German())), "1.234,50");
}

TEST(FormatFloat, ScientificNotation) {
  EXPECT_EQ(S(FormatFloat(u"0.00E+00", 1234.5)), "1.23E+03");
  EXPECT_EQ(S(FormatFloat(u"0.00E-00", 1234.5)), "1.23E03");
  EXPECT_EQ(S(FormatFloat(u"0.00E-00", 0.0012345)), "1.23E-03");
  EXPECT_EQ(S(FormatFloat(u"0.###e+0", -98765)), "-9.877e+4");
  EXPECT_EQ(S(FormatFloat(u"00.0E+0", 1234.5)), "12.3E+2");
  EXPECT_EQ(S(FormatFloat(u"0.0E+00", 0)), "0.0E+00");
  EXPECT_EQ(S(FormatFloat(u"0.0E+00", 9.96)), "1.0E+01");
}

TEST(DateTime, EncodeDecodeAcrossCenturiesAndLeapDays) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2);
  EXPECT_EQ(EncodeDate(2000, 2, 29), 36585);
  EXPECT_EQ(EncodeDate(1, 1, 1), -693593);
  EXPECT_EQ(EncodeDate(1800, 3, 1), -36463);
  int y, m, d;
  DecodeDate(-36463, y, m, d);
  EXPECT_EQ((std::vector<int>{y, m, d}), (std::vector<int>{1800, 3, 1}));
  DecodeDate(EncodeDate(1600, 2, 29), y, m, d);
  EXPECT_EQ((std::vector<int>{y, m, d}), (std::vector<int>{1600, 2, 29}));
  DecodeDate(EncodeDate(9999, 12, 31), y, m, d);
  EXPECT_EQ(y, 9999);

  EXPECT_EQ(MessageOf<EConvertError>([] { EncodeDate(1900, 2, 29); }),
            "Invalid argument to date encode");
  EXPECT_EQ(MessageOf<EConvertError>([] { EncodeDate(0, 1, 1); }),
            "Invalid argument to date encode");
  EXPECT_EQ(MessageOf<EConvertError>([] { EncodeDate(2023, 13, 1); }),
            "Invalid argument to date encode");
  EXPECT_EQ(MessageOf<EConvertError>([] { EncodeTime(24, 0, 0, 0); }),
            "Invalid argument to time encode");
  EXPECT_EQ(MessageOf<EConvertError>([] { EncodeTime(1, 60, 0, 0); }),
            "Invalid argument to time encode");
  EXPECT_EQ(MessageOf<EConvertError>([&] { DecodeDate(1e10, y, m, d); }),
            "Invalid date/time value 10000000000: outside the years 1 to 9999");
}

TEST(DateTime, TimesBeforeEighteenNinetyNineKeepTheirTimeOfDay) {
  double dt = ComposeDateTime(EncodeDate(1899, 12, 29), EncodeTime(6, 0, 0, 0));
  EXPECT_DOUBLE_EQ(dt, -1.25);
  int h, n, s, ms;
  DecodeTime(dt, h, n, s, ms);
  EXPECT_EQ(h, 6);
  EXPECT_EQ(S(FormatDateTime(u"yyyy-mm-dd hh:nn", dt)), "1899-12-29 06:00");
  DecodeTime(EncodeTime(23, 59, 59, 999), h, n, s, ms);
  EXPECT_EQ((std::vector<int>{h, n, s, ms}), (std::vector<int>{23, 59, 59, 999}));
}

TEST(DateTime, CalendarQuestions) {
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_TRUE(IsLeapYear(2024));
  EXPECT_EQ(DaysInMonth(2000, 2), 29);
  EXPECT_EQ(DaysInMonth(1900, 2), 28);
  EXPECT_EQ(DaysInMonth(2023, 12), 31);
  EXPECT_EQ(MessageOf<EConvertError>([] { DaysInMonth(2023, 13); }),
            "Invalid month 13: months run from 1 to 12");
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 1, 14)), 1);  // a Sunday
  EXPECT_EQ(DayOfWeek(0), 7);                        // 1899-12-30 was a Saturday
  EXPECT_EQ(DayOfWeek(EncodeDate(1800, 1, 1)), 4);   // a Wednesday
  EXPECT_EQ(DayOfWeek(-1.5), 6);
  double now = Now();
  EXPECT_GT(now, EncodeDate(2020, 1, 1));
  EXPECT_EQ(Date(), std::trunc(Date()));
  EXPECT_LT(Time(), 1.0);
}

TEST(FormatDateTime, PatternLetters) {
  double dt = ComposeDateTime(EncodeDate(2024, 3, 5), EncodeTime(14, 7, 9, 45));
  EXPECT_EQ(S(FormatDateTime(u"d/m/yy", dt)), "5-3-24");
  EXPECT_EQ(S(FormatDateTime(u"dd.mm.yyyy", dt)), "05.03.2024");
  EXPECT_EQ(S(FormatDateTime(u"ddd dddd mmm mmmm", dt)), "Tue Tuesday Mar March");
  EXPECT_EQ(S(FormatDateTime(u"ddddd", dt)), "2024-03-05");
  EXPECT_EQ(S(FormatDateTime(u"dddddd", dt)), "Tuesday, March 5, 2024");
  EXPECT_EQ(S(FormatDateTime(u"h:n:s.z", dt)), "14:7:9.45");
  EXPECT_EQ(S(FormatDateTime(u"hh:mm:ss.zzz", dt)), "14:07:09.045");  // mm after hh: minutes
  EXPECT_EQ(S(FormatDateTime(u"h:nn am/pm", dt)), "2:07 pm");
  EXPECT_EQ(S(FormatDateTime(u"h:nn AM/PM", EncodeTime(0, 5, 0, 0))), "12:05 AM");
  EXPECT_EQ(S(FormatDateTime(u"hh a/p", dt)), "02 p");
  EXPECT_EQ(S(FormatDateTime(u"h ampm", dt)), "2 PM");
  EXPECT_EQ(S(FormatDateTime(u"t | tt", dt)), "14:07 | 14:07:09");
  EXPECT_EQ(S(FormatDateTime(u"'day' d \"of\" mmmm", dt)), "day 5 of March");
  EXPECT_EQ(S(FormatDateTime(u"c", dt)), "2024-03-05 14:07:09");
  EXPECT_EQ(S(FormatDateTime(u"c", EncodeDate(2024, 3, 5))), "2024-03-05");
  EXPECT_EQ(S(FormatDateTime(u"", EncodeDate(1066, 10, 14))), "1066-10-14");
  EXPECT_EQ(S(FormatDateTime(u"yyyy", EncodeDate(33, 1, 1))), "0033");
  EXPECT_EQ(S(FormatDateTime(u"dd/mm/yyyy", EncodeDate(2000, 2, 29), German())), "29.02.2000");
  EXPECT_EQ(S(DateTimeToStr(0.5)), "1899-12-30 12:00:00");
  EXPECT_EQ(S(TimeToStr(0.75)), "18:00:00");
  EXPECT_EQ(S(DateToStr(EncodeDate(1900, 2, 28))), "1900-02-28");
}

TEST(FormatDateTime, SettingsThatNameThemselvesDoNotRecurseForever) {
  TFormatSettings s;
  s.ShortDateFormat = u"c ddddd";
  EXPECT_NO_THROW(FormatDateTime(u"c", 1.5, s));
}

TEST(StrToDate, LocaleOrderSeparatorsAndFailures) {
  EXPECT_EQ(StrToDate(u"2024-02-29"), EncodeDate(2024, 2, 29));
  EXPECT_EQ(StrToDate(u" 1850/7/4 "), EncodeDate(1850, 7, 4));
  EXPECT_EQ(StrToDate(u"29.02.2000", German()), EncodeDate(2000, 2, 29));
  TFormatSettings american;
  american.ShortDateFormat = u"mm/dd/yyyy";
  american.DateSeparator = u'/';
  EXPECT_EQ(StrToDate(u"03/05/2024", american), EncodeDate(2024, 3, 5));
  EXPECT_EQ(StrToDate(u"3/5", american), StrToDate(u"3-5"));  // month first, this year
  EXPECT_EQ(StrToDate(u"5.3", German()), StrToDate(u"3-5"));  // day first
  EXPECT_EQ(MessageOf<EConvertError>([] { StrToDate(u"2023-02-29"); }),
            "'2023-02-29' is not a valid date");
  EXPECT_EQ(MessageOf<EConvertError>([] { StrToDate(u"2024-01-15x"); }),
            "'2024-01-15x' is not a valid date");
  EXPECT_EQ(MessageOf<EConvertError>([] { StrToDate(u""); }), "'' is not a valid date");
  double out = 0;
  EXPECT_TRUE(TryStrToDate(u"3-7", out));  // month and day of the current year
  int y, m, d;
  DecodeDate(out, y, m, d);
  EXPECT_EQ(m * 100 + d, 307);
  TFormatSettings window;
  window.TwoDigitYearCenturyWindow = 0;  // two-digit years in the current century
  EXPECT_TRUE(TryStrToDate(u"24-1-2", out, window));
  DecodeDate(out, y, m, d);
  EXPECT_EQ(y % 100, 24);
  EXPECT_GE(y, 2000);
}

TEST(StrToTime, ClockFormsAndFailures) {
  EXPECT_EQ(StrToTime(u"13:45"), EncodeTime(13, 45, 0, 0));
  EXPECT_EQ(StrToTime(u"13:45:30.25"), EncodeTime(13, 45, 30, 250));
  EXPECT_EQ(StrToTime(u"1:30 pm"), EncodeTime(13, 30, 0, 0));
  EXPECT_EQ(StrToTime(u"12:00 AM"), 0);
  EXPECT_EQ(StrToTime(u"3 PM"), EncodeTime(15, 0, 0, 0));
  EXPECT_EQ(MessageOf<EConvertError>([] { StrToTime(u"25:00"); }), "'25:00' is not a valid time");
  EXPECT_EQ(MessageOf<EConvertError>([] { StrToTime(u"13 PM"); }), "'13 PM' is not a valid time");
  EXPECT_EQ(MessageOf<EConvertError>([] { StrToTime(u"12"); }), "'12' is not a valid time");
}

TEST(StrToDateTime, DateAndTimeTogetherOrAlone) {
  double expected = ComposeDateTime(EncodeDate(2024, 3, 5), EncodeTime(14, 7, 9, 0));
  EXPECT_EQ(StrToDateTime(u"2024-03-05 14:07:09"), expected);
  EXPECT_EQ(StrToDateTime(u"2024-03-05"), EncodeDate(2024, 3, 5));
  EXPECT_EQ(StrToDateTime(u"14:07"), EncodeTime(14, 7, 0, 0));
  EXPECT_DOUBLE_EQ(StrToDateTime(u"1899-12-29 06:00"), -1.25);
  EXPECT_EQ(MessageOf<EConvertError>([] { StrToDateTime(u"2024-03-05 x"); }),
            "'2024-03-05 x' is not a valid date and time");
}

TEST(Conversions, IntegersAndFloatsFromText) {
  EXPECT_EQ(StrToInt(u" -123 "), -123);
  EXPECT_EQ(StrToInt(u"$FF"), 255);
  EXPECT_EQ(StrToInt(u"-2147483648"), INT32_MIN);
  EXPECT_EQ(MessageOf<EConvertError>([] { StrToInt(u"12a"); }),
            "'12a' is not a valid integer value");
  EXPECT_EQ(MessageOf<EConvertError>([] { StrToInt(u"2147483648"); }),
            "'2147483648' is not a valid integer value");
  EXPECT_EQ(StrToFloat(u"-1.5E3"), -1500);
  EXPECT_EQ(StrToFloat(u"1,5", German()), 1.5);
  EXPECT_EQ(MessageOf<EConvertError>([] { StrToFloat(u"1.5", German()); }),
            "'1.5' is not a valid floating point value");
  EXPECT_EQ(MessageOf<EConvertError>([] { StrToFloat(u"1e999"); }),
            "'1e999' is not a valid floating point value");
  EXPECT_EQ(S(IntToStr(-2147483648LL)), "-2147483648");
}

TEST(MaskText, PicturesWithAndWithoutLiteralsInTheValue) {
  EXPECT_EQ(S(FormatMaskText(u"(000)000-0000;0;_", u"5551234567")), "(555)123-4567");
  EXPECT_EQ(S(FormatMaskText(u"(000)000-0000;1;_", u"(555)123-4567")), "(555)123-4567");
  EXPECT_EQ(S(FormatMaskText(u"000-0000;1;_", u"5551234")), "555-1234");
  EXPECT_EQ(S(FormatMaskText(u">LL-0000;0", u"ab1234")), "AB-1234");
  EXPECT_EQ(S(FormatMaskText(u">L<lll;0", u"jOHN")), "John");
  EXPECT_EQ(S(FormatMaskText(u"00:00;0", u"1230")), "12:30");
  EXPECT_EQ(S(FormatMaskText(u"99/99/0000;0", u"01022024")), "01-02-2024");
  EXPECT_EQ(S(FormatMaskText(u"000-000;0", u"12")), "12 -   ");
  EXPECT_EQ(S(FormatMaskText(u"!999;0", u"12")), " 12");
  EXPECT_EQ(S(FormatMaskText(u"000;0", u"1x3")), "1 3");  // a letter does not fit a digit
  EXPECT_EQ(S(FormatMaskText(u"\\A00;0", u"12")), "A12");
  EXPECT_EQ(S(FormatMaskText(u"LLL;0", u"Жук")), "Жук");
}

// Needles past the short-needle cut-over go through the linear search; periodic texts over a
// two-letter alphabet exercise its fall-backs, and every answer must be the plain search's.
TEST(StringRoutines, PosOfLongNeedlesAgreesWithPlainSearch) {
  const UString a100(100, u'a');
  EXPECT_EQ(Pos(a100 + u"b", a100 + a100 + u"b"), 101);
  EXPECT_EQ(Pos(a100 + u"b", a100 + a100), 0);
  EXPECT_EQ(Pos(a100, a100), 1);
  EXPECT_EQ(Pos(a100 + u"a", a100), 0);  // longer than the text

  uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1103515245u + 12345u, (seed >> 16) & 0x7FFF; };
  for (int round = 0; round < 200; ++round) {
    UString text;
    for (int k = 0; k < 400; ++k) text += (next() % 5 == 0) ? u'b' : u'a';
    const size_t from = next() % 200, length = 65 + next() % 120;
    UString needle = text.substr(from, length);
    if (round % 2) needle[next() % needle.size()] ^= 3;  // often absent
    const size_t plain = text.find(needle);
    EXPECT_EQ(Pos(needle, text), plain == UString::npos ? 0 : int32_t(plain) + 1) << round;
  }
}

TEST(StringRoutines, CopyPosDeleteInsertEdgeRules) {
  EXPECT_EQ(S(Copy(u"abcdef", 0, 2)), "ab");
  EXPECT_EQ(S(Copy(u"abcdef", -5, 2)), "ab");
  EXPECT_EQ(S(Copy(u"abc", 3, 5)), "c");
  EXPECT_EQ(S(Copy(u"abc", 4, 1)), "");
  EXPECT_EQ(S(Copy(u"abc", 2, -1)), "");
  EXPECT_EQ(S(Copy(u"abc", INT32_MIN, INT32_MAX)), "abc");
  EXPECT_EQ(S(Copy(u"Привет", 2, 3)), "рив");
  EXPECT_EQ(Pos(u"", u"abc"), 0);
  EXPECT_EQ(Pos(u"c", u""), 0);
  EXPECT_EQ(Pos(u"bc", u"abcbc"), 2);
  EXPECT_EQ(Pos(u"вет", u"Привет"), 4);

  UString s = u"abcdef";
  Delete(s, 0, 1);
  EXPECT_EQ(S(s), "abcdef");
  Delete(s, 5, 100);
  EXPECT_EQ(S(s), "abcd");
  Delete(s, 2, INT32_MAX);
  EXPECT_EQ(S(s), "a");
  Insert(u"x", s, 100);
  EXPECT_EQ(S(s), "ax");
  Insert(u"y", s, -3);
  EXPECT_EQ(S(s), "yax");
  Insert(u"", s, 2);
  EXPECT_EQ(S(s), "yax");
  Insert(u"--", s, 2);
  EXPECT_EQ(S(s), "y--ax");
}

TEST(StringRoutines, CharactersCaseAndLength) {
  EXPECT_EQ(S(Trim(u"\t  a b \r\n")), "a b");
  EXPECT_EQ(S(Trim(u" \x01 ")), "");
  EXPECT_EQ(S(NameCase(u"john smith")), "john Smith");
  EXPECT_EQ(S(NameCase(u"иван  петров")), "иван  Петров");
  EXPECT_EQ(Chr(321), UString(1, char16_t(321)));
  EXPECT_EQ(Chr(65536 + 65), u"A");
  EXPECT_EQ(Ord(u"Ж"), 0x416);
  EXPECT_EQ(MessageOf<ERangeError>([] { Chr(-1); }), "Chr: character code -1 is negative");
  EXPECT_EQ(MessageOf<ERangeError>([] { Ord(u""); }),
            "Ord: the string is empty, it has no first character");
  UString s = u"abc";
  SetLength(s, 5);
  EXPECT_EQ(S(s), "abc  ");
  SetLength(s, 1);
  EXPECT_EQ(S(s), "a");
  SetLength(s, -4);
  EXPECT_EQ(S(s), "");
  EXPECT_NE(MessageOf<EOutOfMemory>([&] { SetLength(s, INT32_MAX); }), "no exception");
}

TEST(MathRoutines, RoundingAndRangeChecks) {
  EXPECT_EQ(Round(2.5), 2);
  EXPECT_EQ(Round(3.5), 4);
  EXPECT_EQ(Round(-2.5), -2);
  EXPECT_EQ(Round(-2.6), -3);
  EXPECT_EQ(Trunc(-1.7), -1);
  EXPECT_EQ(Int(2.7), 2.0);
  EXPECT_EQ(Int(-2.7), -2.0);
  EXPECT_DOUBLE_EQ(Frac(-2.75), -0.75);
  EXPECT_EQ(Round(2147483647.4), 2147483647);
  EXPECT_EQ(Trunc(-2147483648.9), INT32_MIN);
  EXPECT_EQ(MessageOf<ERangeError>([] { Round(3e10); }),
            "Round(30000000000): the result is outside the Integer range -2147483648..2147483647");
  EXPECT_NE(MessageOf<ERangeError>([] { Trunc(2147483648.0); }), "no exception");
  EXPECT_NE(MessageOf<ERangeError>([] { Int(-1e300); }), "no exception");
  EXPECT_EQ(MessageOf<EInvalidOp>([] { Round(NAN); }), "Invalid floating point operation");
}

TEST(MathRoutines, DomainErrorsRaiseTheFloatingPointMessages) {
  EXPECT_EQ(Sqrt(6.25), 2.5);
  EXPECT_EQ(MessageOf<EInvalidOp>([] { Sqrt(-1); }), "Invalid floating point operation");
  EXPECT_EQ(MessageOf<EInvalidOp>([] { Ln(-1); }), "Invalid floating point operation");
  EXPECT_EQ(MessageOf<EZeroDivide>([] { Ln(0); }), "Floating point division by zero");
  EXPECT_EQ(MessageOf<EOverflow>([] { Exp(1000); }), "Floating point overflow");
  EXPECT_EQ(Exp(-1000), 0);
  EXPECT_DOUBLE_EQ(Ln(std::exp(2.0)), 2.0);
  EXPECT_DOUBLE_EQ(Tan(kPi / 4), 1.0);
  EXPECT_DOUBLE_EQ(ArcTan(1) * 4, kPi);
  EXPECT_EQ(Abs(-3), 3.0);
}

TEST(Random, SeededSequencesRepeatAndStayInRange) {
  SetRandSeed(42);
  std::vector<double> first;
  for (int k = 0; k < 5; ++k) first.push_back(RandomFloat());
  SetRandSeed(42);
  for (int k = 0; k < 5; ++k) EXPECT_EQ(RandomFloat(), first[size_t(k)]);
  Randomize();
  double sum = 0;
  for (int k = 0; k < 10000; ++k) {
    double r = RandomFloat();
    ASSERT_GE(r, 0.0);
    ASSERT_LT(r, 1.0);
    sum += r;
  }
  EXPECT_NEAR(sum / 10000, 0.5, 0.05);
  EXPECT_EQ(RandomInt(0), 0);
  for (int k = 0; k < 100; ++k) ASSERT_LT(RandomInt(3), 3);
}

TEST(FormatSettings, CLocaleGivesTheDefaults) {
  InitFormatSettings();  // tests run in the C locale
  const TFormatSettings& s = FormatSettings();
  EXPECT_EQ(s.DecimalSeparator, u'.');
  EXPECT_EQ(s.ThousandSeparator, u',');
  EXPECT_EQ(s.DateSeparator, u'-');
  EXPECT_EQ(S(DateToStr(EncodeDate(2024, 1, 15))), "2024-01-15");
  ResetFormatSettings();
}

}  // namespace
}  // namespace kv
