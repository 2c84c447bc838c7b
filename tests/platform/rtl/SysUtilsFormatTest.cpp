// Format, FloatToStrF and FormatFloat under a "." locale (the pinned en-US
// global) and "," locales passed explicitly.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "platform/rtl/SysUtils.h"
#include "tests/support/TestSupport.h"

namespace {

const TFormatSettings& De() { return testsupport::GermanSettings(); }
const TFormatSettings& Fr() { return testsupport::FrenchSettings(); }

// One row: what the call gave, what it must give, and the source line.
struct TextCase {
  QString Got;
  QString Want;
  int Line;
};
#define ROW(got, want) TextCase{got, want, __LINE__}

void Check(const std::vector<TextCase>& rows) {
  for (const TextCase& r : rows) {
    SCOPED_TRACE(testing::Message() << "row at line " << r.Line);
    EXPECT_EQ(r.Got, r.Want);
  }
}

const double kNaN = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

}  // namespace

TEST(FormatTest, IntegerStringAndPointerSpecifiers) {
  Check({
      ROW(Format("%d", {42}), "42"),
      ROW(Format("[%5d]", {42}), "[   42]"),
      ROW(Format("[%-5d]", {42}), "[42   ]"),
      ROW(Format("[%05d]", {42}), "[   42]"),  // no zero flag: "05" is a width
      ROW(Format("%.5d", {-12}), "-00012"),
      ROW(Format("%D", {7}), "7"),
      ROW(Format("%d", {Int64(-9223372036854775807LL - 1)}), "-9223372036854775808"),
      ROW(Format("%d", {UInt64(18446744073709551615ULL)}), "18446744073709551615"),
      ROW(Format("%d", {4000000000u}), "4000000000"),
      ROW(Format("%u", {-1}), "4294967295"),
      ROW(Format("%u", {Int64(-1)}), "18446744073709551615"),
      ROW(Format("%x", {255}), "FF"),
      ROW(Format("%X", {255}), "FF"),
      ROW(Format("%.4x", {255}), "00FF"),
      ROW(Format("%x", {-1}), "FFFFFFFF"),
      ROW(Format("%x", {Int64(-2)}), "FFFFFFFFFFFFFFFE"),
      ROW(Format("%s", {"abc"}), "abc"),
      ROW(Format("%s", {QString::fromUtf8("é€")}), QString::fromUtf8("é€")),
      ROW(Format("%s|%s|%s", {QChar(u'x'), 'y', u'z'}), "x|y|z"),
      ROW(Format("%.2s", {"abcdef"}), "ab"),
      ROW(Format("[%5s][%-4s]", {"ab", "c"}), "[   ab][c   ]"),
      ROW(Format("%.1s", {QString::fromUtf8("\U0001F600x")}), ""),  // no half surrogate pair
      ROW(Format("100%%", {}), "100%"),
      ROW(Format("%p", {reinterpret_cast<const void*>(0x1234ABCD)}), "000000001234ABCD"),
      ROW(Format("%p", {nullptr}), "0000000000000000"),
  });
}

TEST(FormatTest, IndexesAndStarArguments) {
  Check({
      ROW(Format("%1:s %0:s %s", {"a", "b"}), "b a b"),
      ROW(Format("%0:s-%0:s", {"x"}), "x-x"),
      ROW(Format("[%*d]", {5, 42}), "[   42]"),
      ROW(Format("[%-*d]", {4, 7}), "[7   ]"),
      ROW(Format("%.*f", {1, 2.25}), "2.3"),
      ROW(Format("[%*.*f]", {8, 2, 3.14159}), "[    3.14]"),
      ROW(Format("%1:*d", {0, 3, 9}), "  9"),
  });
}

