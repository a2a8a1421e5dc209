#include "emulator/box_state.h"
#include "emulator/frame_assembler.h"

#include <gtest/gtest.h>

namespace pelmora::emulator {
namespace {

std::string Value(const std::optional<std::string>& reply) {
    return reply ? reply->substr(6, 4) : "none";
}

TEST(BoxState, AnswersIdentityQueries) {
    BoxState box({105, 6});
    EXPECT_EQ(box.Answer("S00MDNR001"), "S00MDN0105\r\n");
    EXPECT_EQ(Value(box.Answer("S00OPMR000")), "0006");
}

TEST(BoxState, CornerSetsAreStoredPerSlotAndOutput) {
    BoxState box;
    EXPECT_EQ(box.Answer("S00XAA0960"), "S00XAA0960\r\n");
    EXPECT_EQ(Value(box.Answer("S00XAAR000")), "0960");
    EXPECT_EQ(Value(box.Answer("S00XBAR000")), "0000"); // another slot
    EXPECT_EQ(Value(box.Answer("S00UCDR000")), "1920"); // TV4 top-right X of slot 3
    box.Answer("S00VJD1079");
    EXPECT_EQ(box.Memory.Slots[9].Corners[15], 1079);
}

TEST(BoxState, WarpAndLoopValues) {
    BoxState box;
    box.Answer("S00VPC+075");
    EXPECT_EQ(box.Memory.Slots[2].Warp[3], 75);
    EXPECT_EQ(Value(box.Answer("S00VPCR075")), "0075");
    EXPECT_EQ(Value(box.Answer("S00HRCR000")), "0100");
    box.Answer("S00MLR+00:");
    EXPECT_EQ(box.Memory.LoopRange, 10);
    box.Answer("S00MLT+600");
    EXPECT_EQ(Value(box.Answer("S00MLTR000")), "0600");
}

TEST(BoxState, ProfilesCopyTheWholeMemory) {
    BoxState box;
    box.Answer("S00XAA0100");
    box.Answer("S00PFX+004"); // save into profile 5
    box.Answer("S00XAA0200");
    EXPECT_EQ(Value(box.Answer("S00XAAR000")), "0200");
    box.Answer("S00PFL+004");
    EXPECT_EQ(Value(box.Answer("S00XAAR000")), "0100");
}

TEST(BoxState, MalformedFramesChangeNothing) {
    BoxState box;
    EXPECT_FALSE(box.Answer("garbage!!!"));
    EXPECT_FALSE(box.Answer("S0"));
    EXPECT_TRUE(box.Answer("S00XAA09x0")); // answered, not stored
    EXPECT_EQ(box.Memory.Slots[0].Corners[0], 0);
    EXPECT_EQ(Value(box.Answer("S00QQQ1234")), "0000");
    EXPECT_EQ(Value(box.Answer("S00XKA0960")), "0000"); // no slot K
    box.Answer("S00XAA0100");
    box.Answer("S00PFX+005"); // no profile 6
    box.Answer("S00XAA0200");
    box.Answer("S00PFL+005");
    EXPECT_EQ(box.Memory.Slots[0].Corners[0], 200);
}

TEST(FrameAssembler, CutsFramesAtCrLfAcrossPieces) {
    FrameAssembler a;
    a.Feed("S00XA", 5);
    EXPECT_FALSE(a.Next());
    a.Feed("A0001\r\nS00MDNR001\r\n", 19);
    EXPECT_EQ(a.Next(), "S00XAA0001");
    EXPECT_EQ(a.Next(), "S00MDNR001");
    EXPECT_FALSE(a.Next());
}

TEST(FrameAssembler, ResynchronisesAfterNoise) {
    FrameAssembler a;
    a.Feed("\r\n", 2); // a lone CR LF
    EXPECT_FALSE(a.Next());
    a.Feed("S00XAA0000\r", 11); // eleven bytes, then the next frame
    a.Feed("S00XAA0042\r\n", 12);
    EXPECT_EQ(a.Next(), "S00XAA0042");
    const std::string noise(1000, 'x');
    a.Feed(noise.data(), noise.size());
    a.Feed("S00OPMR000\r\n", 12);
    EXPECT_EQ(a.Next(), "S00OPMR000");
    EXPECT_FALSE(a.Next());
}

} // namespace
} // namespace pelmora::emulator
