// Saving and loading alignment files through the main window's two buttons, with real files
// in a temporary folder and the dialogs answered by a script.
#include "storage/alignment_file.h"
#include "storage/text_encoding.h"
#include "support/form_fixture.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <unistd.h>

namespace pelmora::testing {
namespace {

namespace fs = std::filesystem;

std::string Image(const PmxValues& values) {
    const PmxImage image = BuildPmxImage(values);
    return std::string(image.begin(), image.end());
}

// Distinct in-range values for every parameter, none equal to its start value.
PmxValues DistinctValues() {
    PmxValues values{};
    for (int i = 0; i < ParameterCount; ++i) {
        const ParameterInfo& info = Parameters[i];
        values[i] =
            info.startValue == info.minimum + 3 + i ? info.minimum + 4 + i : info.minimum + 3 + i;
    }
    values[LRIndex] = 7;
    return values;
}

class FilesTest : public ::testing::Test {
  protected:
    PmxValues BarValues() const {
        PmxValues values{};
        for (int i = 0; i < ParameterCount; ++i)
            values[i] = form.Bars[i]->Position();
        return values;
    }
    void SetBars(const PmxValues& values) {
        for (int i = 0; i < ParameterCount; ++i)
            form.Bars[i]->SetPosition(values[i]);
    }
    void Load(const fs::path& file) {
        fixture.Dialogs.Open = file;
        form.RunGuarded([this] { form.TntButton2->UserClick(); });
    }
    void Save(const fs::path& file) {
        fixture.Dialogs.Save = file;
        form.RunGuarded([this] { form.TntButton1->UserClick(); });
    }
    void TickShiftModes() {
        for (CheckBox* box : form.ShiftModes)
            box->UserClick();
    }
    std::vector<bool> ShiftModesTicked() const {
        std::vector<bool> ticked;
        for (CheckBox* box : form.ShiftModes)
            ticked.push_back(box->Checked());
        return ticked;
    }

