#include "cli/output.h"

#include "app/platform.h"
#include "editor/parameters.h"
#include "storage/text_encoding.h"

#include <cstdio>

namespace pelmora::cli {

namespace {

constexpr int ProgressWidth = 20;
constexpr std::string_view ClearLine = "\r\033[K";

std::string ProgressBarText(double fraction) {
    const int filled = int(fraction * ProgressWidth + 0.5);
    return "[" + std::string(filled, '#') + std::string(ProgressWidth - filled, '.') + "]";
}

} // namespace

Output::Output(std::ostream& out, std::ostream& err, bool json, bool progressBar, bool prefixPorts)
    : out_(out), err_(err), json_(json), progressBar_(progressBar), prefixPorts_(prefixPorts) {}

Output::~Output() {
    const std::lock_guard lock(mutex_);
    ClearProgress();
}

void Output::ClearProgress() {
    if (!progressShown_)
        return;
    err_ << ClearLine << std::flush;
    progressShown_ = false;
}

void Output::Line(const std::string& port, const std::string& text) {
    const std::lock_guard lock(mutex_);
    ClearProgress();
    if (prefixPorts_ && !json_ && !port.empty())
        out_ << port << ": ";
    out_ << text << '\n' << std::flush;
}

void Output::PrintError(const std::string& port, const std::string& text) {
    ClearProgress();
    err_ << "pelmora-cli: " << (port.empty() ? "" : port + ": ") << text << '\n' << std::flush;
}

void Output::Failure(const std::string& port, const std::string& text) {
    const std::lock_guard lock(mutex_);
    std::string& failures = failures_[port];
    failures += (failures.empty() ? "" : "; ") + text;
    PrintError(port, text);
}

void Output::Note(const std::string& port, const std::string& text) {
    const std::lock_guard lock(mutex_);
    PrintError(port, text);
}

std::string Output::FailuresOf(const std::string& port) {
    const std::lock_guard lock(mutex_);
    return failures_[port];
}

void Output::Progress(const std::string& port, double fraction) {
    if (!progressBar_)
        return;
    const std::lock_guard lock(mutex_);
    progress_[port] = fraction;
    std::string line(ClearLine);
    for (const auto& [name, done] : progress_)
        line += name + " " + ProgressBarText(done) + "  ";
    err_ << line << std::flush;
    progressShown_ = true;
}

std::string ErrorText(const std::exception& error) {
    return Utf16ToUtf8(ErrorBoxText(Utf8ToUtf16(error.what())));
}

std::string ParameterName(int index) {
    std::string_view bar = Parameters[index].barName;
    bar.remove_suffix(std::string_view("Bar").size());
    return std::string(bar);
}

std::string NamedValue(int index, const std::string& value) {
    constexpr std::size_t NameColumn = 6;
    const std::string name = ParameterName(index);
    return name + std::string(NameColumn - name.size(), ' ') + value;
}

std::string JsonText(std::string_view text) {
    std::string json = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            json += escaped;
        } else {
            json += c;
        }
    }
    return json + "\"";
}

std::string JsonValues(const PmxReadValues& values) {
    std::string json = "{";
    for (int index = 0; index < PmxValueCount; ++index) {
        json += (index ? "," : "") + JsonText(ParameterName(index)) + ":";
        json += values[index] ? std::to_string(*values[index]) : "null";
    }
    return json + "}";
}

} // namespace pelmora::cli
