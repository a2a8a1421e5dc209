#include "storage/text_encoding.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<std::uint8_t> bytes;
    for (const int value : values) {
        bytes.push_back(static_cast<std::uint8_t>(value));
    }
    return bytes;
}

TEST(DecodeText, RecognisesEachEncodingByItsMarkOrItsValidity) {
    struct Case {
        std::vector<std::uint8_t> Bytes;
        std::u16string Text;
        TextEncoding Encoding;
    };
    const std::vector<Case> cases = {
        {Bytes({0xFF, 0xFE, 'a', 0, 0x3A, 0x04}), u"a\u043A", TextEncoding::Utf16Le},
        {Bytes({0xFF, 0xFE, 'a', 0, 'b'}), u"a", TextEncoding::Utf16Le}, // odd final byte
        {Bytes({0xFF, 0xFE}), u"", TextEncoding::Utf16Le},
        {Bytes({0xEF, 0xBB, 0xBF, 0xC3, 0xA9}), u"\u00E9", TextEncoding::Utf8WithBom},
        {Bytes({0xC3, 0xA9, 0xF0, 0x9F, 0x98, 0x80}), u"\u00E9\U0001F600", TextEncoding::Utf8},
        {Bytes({}), u"", TextEncoding::Utf8},
        {Bytes({'a', 0, 'b'}), std::u16string(u"a\0b", 3), TextEncoding::Utf8},
        // One invalid byte makes the whole file 8-bit, valid sequences included.
        {Bytes({0xC3, 0xA9, 0xE9}), u"\u00C3\u00A9\u00E9", TextEncoding::Bytes8},
        // Overlong forms, encoded surrogates and values past U+10FFFF are not UTF-8.
        {Bytes({0xC0, 0xAF}), u"\u00C0\u00AF", TextEncoding::Bytes8},
        {Bytes({0xED, 0xA0, 0x80}), u"\u00ED\u00A0\u0080", TextEncoding::Bytes8},
        {Bytes({0xF4, 0x90, 0x80, 0x80}), u"\u00F4\u0090\u0080\u0080", TextEncoding::Bytes8},
        {Bytes({0xE2, 0x82}), u"\u00E2\u0082", TextEncoding::Bytes8}, // cut short at the end
        {Bytes({'a', 0x80}), u"a\u0080", TextEncoding::Bytes8},       // a stray continuation byte
        // After a UTF-8 mark, a stray byte stands for itself and the rest stays UTF-8.
        {Bytes({0xEF, 0xBB, 0xBF, 0xE9, 0xC3, 0xA9}), u"\u00E9\u00E9", TextEncoding::Utf8WithBom},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const DecodedText decoded = DecodeText(cases[i].Bytes);
        EXPECT_EQ(decoded.Text, cases[i].Text) << "case " << i;
        EXPECT_EQ(decoded.Encoding, cases[i].Encoding) << "case " << i;
    }
}

TEST(EncodeText, RoundTripsThroughEveryEncodingThatCanHoldTheText) {
    const std::u16string wide = u"[Ελληνικά]\r\nStr0=\U0001F600 ok";
    for (const auto encoding :
         {TextEncoding::Utf8, TextEncoding::Utf8WithBom, TextEncoding::Utf16Le}) {
        const DecodedText decoded = DecodeText(EncodeText(wide, encoding));
        EXPECT_EQ(decoded.Text, wide);
        EXPECT_EQ(decoded.Encoding, encoding);
    }
    const std::vector<std::uint8_t> latin =
        EncodeText(u"caf\u00E9\u00FF\u0100\u4E2D", TextEncoding::Bytes8);
    EXPECT_EQ(latin, Bytes({'c', 'a', 'f', 0xE9, 0xFF, '?', '?'}));
}

TEST(EncodeText, Utf8ReadsBackAtTheEndsOfEverySequenceLengthAndLeadByteRange) {
    const std::u16string ends =
        u"\u007F\u0080\u07FF\u0800\u0FFF\u1000\uCFFF\uD000\uD7FF\uE000"
        u"\uFFFF\U00010000\U0003FFFF\U00040000\U000FFFFF\U00100000\U0010FFFF";
    const DecodedText decoded = DecodeText(EncodeText(ends, TextEncoding::Utf8));
    EXPECT_EQ(decoded.Text, ends);
    EXPECT_EQ(decoded.Encoding, TextEncoding::Utf8);
}

TEST(EncodeText, KeepsLoneSurrogatesOnlyInUtf16) {
    const std::u16string lone = {u'a', char16_t(0xD800), u'b'};
    EXPECT_EQ(EncodeText(lone, TextEncoding::Utf8), Bytes({'a', 0xEF, 0xBF, 0xBD, 'b'}));
    EXPECT_EQ(DecodeText(EncodeText(lone, TextEncoding::Utf16Le)).Text, lone);
}

TEST(TruncateText, NeverSplitsASurrogatePair) {
    const std::u16string text = u"ab\U0001F600c";
    EXPECT_EQ(TruncateText(text, 10), text);
    EXPECT_EQ(TruncateText(text, 4), u"ab\U0001F600");
    EXPECT_EQ(TruncateText(text, 3), u"ab");
    EXPECT_EQ(TruncateText(text, 0), u"");
}

} // namespace
} // namespace pelmora