TEST(FormatTest, FloatSpecifiersInADotLocale) {
  Check({
      ROW(Format("%f", {3.14159}), "3.14"),
      ROW(Format("%.3f", {2.0005}), "2.001"),
      ROW(Format("%.2f", {2.675}), "2.68"),  // half away from zero on the shown digits
      ROW(Format("%.0f", {0.5}), "1"),
      ROW(Format("%.0f", {2.5}), "3"),
      ROW(Format("%.0f", {-2.5}), "-3"),
      ROW(Format("%.2f", {-0.001}), "0.00"),  // never "-0.00"
      ROW(Format("%.1f", {0.05}), "0.1"),
      ROW(Format("%f", {1e20}), "1E20"),  // more than 18 integer digits
      ROW(Format("%e", {1234.5}), "1.23450000000000E+003"),
      ROW(Format("%.3e", {-0.000123456}), "-1.23E-004"),
      ROW(Format("%e", {0.0}), "0.00000000000000E+000"),
      ROW(Format("%g", {0.5}), "0.5"),
      ROW(Format("%g", {1e20}), "1E020"),
      ROW(Format("%g", {1e-5}), "1E-005"),
      ROW(Format("%g", {0.0001}), "0.0001"),
      ROW(Format("%.3g", {1234.5}), "1.23E003"),
      ROW(Format("%n", {1234567.891}), "1,234,567.89"),
      ROW(Format("%.0n", {1234567.891}), "1,234,568"),
      ROW(Format("%n", {-999.999}), "-1,000.00"),
      ROW(Format("%m", {1234.5}), "$1,234.50"),
      ROW(Format("%m", {-1234.5}), "($1,234.50)"),
      ROW(Format("%.0m", {5.0}), "$5"),
      ROW(Format("[%10.1f]", {-3.25}), "[      -3.3]"),
      ROW(Format("%f|%e|%g", {kNaN, kInf, -kInf}), "NAN|INF|-INF"),
  });
}

TEST(FormatTest, FloatSpecifiersInCommaLocales) {
  Check({
      ROW(Format("%f", {3.14159}, De()), "3,14"),
      ROW(Format("%n", {1234567.891}, De()), "1.234.567,89"),
      ROW(Format("%m", {1234.5}, De()), QString::fromUtf8("1.234,50 €")),
      ROW(Format("%m", {-1234.5}, De()), QString::fromUtf8("-1.234,50 €")),
      ROW(Format("%e", {1234.5}, De()), "1,23450000000000E+003"),
      ROW(Format("%n", {1234567.891}, Fr()), QString::fromUtf8("1\u202F234\u202F567,89")),
      ROW(Format("%m", {-5.0}, Fr()), QString::fromUtf8("(5,00 €)")),
      // Integers and strings ignore the locale.
      ROW(Format("%d %s", {1234, "x"}, De()), "1234 x"),
  });
}

TEST(FormatTest, ErrorsNameTheWholeFormatString) {
  struct ErrorCase {
    std::function<void()> Call;
    const char* Message;
    int Line;
  };
  const std::vector<ErrorCase> rows = {
      {[] { Format("%d", {1.5}); }, "Format '%d' invalid or incompatible with argument", __LINE__},
      {[] { Format("%f", {1}); }, "Format '%f' invalid or incompatible with argument", __LINE__},
      {[] { Format("<%s>", {42}); }, "Format '<%s>' invalid or incompatible with argument", __LINE__},
      {[] { Format("%d", {true}); }, "Format '%d' invalid or incompatible with argument", __LINE__},
      {[] { Format("%s", {true}); }, "Format '%s' invalid or incompatible with argument", __LINE__},
      {[] { static int local; Format("%s", {&local}); }, "Format '%s' invalid or incompatible with argument",
       __LINE__},
      {[] { Format("%p", {"x"}); }, "Format '%p' invalid or incompatible with argument", __LINE__},
      {[] { Format("%x", {"x"}); }, "Format '%x' invalid or incompatible with argument", __LINE__},
      {[] { Format("%y", {1}); }, "Format '%y' invalid or incompatible with argument", __LINE__},
      {[] { Format("50%", {}); }, "Format '50%' invalid or incompatible with argument", __LINE__},
      {[] { Format("%5", {1}); }, "Format '%5' invalid or incompatible with argument", __LINE__},
      {[] { Format("%*d", {"a", 1}); }, "Format '%*d' invalid or incompatible with argument", __LINE__},
      {[] { Format("%99999999d", {1}); }, "Format '%99999999d' invalid or incompatible with argument",
       __LINE__},
      {[] { Format("Value %d and %d", {1}); }, "No argument for format 'Value %d and %d'", __LINE__},
      {[] { Format("%s", {}); }, "No argument for format '%s'", __LINE__},
      {[] { Format("%3:d", {1}); }, "No argument for format '%3:d'", __LINE__},
      {[] { Format("%*d", {5}); }, "No argument for format '%*d'", __LINE__},
  };
  for (const ErrorCase& r : rows) {
    SCOPED_TRACE(testing::Message() << "row at line " << r.Line);
    EXPECT_EQ(testsupport::ErrorOf<EConvertError>(r.Call), QString::fromUtf8(r.Message));
  }
}

