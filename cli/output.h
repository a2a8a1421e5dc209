// What the command line prints: result lines on standard output, failures and the progress
// bar on standard error. Lines about a box start with its port when several boxes are served;
// any thread may print.
#pragma once

#include "storage/alignment_file.h"

#include <exception>
#include <map>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>

namespace pelmora::cli {

class Output {
  public:
    Output(std::ostream& out, std::ostream& err, bool json, bool progressBar, bool prefixPorts);
    ~Output();

    bool Json() const { return json_; }
    void Line(const std::string& port, const std::string& text);
    void Failure(const std::string& port, const std::string& text);
    // Text on standard error that is no failure.
    void Note(const std::string& port, const std::string& text);
    // The failures printed so far about `port`, joined by "; ".
    std::string FailuresOf(const std::string& port);
    // A transfer's progress on the box at `port`, 0..1 (shown only on a terminal).
    void Progress(const std::string& port, double fraction);

  private:
    void ClearProgress();
    void PrintError(const std::string& port, const std::string& text);

    std::mutex mutex_;
    std::ostream& out_;
    std::ostream& err_;
    bool json_;
    bool progressBar_;
    bool prefixPorts_;
    std::map<std::string, double> progress_;
    std::map<std::string, std::string> failures_;
    bool progressShown_ = false;
};

// An error's message as the window's error box shows it (the full-stop rule applied).
std::string ErrorText(const std::exception& error);

// A parameter's name: its scroll bar's name without "Bar" (TLX1, ..., WRH, WPV, LR, LT).
std::string ParameterName(int index);

// "TLX1  11": a parameter's name and a value, in columns.
std::string NamedValue(int index, const std::string& value);

// A JSON string literal.
std::string JsonText(std::string_view text);

// {"TLX1":11,...}; a value a file does not hold is null.
std::string JsonValues(const PmxReadValues& values);

} // namespace pelmora::cli
