#include "cli/command_line.h"

#include "protocol/frames.h"

#include <array>
#include <charconv>
#include <string_view>

namespace pelmora::cli {

namespace {

enum Option : unsigned {
    PortOption = 1,
    SlotOption = 2,
    OutputOption = 4,
    VerifyOption = 8,
    DirOption = 16,
    ProfileOption = 32,
};

struct CommandRow {
    std::string_view name;
    Command command;
    int files;         // file operands it takes
    unsigned required; // options it needs
    unsigned allowed;  // options it takes besides those
    std::string_view usage;
};

constexpr std::array<CommandRow, 11> Commands = {{
    {"ports", Command::Ports, 0, 0, 0, "ports"},
    {"identify", Command::Identify, 0, PortOption, 0, "identify --port P"},
    {"read", Command::Read, 0, PortOption | SlotOption, OutputOption,
     "read --port P --slot N [-o FILE.PMX]"},
    {"write", Command::Write, 1, PortOption | SlotOption, VerifyOption,
     "write --port P --slot N FILE.PMX [--verify]"},
    {"reset", Command::Reset, 0, PortOption | SlotOption, 0, "reset --port P --slot N"},
    {"backup", Command::Backup, 0, PortOption | DirOption, 0, "backup --port P --dir D"},
    {"restore", Command::Restore, 0, PortOption | DirOption, VerifyOption,
     "restore --port P --dir D [--verify]"},
    {"profile load", Command::ProfileLoad, 0, PortOption | ProfileOption, 0,
     "profile load --port P --profile N"},
    {"profile save", Command::ProfileSave, 0, PortOption | ProfileOption, 0,
     "profile save --port P --profile N"},
    {"show", Command::Show, 1, 0, 0, "show FILE.PMX"},
    {"diff", Command::Diff, 2, 0, 0, "diff A.PMX B.PMX"},
}};

struct OptionRow {
    std::string_view name;
    Option option;
    bool takesValue;
};

constexpr std::array<OptionRow, 6> Options = {{
    {"--port", PortOption, true},
    {"--slot", SlotOption, true},
    {"-o", OutputOption, true},
    {"--verify", VerifyOption, false},
    {"--dir", DirOption, true},
    {"--profile", ProfileOption, true},
}};

constexpr std::string_view GeneralUsage =
    "usage: pelmora-cli [--json] COMMAND (pelmora-cli --help lists the commands)";

// The name of the first option among `options`.
std::string OptionName(unsigned options) {
    for (const OptionRow& row : Options)
        if (options & row.option)
            return std::string(row.name);
    return "";
}

std::string FileCountText(int files) {
    constexpr std::array<std::string_view, 3> Counts = {"no file", "one file", "two files"};
    return std::string(Counts[std::size_t(files)]);
}

const CommandRow* FindCommand(std::string_view name) {
    for (const CommandRow& row : Commands)
        if (row.name == name)
            return &row;
    return nullptr;
}

const OptionRow* FindOption(std::string_view name) {
    for (const OptionRow& row : Options)
        if (row.name == name)
            return &row;
    return nullptr;
}

std::optional<int> NumberIn(const std::string& text, int first, int last) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < first || value > last)
        return std::nullopt;
    return value;
}

// Stores one option (with its value, if it takes one); an error text when the value is bad.
std::string TakeValue(Invocation& invocation, Option option, const std::string& value) {
    switch (option) {
    case PortOption:
        invocation.Ports.push_back(value);
        return "";
    case SlotOption:
        invocation.Slot = NumberIn(value, 1, SlotCount).value_or(0);
        return invocation.Slot ? "" : "--slot takes 1 to 10";
    case ProfileOption:
        invocation.Profile = NumberIn(value, 1, ProfileCount).value_or(0);
        return invocation.Profile ? "" : "--profile takes 1 to 5";
    case OutputOption:
        invocation.OutputFile = value;
        return "";
    case DirOption:
        invocation.Dir = value;
        return "";
    case VerifyOption:
        invocation.Verify = true;
        return "";
    }
    return "";
}