TEST(FloatToStrTest, GeneralAndFixedForms) {
  const TFormatSettings& fs = FormatSettings;
  Check({
      ROW(FloatToStr(0.0), "0"),
      ROW(FloatToStr(-0.0), "0"),
      ROW(FloatToStr(1.5), "1.5"),
      ROW(FloatToStr(-1.5), "-1.5"),
      ROW(FloatToStr(0.1 + 0.2), "0.3"),
      ROW(FloatToStr(1 / 3.0), "0.333333333333333"),
      ROW(FloatToStr(2 / 3.0), "0.666666666666667"),
      ROW(FloatToStr(1e14), "100000000000000"),
      ROW(FloatToStr(1e15), "1E15"),
      ROW(FloatToStr(123456789012345678.0), "1.23456789012346E17"),
      ROW(FloatToStr(0.0001), "0.0001"),
      ROW(FloatToStr(0.00001), "1E-5"),
      ROW(FloatToStr(-1.5e-7), "-1.5E-7"),
      ROW(FloatToStr(kNaN), "NAN"),
      ROW(FloatToStr(-kInf), "-INF"),
      ROW(FloatToStrF(1234.5678, ffFixed, 15, 2), "1234.57"),
      ROW(FloatToStrF(1234.5678, ffNumber, 15, 2), "1,234.57"),
      ROW(FloatToStrF(1234.5678, ffCurrency, 15, 2), "$1,234.57"),
      ROW(FloatToStrF(-1234.5678, ffCurrency, 15, 0), "($1,235)"),
      ROW(FloatToStrF(1234.5678, ffExponent, 4, 2), "1.235E+03"),
      ROW(FloatToStrF(1234.5678, ffExponent, 1, 0), "1E+3"),
      ROW(FloatToStrF(0.0, ffExponent, 3, 2), "0.00E+00"),
      ROW(FloatToStrF(1234.5678, ffGeneral, 4, 0), "1235"),
      ROW(FloatToStrF(1234.5678, ffGeneral, 3, 0), "1.23E3"),
      ROW(FloatToStrF(1234.5678, ffGeneral, 3, 2), "1.23E03"),
      ROW(FloatToStrF(3.14159, ffFixed, 3, 5), "3.14000"),  // precision limits the digits
      ROW(FloatToStrF(1e20, ffFixed, 15, 2), "1E20"),
      ROW(FloatToStrF(999.999, ffNumber, 15, 2), "1,000.00"),
      ROW(FloatToStrF(1.5, ffFixed, 15, 0), "2"),
      ROW(FloatToStrF(-0.4, ffFixed, 15, 0), "0"),
      ROW(FloatToStrF(1.5, ffFixed, 15, 40, fs), "1.500000000000000000"),  // at most 18 decimals
  });
}

