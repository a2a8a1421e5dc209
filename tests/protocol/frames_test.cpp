#include "protocol/frames.h"

#include "editor/parameters.h"

#include <gtest/gtest.h>

namespace pelmora {
namespace {

std::string Text(const Frame& frame) {
    return FrameText(frame);
}

TEST(FrameBuffers, StartWithTheirTextsAndCrLf) {
    FrameBuffers f;
    EXPECT_EQ(Text(f.MmbOnFrame), "S00MMB+001");
    EXPECT_EQ(Text(f.MmbOffFrame), "S00MMB+000");
    EXPECT_EQ(Text(f.CornerFrame), "S00XAA0000");
    EXPECT_EQ(Text(f.WarpFrame), "S00HRAR000");
    EXPECT_EQ(Text(f.ProfileFrame), "S00PFL+000");
    EXPECT_EQ(Text(f.LoopFrame), "S00MLR+000");
    EXPECT_EQ(Text(f.ModelQueryFrame), "S00MDNR001");
    EXPECT_EQ(Text(f.OutputModeQueryFrame), "S00OPMR000");
    for (const Frame* frame : {&f.MmbOnFrame, &f.CornerFrame, &f.OutputModeQueryFrame}) {
        EXPECT_EQ((*frame)[10], '\r');
        EXPECT_EQ((*frame)[11], '\n');
    }
}

struct EncodingCase {
    int value;
    const char* digits;
};

TEST(Encodings, FourDigitsAtEveryBoundary) {
    for (auto [value, digits] : {EncodingCase{0, "0000"},
                                 {5, "0005"},
                                 {999, "0999"},
                                 {1000, "1000"},
                                 {1920, "1920"},
                                 {1999, "1999"}}) {
        std::uint8_t out[4];
        EncodeFourDigits(value, out);
        EXPECT_EQ(std::string(out, out + 4), digits) << value;
    }
}

TEST(Encodings, ThreeDigitsAndLoopRange) {
    for (auto [value, digits] : {EncodingCase{0, "000"},
                                 {25, "025"},
                                 {50, "050"},
                                 {100, "100"},
                                 {200, "200"},
                                 {600, "600"}}) {
        std::uint8_t out[3];
        EncodeThreeDigits(value, out);
        EXPECT_EQ(std::string(out, out + 3), digits) << value;
    }
    for (auto [value, digits] : {EncodingCase{0, "000"}, {9, "009"}, {10, "00:"}}) {
        std::uint8_t out[3];
        EncodeLoopRange(value, out);
        EXPECT_EQ(std::string(out, out + 3), digits) << value;
    }
}

TEST(ReplyValue, DecodesWithAndWithoutThousands) {
    const std::uint8_t corner[] = "S00XAA1920\r\n";
    EXPECT_EQ(ReplyValue(corner, true), 1920);
    EXPECT_EQ(ReplyValue(corner, false), 920);
    const std::uint8_t warp[] = "S00HRAx125\r\n";
    EXPECT_EQ(ReplyValue(warp, false), 125);
    const std::uint8_t colon[] = "S00MLR+00:\r\n";
    EXPECT_EQ(ReplyValue(colon, false), 10);
    // Bytes are not validated: each counts as its code minus '0'.
    const std::uint8_t garbage[] = "S00XAA?Z#/\r\n";
    EXPECT_EQ(ReplyValue(garbage, true),
              ('?' - 48) * 1000 + ('Z' - 48) * 100 + ('#' - 48) * 10 + ('/' - 48));
}

TEST(SetFrames, CarryTheirLettersAndValues) {
    FrameBuffers f;
    EXPECT_EQ(Text(f.CornerSet('X', 'B', 960)), "S00XAB0960");
    EXPECT_EQ(Text(f.WarpSet('H', 'P', 50)), "S00HPA+050");
    EXPECT_EQ(Text(f.WarpSet('H', 'R', 25)), "S00HRA+025");
    EXPECT_EQ(Text(f.LoopTimeSet(600)), "S00MLT+600");
    EXPECT_EQ(Text(f.LoopTimeSet(0)), "S00MLT+000");
    EXPECT_EQ(Text(f.LoopRangeSet(10)), "S00MLR+00:");
    f.SelectProfile(3);
    EXPECT_EQ(Text(f.Profile(ProfileAction::Save)), "S00PFX+003");
}

TEST(SetFrames, ParameterTableGivesTheFrameOfEachParameter) {
    FrameBuffers f;
    const char* expected[ParameterCount] = {
        "S00XAA0007", "S00YAA0007", "S00UAA0007", "S00VAA0007", "S00XAB0007", "S00YAB0007",
        "S00UAB0007", "S00VAB0007", "S00XAC0007", "S00YAC0007", "S00UAC0007", "S00VAC0007",
        "S00XAD0007", "S00YAD0007", "S00UAD0007", "S00VAD0007", "S00HRA+007", "S00VRA+007",
        "S00HPA+007", "S00VPA+007", "S00MLR+007", "S00MLT+007"};
    for (int i = 0; i < ParameterCount; ++i)
        EXPECT_EQ(Text(f.ParameterSet(i, 7)), expected[i]) << Parameters[i].barName;
}

TEST(Queries, WarpQueryKeepsTheDigitsOfTheLastWarpSet) {
    FrameBuffers f;
    EXPECT_EQ(Text(f.WarpQuery('H', 'R')), "S00HRAR000");
    f.WarpSet('V', 'R', 150);
    EXPECT_EQ(Text(f.WarpQuery('H', 'P')), "S00HPAR150");
}

TEST(Queries, CornerAndLoopQueriesAlwaysCarryR000) {
    FrameBuffers f;
    f.CornerSet('V', 'D', 1234);
    EXPECT_EQ(Text(f.FirstCornerQuery()), "S00XAAR000");
    EXPECT_EQ(Text(f.CornerQuery('V', 'D')), "S00VADR000");
    f.LoopTimeSet(600);
    EXPECT_EQ(Text(f.LoopQuery('R')), "S00MLRR000");
    EXPECT_EQ(Text(f.LoopQuery('T')), "S00MLTR000");
}

TEST(Selection, SlotLetterReachesCornerAndWarpFramesOnly) {
    FrameBuffers f;
    f.SelectSlot(9); // "Index 10"
    EXPECT_EQ(Text(f.CornerSet('X', 'A', 1)), "S00XJA0001");
    EXPECT_EQ(Text(f.WarpSet('H', 'R', 100)), "S00HRJ+100");
    EXPECT_EQ(Text(f.LoopRangeSet(3)), "S00MLR+003");
    f.SelectSlot(2);                                        // "Index 3"
    EXPECT_EQ(Text(f.CornerQuery('V', 'D')), "S00VCD0001"); // 6..9 persist from the last set
}

TEST(Selection, ProfileDigitPersistsAcrossActions) {
    FrameBuffers f;
    EXPECT_EQ(Text(f.Profile(ProfileAction::Load)), "S00PFL+000");
    f.SelectProfile(4); // profile "5"
    EXPECT_EQ(Text(f.Profile(ProfileAction::Save)), "S00PFX+004");
    EXPECT_EQ(Text(f.Profile(ProfileAction::Load)), "S00PFL+004");
}

TEST(Selection, MmbAndIdentityFramesNeverChange) {
    FrameBuffers f;
    f.SelectSlot(5);
    f.SelectProfile(2);
    for (int i = 0; i < ParameterCount; ++i)
        f.ParameterSet(i, 1);
    EXPECT_EQ(Text(f.MmbOnFrame), "S00MMB+001");
    EXPECT_EQ(Text(f.MmbOffFrame), "S00MMB+000");
    EXPECT_EQ(Text(f.ModelQueryFrame), "S00MDNR001");
    EXPECT_EQ(Text(f.OutputModeQueryFrame), "S00OPMR000");
}

} // namespace
} // namespace pelmora
