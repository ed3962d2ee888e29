#include "app/Numeric.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

#include <cmath>

namespace qz::test {
namespace {

struct NumericCase {
    std::u16string text;
    std::optional<double> value; // nothing: not numeric
};

class NumericText : public testing::TestWithParam<NumericCase> {};

TEST_P(NumericText, IsNumericExactlyWhenItReadsAsADecimalNumber) {
    const NumericCase& c = GetParam();
    EXPECT_EQ(numericValue(c.text), c.value) << utf8(c.text);
}

INSTANTIATE_TEST_SUITE_P(Texts, NumericText,
    testing::Values(NumericCase { u"1024", 1024 }, NumericCase { u"+7", 7 }, NumericCase { u"-3.7", -3.7 },
        NumericCase { u"1024.9", 1024.9 }, NumericCase { u".5", 0.5 }, NumericCase { u"5.", 5 },
        NumericCase { u"1e3", 1000 }, NumericCase { u"1E+3", 1000 }, NumericCase { u"25e-1", 2.5 },
        NumericCase { u" \t42 \t", 42 }, NumericCase { u"1e-400", 0 }, NumericCase { u"", std::nullopt },
        NumericCase { u" ", std::nullopt }, NumericCase { u".", std::nullopt },
        NumericCase { u"+", std::nullopt }, NumericCase { u"e3", std::nullopt },
        NumericCase { u"1e", std::nullopt }, NumericCase { u"1e+", std::nullopt },
        NumericCase { u"0x400", std::nullopt }, NumericCase { u"&H400", std::nullopt },
        NumericCase { u"1,024", std::nullopt }, NumericCase { u"$5", std::nullopt },
        NumericCase { u"¥5", std::nullopt }, NumericCase { u"Infinity", std::nullopt },
        NumericCase { u"NaN", std::nullopt }, NumericCase { u"inf", std::nullopt },
        NumericCase { u"1 024", std::nullopt }, NumericCase { u"--1", std::nullopt },
        NumericCase { u"1.2.3", std::nullopt }, NumericCase { u"１２", std::nullopt },
        NumericCase { u"12\n", std::nullopt }, NumericCase { u"abc", std::nullopt },
        NumericCase { u"768 QZ", std::nullopt }));

TEST(NumericText, TooLargeForADoubleOverflows) {
    EXPECT_THROW(numericValue(u"1e400"), OverflowError);
    EXPECT_THROW(numericValue(u"-1e309"), OverflowError);
    EXPECT_EQ(numericValue(u"1e308"), 1e308);
}

TEST(FC_CLng, TruncatesTowardZeroAndGivesZeroForOtherText) {
    FakePlatform platform;
    Form1 form(platform.parts());
    EXPECT_EQ(form.FC_CLng(u"1024.9"), Variant { 1024.0 });
    EXPECT_EQ(form.FC_CLng(u"-3.7"), Variant { -3.0 });
    EXPECT_EQ(form.FC_CLng(u"abc"), Variant { std::int16_t { 0 } });
    EXPECT_EQ(form.FC_CLng(u""), Variant { std::int16_t { 0 } });
    EXPECT_TRUE(platform.log.entries.empty()); // a pure conversion: no platform call
}

TEST(CInt, ConvertsWithinSixteenBitsAndOverflowsOutside) {
    EXPECT_EQ(CInt(Variant { 32767.0 }), 32767);
    EXPECT_EQ(CInt(Variant { -32768.0 }), -32768);
    EXPECT_THROW(CInt(Variant { 32768.0 }), OverflowError);
    EXPECT_THROW(CInt(Variant { -32769.0 }), OverflowError);
    EXPECT_THROW(CInt(Variant { std::nan("") }), OverflowError);
    EXPECT_EQ(CInt(Variant { std::int16_t { 0 } }), 0);
}

} // namespace
} // namespace qz::test