TEST(FloatToStrTest, CommaLocales) {
  Check({
      ROW(FloatToStr(1.5, De()), "1,5"),
      ROW(FloatToStr(1.5e-7, De()), "1,5E-7"),
      ROW(FloatToStrF(-1234567.5, ffNumber, 15, 1, De()), "-1.234.567,5"),
      ROW(FloatToStrF(-5, ffCurrency, 15, 2, De()), QString::fromUtf8("-5,00 €")),
      ROW(FloatToStrF(5, ffCurrency, 15, 2, Fr()), QString::fromUtf8("5,00 €")),
  });
}

TEST(FormatFloatTest, PicturesInADotLocale) {
  Check({
      ROW(FormatFloat("0.00", 2.675), "2.68"),
      ROW(FormatFloat("0.00", 1.005), "1.01"),
      ROW(FormatFloat("#,##0.00", 1234567.891), "1,234,567.89"),
      ROW(FormatFloat("#,##0.00", -1234.5), "-1,234.50"),
      ROW(FormatFloat("#,##0", 5), "5"),
      ROW(FormatFloat("0,000", 5), "0,005"),
      ROW(FormatFloat("0", 0.5), "1"),
      ROW(FormatFloat("0", -0.4), "0"),
      ROW(FormatFloat("#.##", 5), "5"),
      ROW(FormatFloat("#.##", 0.5), ".5"),
      ROW(FormatFloat("0.##", 0.5), "0.5"),
      ROW(FormatFloat("0.0#", 1.5), "1.5"),
      ROW(FormatFloat("0.0#", 1.234), "1.23"),
      ROW(FormatFloat("#", 0), ""),
      ROW(FormatFloat("000", 7), "007"),
      ROW(FormatFloat("00", 12345), "12345"),
      ROW(FormatFloat("0.00.0", 1.5), "1.500"),  // later points are ignored
      ROW(FormatFloat("0.00;(0.00)", -1.5), "(1.50)"),
      ROW(FormatFloat("0.00;(0.00);\"zero\"", 0), "zero"),
      ROW(FormatFloat("0.00;(0.00);\"zero\"", -0.001), "zero"),
      ROW(FormatFloat("0.00;(0.00)", -0.001), "0.00"),
      ROW(FormatFloat("0.00;;\"zero\"", -1.5), "-1.50"),  // empty section: the positive one
      ROW(FormatFloat("0.00E+00", 12345), "1.23E+04"),
      ROW(FormatFloat("0.00E-00", 12345), "1.23E04"),
      ROW(FormatFloat("0.00e-00", 0.00012345), "1.23e-04"),
      ROW(FormatFloat("0.00E+00", 0), "0.00E+00"),
      ROW(FormatFloat("##0.0E+0", 12345), "123.5E+2"),
      ROW(FormatFloat("0.0E+0", -0.5), "-5.0E-1"),
      ROW(FormatFloat("\"$\"#,##0.00", -5), "-$5.00"),
      ROW(FormatFloat("0.00 'EUR'", 5), "5.00 EUR"),
      ROW(FormatFloat("\"a;b\"0", 5), "a;b5"),
      ROW(FormatFloat("(000) 000-0000", 5551234567.0), "(555) 123-4567"),
      ROW(FormatFloat("0000-000", 1234567), "1234-567"),
      ROW(FormatFloat("x", -5), "-x"),  // text alone shows no digits
      ROW(FormatFloat("0.00;\"neg\"", -5), "neg"),
      ROW(FormatFloat("", 1.5), "1.5"),
      ROW(FormatFloat("0.00", 1e20), "1E20"),
      ROW(FormatFloat("0.00", kNaN), "NAN"),
  });
}

TEST(FormatFloatTest, PicturesInCommaLocales) {
  Check({
      ROW(FormatFloat("#,##0.00", 1234567.891, De()), "1.234.567,89"),
      ROW(FormatFloat("0.00E+00", 12345, De()), "1,23E+04"),
      ROW(FormatFloat("#,##0.00", 1234.5, Fr()), QString::fromUtf8("1\u202F234,50")),
  });
}
