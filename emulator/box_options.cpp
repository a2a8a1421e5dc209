#include "emulator/box_options.h"

#include <charconv>
#include <functional>
#include <map>

namespace pelmora::emulator {

namespace {

bool ParseNumber(const std::string& text, int& out) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, out);
    return ec == std::errc() && ptr == end && out >= 0;
}

using ValueSetter = std::function<bool(BoxOptions&, const std::string&)>;

ValueSetter Number(int BoxOptions::*field) {
    return [field](BoxOptions& o, const std::string& v) { return ParseNumber(v, o.*field); };
}

const std::map<std::string, ValueSetter>& ValueOptions() {
    static const std::map<std::string, ValueSetter> options = {
        {"--link", [](BoxOptions& o, const std::string& v) { return !(o.LinkPath = v).empty(); }},
        {"--log", [](BoxOptions& o, const std::string& v) { return !(o.LogPath = v).empty(); }},
        {"--model",
         [](BoxOptions& o, const std::string& v) { return ParseNumber(v, o.Identity.Model); }},
        {"--output-mode",
         [](BoxOptions& o, const std::string& v) { return ParseNumber(v, o.Identity.OutputMode); }},
        {"--silent-after", Number(&BoxOptions::SilentAfter)},
        {"--reply-delay", Number(&BoxOptions::ReplyDelayMs)},
        {"--hangup-after", Number(&BoxOptions::HangupAfter)},
        {"--corrupt-store", Number(&BoxOptions::CorruptStore)},
    };
    return options;
}

const std::map<std::string, bool BoxOptions::*>& FlagOptions() {
    static const std::map<std::string, bool BoxOptions::*> flags = {
        {"--split-replies", &BoxOptions::SplitReplies},
        {"--garbage-replies", &BoxOptions::GarbageReplies},
    };
    return flags;
}

} // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
    ParsedCommandLine parsed;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--help" || name == "-h") {
            parsed.Help = true;
            return parsed;
        }
        if (auto flag = FlagOptions().find(name); flag != FlagOptions().end()) {
            parsed.Options.*(flag->second) = true;
            continue;
        }
        auto option = ValueOptions().find(name);
        if (option == ValueOptions().end()) {
            parsed.Error = "unknown option " + name;
            return parsed;
        }
        if (i + 1 >= arguments.size() || !option->second(parsed.Options, arguments[i + 1])) {
            parsed.Error = "bad value for " + name;
            return parsed;
        }
        ++i;
    }
    if (parsed.Options.LinkPath.empty())
        parsed.Error = "--link is required";
    return parsed;
}

} // namespace pelmora::emulator
