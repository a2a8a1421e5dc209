// The application shell: the version suffix, the standard error box's text, an error raised
// by a user's action, and the diagram window's close box.
#include "support/form_fixture.h"

#include "app/layout.h"
#include "app/version_info.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace pelmora::testing {
namespace {

std::string Bytes(const VersionRecord& record) {
    return std::string(reinterpret_cast<const char*>(&record), sizeof record);
}

TEST(VersionSuffix, IsFormedFromTheFileVersionWithOnePoint) {
    EXPECT_EQ(BuildVersionSuffix(Bytes(MakeVersionRecord(1, 0, 2, 6))), u"  V1.026");
    EXPECT_EQ(BuildVersionSuffix(Bytes(MakeVersionRecord(2, 10, 3, 15))), u"  V2.10315");
    EXPECT_EQ(BuildVersionSuffix(Bytes(MakeVersionRecord(65535, 0, 0, 65535))),
              u"  V65535.0065535");
}

TEST(VersionSuffix, IsEmptyWithoutARecordAndBareWithoutAFixedPart) {
    EXPECT_EQ(BuildVersionSuffix(std::nullopt), u"");
    EXPECT_EQ(BuildVersionSuffix(std::string()), u"  V");

    VersionRecord noFixed = MakeVersionRecord(1, 0, 2, 6);
    noFixed.FixedSize = 0;
    EXPECT_EQ(BuildVersionSuffix(Bytes(noFixed)), u"  V");

    VersionRecord badSignature = MakeVersionRecord(1, 0, 2, 6);
    badSignature.Fixed.Signature ^= 1;
    EXPECT_EQ(BuildVersionSuffix(Bytes(badSignature)), u"  V");

    VersionRecord badKey = MakeVersionRecord(1, 0, 2, 6);
    badKey.Key[0] = 'X';
    EXPECT_EQ(BuildVersionSuffix(Bytes(badKey)), u"  V");

    const std::string whole = Bytes(MakeVersionRecord(1, 0, 2, 6));
    EXPECT_EQ(BuildVersionSuffix(whole.substr(0, whole.size() - 1)), u"  V") << "cut short";
}

TEST(VersionSuffix, TheBuildEmbedsTheProjectVersion) {
    const std::optional<std::string_view> record = EmbeddedVersionRecord();
    ASSERT_TRUE(record.has_value());
    EXPECT_EQ(BuildVersionSuffix(record), u"" PELMORA_TEST_VERSION_SUFFIX);
}

TEST(ErrorBox, AppendsAFullStopOnlyAfterCharactersAboveIt) {
    EXPECT_EQ(ErrorBoxText(u"Cannot open file"), u"Cannot open file.");
    EXPECT_EQ(ErrorBoxText(u"Error: 5"), u"Error: 5.");
    EXPECT_EQ(ErrorBoxText(u"Done."), u"Done.");
    EXPECT_EQ(ErrorBoxText(u"Stop!"), u"Stop!");
    EXPECT_EQ(ErrorBoxText(u"(Error: 2)"), u"(Error: 2)");
    EXPECT_EQ(ErrorBoxText(u"a-"), u"a-");
    EXPECT_EQ(ErrorBoxText(u"path/"), u"path/.");
    EXPECT_EQ(ErrorBoxText(u"Fehler \u00fc"), u"Fehler \u00fc.");
    EXPECT_EQ(ErrorBoxText(u""), u"");
}

TEST(ShellErrors, AFailedActionIsShownOnceAndTheProgramGoesOn) {
    TempFolder folder;
    StartedForm fixture;
    TForm1& form = fixture.Start(folder.Path());
    int after = 0;
    // A nested handler fails: the outer handler stops at its setter, as one action.
    form.Bars[WRHIndex]->OnChange = [&] {
        form.Bars[WRVIndex]->SetPosition(form.Bars[WRHIndex]->Position());
        ++after;
    };
    form.Bars[WRVIndex]->OnChange = [] { throw std::runtime_error("Port Not Open"); };
    form.RunGuarded([&] { form.Bars[WRHIndex]->UserStep(ScrollBar::Step::Right); });
    EXPECT_EQ(fixture.Boxes.Errors, std::vector<std::u16string>{u"Port Not Open."});
    EXPECT_EQ(after, 0);
    form.RunGuarded([] { throw 42; });
    EXPECT_EQ(fixture.Boxes.Errors.size(), 2u) << "an error of another kind is shown too";
}

TEST(DiagramWindow, ClosingItUnticksDiagramAndOnlyHidesIt) {
    TempFolder folder;
    StartedForm fixture;
    TForm1& form = fixture.Start(folder.Path());
    form.ImgOn->UserClick();
    ASSERT_TRUE(fixture.Diagram.Shown);
    EXPECT_EQ(fixture.Diagram.Draws, 1);
    form.DiagramClosed();
    EXPECT_FALSE(form.ImgOn->Checked());
    EXPECT_FALSE(fixture.Diagram.Shown);
    form.Bars[0]->SetPosition(5);
    EXPECT_EQ(fixture.Diagram.Draws, 1) << "a hidden diagram is not drawn";
}

// The diagram window's tabled place on a 1920 x 1080 work area, a 1280 x 720 one, a second
// monitor to the left, and one smaller than the window.
TEST(WindowPlacement, StaysWhereItIsWhenInsideElseMovesJustInside) {
    const Rect diagram{1292, 79, 502, 316};
    const struct {
        Rect area;
        int left, top;
    } cases[] = {
        {{0, 0, 1920, 1040}, 1292, 79},
        {{0, 0, 1280, 680}, 778, 79},
        {{-1280, 40, 1280, 680}, -502, 79},
        {{0, 100, 400, 200}, 0, 100},
    };
    for (const auto& c : cases) {
        const Rect at = PlacedInside(diagram, c.area);
        EXPECT_EQ(at.Left, c.left) << c.area.Left;
        EXPECT_EQ(at.Top, c.top) << c.area.Left;
        EXPECT_EQ(at.Width, diagram.Width);
    }
}

} // namespace
} // namespace pelmora::testing