    TempFolder home;
    TempFolder files;
    StartedForm fixture;
    TForm1& form = fixture.Start(home.Path());
    const PmxValues startValues = BarValues();
};

TEST_F(FilesTest, SaveWritesTheHeaderAndEveryBarPosition) {
    SetBars(DistinctValues());
    Save(files.Path() / "set.PMX");

    const std::string bytes = ReadFile(files.Path() / "set.PMX");
    ASSERT_EQ(bytes.size(), 104u);
    EXPECT_EQ(bytes.substr(0, 16), std::string("KRDPMX\0\0\1\0\0\0\0\0\0\0", 16));
    EXPECT_EQ(bytes, Image(DistinctValues()));
    EXPECT_TRUE(fixture.Boxes.Errors.empty());
}

TEST_F(FilesTest, SaveThenLoadRestoresAllValues) {
    SetBars(DistinctValues());
    Save(files.Path() / "set.PMX");
    SetBars(startValues);
    Load(files.Path() / "set.PMX");
    EXPECT_EQ(BarValues(), DistinctValues());
}

TEST_F(FilesTest, SavingReplacesAnExistingFileWithoutAsking) {
    WriteFile(files.Path() / "old.PMX", std::string(300, 'x'));
    Save(files.Path() / "old.PMX");
    EXPECT_EQ(ReadFile(files.Path() / "old.PMX"), Image(startValues));
}

TEST_F(FilesTest, AForeignHeaderAndTrailingBytesAreIgnored) {
    std::string bytes = Image(DistinctValues());
    bytes.replace(0, 16, "not a pmx file!!");
    bytes += Image(startValues); // a second image after the first 104 bytes
    WriteFile(files.Path() / "odd.PMX", bytes);
    Load(files.Path() / "odd.PMX");
    EXPECT_EQ(BarValues(), DistinctValues());
}

TEST_F(FilesTest, ValuesOutOfRangeAreClampedByTheBars) {
    PmxValues values = startValues;
    values[0] = 5000;         // TLX1 above MaxX
    values[WRHIndex] = 0;     // below the warp ratio's minimum
    values[LTIndex] = -70000; // below loop time's minimum
    values[LRIndex] = INT32_MAX;
    WriteFile(files.Path() / "wide.PMX", Image(values));
    Load(files.Path() / "wide.PMX");
    EXPECT_EQ(form.Bars[0]->Position(), 1920);
    EXPECT_EQ(form.Bars[WRHIndex]->Position(), 25);
    EXPECT_EQ(form.Bars[LTIndex]->Position(), 0);
    EXPECT_EQ(form.Bars[LRIndex]->Position(), 10);
}

// Each changed bar notifies once, in canonical order, while the bars after it still hold
// their old values; a value equal to the present one raises nothing.
TEST_F(FilesTest, LoadSetsChangedBarsOneByOneInOrder) {
    PmxValues values = startValues;
    const std::vector<int> changed = {2, 5, WRVIndex, LTIndex};
    for (int index : changed)
        values[index] = DistinctValues()[index];
    WriteFile(files.Path() / "some.PMX", Image(values));

    std::vector<std::pair<int, PmxValues>> notifications;
    for (int i = 0; i < ParameterCount; ++i)
        form.Bars[i]->OnChange = [&, i] { notifications.emplace_back(i, BarValues()); };
    Load(files.Path() / "some.PMX");

    ASSERT_EQ(notifications.size(), changed.size());
    for (std::size_t n = 0; n < changed.size(); ++n) {
        const int index = changed[n];
        EXPECT_EQ(notifications[n].first, index);
        for (int later = index + 1; later < ParameterCount; ++later)
            EXPECT_EQ(notifications[n].second[later], startValues[later]) << index << " " << later;
    }
    EXPECT_EQ(BarValues(), values);
}

// A short file gives the values it holds completely; the bars of the missing values (the
// one cut in two included) keep their positions, and no byte beyond the end is used.
TEST_F(FilesTest, AShortFileSetsOnlyTheValuesItHoldsCompletely) {
    SetBars(DistinctValues());
    const std::string bytes = Image(startValues).substr(0, 16 + 3 * 4 + 2);
    WriteFile(files.Path() / "short.PMX", bytes);
    Load(files.Path() / "short.PMX");

    PmxValues expected = DistinctValues();
    for (int i = 0; i < 3; ++i)
        expected[i] = startValues[i];
    EXPECT_EQ(BarValues(), expected);

    WriteFile(files.Path() / "empty.PMX", "");
    Load(files.Path() / "empty.PMX");
    EXPECT_EQ(BarValues(), expected);
    EXPECT_TRUE(fixture.Boxes.Errors.empty());
}

TEST_F(FilesTest, LoadUnticksTheShiftModesBeforeSettingValues) {
    TickShiftModes();
    PmxValues values = startValues;
    values[0] = 300; // TL X of TV1 moves alone: its top-right stays where the file puts it
    WriteFile(files.Path() / "shift.PMX", Image(values));
    Load(files.Path() / "shift.PMX");
    EXPECT_EQ(ShiftModesTicked(), std::vector<bool>(4, false));
    EXPECT_EQ(BarValues(), values);
    for (int output = 1; output <= OutputCount; ++output)
        EXPECT_TRUE(form.Bars[CornerIndex(output, ParamKind::TopRight, Axis::X)]->Enabled());
}

TEST_F(FilesTest, CancellingEitherDialogChangesNothing) {
    TickShiftModes();
    form.TntButton1Click();
    form.TntButton2Click();
    EXPECT_TRUE(fs::is_empty(files.Path()));
    EXPECT_EQ(ShiftModesTicked(), std::vector<bool>(4, true));
    EXPECT_EQ(BarValues(), startValues);
    EXPECT_TRUE(fixture.Boxes.Errors.empty());
}

TEST_F(FilesTest, AFileThatCannotBeOpenedIsReportedAfterTheShiftModesAreUnticked) {
    TickShiftModes();
    const fs::path missing = files.Path() / "missing.PMX";
    Load(missing);
    ASSERT_EQ(fixture.Boxes.Errors.size(), 1u);
    EXPECT_EQ(fixture.Boxes.Errors[0], Utf8ToUtf16("Cannot open file " + missing.string() + "."));
    EXPECT_EQ(ShiftModesTicked(), std::vector<bool>(4, false));
    EXPECT_EQ(BarValues(), startValues);
}

// Folder permissions do not bind root; the effective user is dropped meanwhile.
class AsUnprivilegedUser {
  public:
    AsUnprivilegedUser() : wasRoot_(::geteuid() == 0) {
        if (wasRoot_) {
            EXPECT_EQ(::seteuid(65534), 0);
        }
    }
    ~AsUnprivilegedUser() {
        if (wasRoot_) {
            EXPECT_EQ(::seteuid(0), 0);
        }
    }

  private:
    bool wasRoot_;
};

TEST_F(FilesTest, SavingIntoAReadOnlyFolderKeepsTheOldFile) {
    const fs::path target = files.Path() / "keep.PMX";
    const std::string old = Image(DistinctValues());
    WriteFile(target, old);
    fs::permissions(files.Path(), fs::perms::owner_all, fs::perm_options::remove);
    fs::permissions(files.Path(), fs::perms::others_read | fs::perms::others_exec,
                    fs::perm_options::add);
    {
        AsUnprivilegedUser user;
        Save(target);
    }
    fs::permissions(files.Path(), fs::perms::owner_all, fs::perm_options::add);

    ASSERT_EQ(fixture.Boxes.Errors.size(), 1u);
    EXPECT_EQ(fixture.Boxes.Errors[0], Utf8ToUtf16("Cannot create file " + target.string() + "."));
    EXPECT_EQ(ReadFile(target), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(files.Path()), fs::directory_iterator()), 1);
}

// Files cannot grow beyond 60 bytes meanwhile, so the image cannot be written whole.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limited = previous_;
        limited.rlim_cur = bytes;
        EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }

  private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
};

TEST_F(FilesTest, AFailedWriteIsReportedAndKeepsTheOldFile) {
    const fs::path target = files.Path() / "keep.PMX";
    const std::string old = Image(DistinctValues()).substr(0, 50);
    WriteFile(target, old);
    {
        FileSizeLimit limit(60);
        Save(target);
    }
    ASSERT_EQ(fixture.Boxes.Errors.size(), 1u);
    EXPECT_EQ(fixture.Boxes.Errors[0], u"Stream write error.");
    EXPECT_EQ(ReadFile(target), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(files.Path()), fs::directory_iterator()), 1);
}

} // namespace
} // namespace pelmora::testing