class Parser {
  public:
    explicit Parser(const std::vector<std::string>& arguments) : arguments_(arguments) {}

    // Reads every argument, so that the command is known for the usage line even when an
    // option before it is wrong; the first error found is the one reported.
    ParsedInvocation Parse() {
        std::vector<std::string> words;
        for (std::size_t i = 0; i < arguments_.size(); ++i)
            TakeArgument(i, words);
        if (!done_)
            TakeWords(words);
        const std::string usage =
            row_ ? "usage: pelmora-cli " + std::string(row_->usage) : std::string(GeneralUsage);
        return {invocation_, error_, error_.empty() ? "" : usage};
    }

  private:
    void TakeArgument(std::size_t& i, std::vector<std::string>& words) {
        const std::string& argument = arguments_[i];
        if (argument == "--help" || argument == "-h") {
            Finish(Command::Help);
        } else if (argument == "--version") {
            Finish(Command::Version);
        } else if (argument == "--json") {
            invocation_.Json = true;
        } else if (const OptionRow* row = FindOption(argument)) {
            if (row->takesValue && i + 1 >= arguments_.size()) {
                Fail(argument + " needs a value");
                return;
            }
            Fail(TakeValue(invocation_, row->option, row->takesValue ? arguments_[++i] : ""));
            given_ |= row->option;
        } else if (argument.size() > 1 && argument[0] == '-') {
            Fail("unknown option " + argument);
        } else {
            words.push_back(argument);
        }
    }

    void Fail(const std::string& error) {
        if (error_.empty())
            error_ = error;
    }

    void Finish(Command command) {
        if (!done_)
            invocation_.Action = command;
        done_ = true;
    }

    void TakeWords(std::vector<std::string>& words) {
        if (words.empty()) {
            Fail("no command given");
            return;
        }
        std::string name = words.front();
        words.erase(words.begin());
        if (name == "profile" && !words.empty()) {
            name += " " + words.front();
            words.erase(words.begin());
        }
        row_ = FindCommand(name);
        if (row_ == nullptr) {
            Fail("unknown command " + name);
            return;
        }
        invocation_.Action = row_->command;
        invocation_.Files.assign(words.begin(), words.end());
        CheckAgainst(*row_);
    }

    void CheckAgainst(const CommandRow& row) {
        const std::string name(row.name);
        const unsigned missing = row.required & ~given_;
        const unsigned extra = given_ & ~(row.required | row.allowed);
        if (int(invocation_.Files.size()) != row.files)
            Fail(name + " takes " + FileCountText(row.files) + ", " +
                 std::to_string(invocation_.Files.size()) + " given");
        else if (missing)
            Fail(name + " needs " + OptionName(missing));
        else if (extra)
            Fail(name + " does not take " + OptionName(extra));
        else if (invocation_.OutputFile && invocation_.Ports.size() > 1)
            Fail("-o takes one --port");
    }

    const std::vector<std::string>& arguments_;
    Invocation invocation_;
    std::string error_;
    unsigned given_ = 0;
    bool done_ = false;
    const CommandRow* row_ = nullptr;
};

} // namespace

ParsedInvocation ParseInvocation(const std::vector<std::string>& arguments) {
    return Parser(arguments).Parse();
}

std::string UsageText() {
    std::string text = "usage: pelmora-cli [--json] COMMAND\n"
                       "       pelmora-cli --help | --version\n"
                       "commands:\n";
    for (const CommandRow& row : Commands)
        text += "  " + std::string(row.usage) + "\n";
    text += "--port may be given several times: the boxes are served in parallel.\n"
            "Exit status: 0 success, 1 a box or a file failed, 2 usage error.\n";
    return text;
}

} // namespace pelmora::cli
