#include "cli/cli.h"

#include "cli/box_commands.h"
#include "cli/command_line.h"
#include "cli/file_input.h"
#include "cli/output.h"
#include "serial/enum_com_ports.h"
#include "storage/file_error.h"
#include "storage/text_encoding.h"

#include <algorithm>
#include <thread>

namespace pelmora::cli {

namespace {

// One box, start to end, on the calling thread; its failures go to standard error.
bool RunOnBox(const std::string& port, BoxCommand command, const Invocation& invocation,
              const CliEnvironment& environment, Output& output) {
    if (const BoxCheck check = BoxCheckFor(invocation.Action))
        if (!check(port, invocation, output))
            return false;
    SessionSetup setup;
    setup.pause = &environment.Pauser;
    setup.ExecutableDir = environment.ExecutableDir;
    setup.VersionInfo = environment.VersionInfo;
    setup.OnProgress = [&output, port](double fraction) { output.Progress(port, fraction); };
    try {
        BoxSession session(port, setup);
        const bool done = session.Connect() && command(session, invocation, output);
        for (const std::string& message : session.Messages())
            output.Failure(port, message);
        return done;
    } catch (const std::exception& error) {
        output.Failure(port, ErrorText(error));
        return false;
    }
}

// With --json a failed box has its outcome on standard output too.
bool ServeBox(const std::string& port, BoxCommand command, const Invocation& invocation,
              const CliEnvironment& environment, Output& output) {
    const bool done = RunOnBox(port, command, invocation, environment, output);
    if (!done && output.Json())
        output.Line(port, "{\"port\":" + JsonText(port) +
                              ",\"error\":" + JsonText(output.FailuresOf(port)) + "}");
    return done;
}

// Every box on a thread of its own, all at once.
int ServeBoxes(BoxCommand command, const Invocation& invocation, const CliEnvironment& environment,
               Output& output) {
    std::vector<char> done(invocation.Ports.size(), false);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < invocation.Ports.size(); ++i)
        threads.emplace_back([&, i] {
            done[i] = ServeBox(invocation.Ports[i], command, invocation, environment, output);
        });
    for (std::thread& thread : threads)
        thread.join();
    return std::all_of(done.begin(), done.end(), [](char ok) { return ok; }) ? ExitSuccess
                                                                             : ExitFailure;
}

std::string PortJson(const PortEntry& port) {
    return "{\"name\":" + JsonText(port.Name) + ",\"label\":" + JsonText(PortLabel(port)) +
           ",\"description\":" + JsonText(port.Description) +
           ",\"manufacturer\":" + JsonText(port.Manufacturer) +
           ",\"serialNumber\":" + JsonText(port.SerialNumber) +
           ",\"stableName\":" + JsonText(port.StableName) + "}";
}

int ListPorts(Output& output) {
    const std::vector<PortEntry> ports = EnumComPorts();
    if (!output.Json()) {
        for (const PortEntry& port : ports)
            output.Line("", PortLabel(port));
        return ExitSuccess;
    }
    std::string json = "{\"ports\":[";
    for (std::size_t i = 0; i < ports.size(); ++i)
        json += (i ? "," : "") + PortJson(ports[i]);
    output.Line("", json + "]}");
    return ExitSuccess;
}

std::string ValueText(const std::optional<std::int32_t>& value) {
    return value ? std::to_string(*value) : "-";
}

std::string JsonValue(const std::optional<std::int32_t>& value) {
    return value ? std::to_string(*value) : "null";
}

PmxReadValues ReadValues(const std::filesystem::path& file, Output& output) {
    return ParsePmxImage(ReadAlignmentInput(file, "", output));
}

void Show(const std::filesystem::path& file, Output& output) {
    const PmxReadValues values = ReadValues(file, output);
    if (output.Json()) {
        output.Line("", "{\"file\":" + JsonText(PathUtf8(file)) +
                            ",\"values\":" + JsonValues(values) + "}");
        return;
    }
    for (int index = 0; index < PmxValueCount; ++index)
        output.Line("", NamedValue(index, ValueText(values[index])));
}

// True when the files hold the same values.
bool Diff(const std::filesystem::path& fileA, const std::filesystem::path& fileB, Output& output) {
    const PmxReadValues a = ReadValues(fileA, output);
    const PmxReadValues b = ReadValues(fileB, output);
    std::string json;
    for (int index = 0; index < PmxValueCount; ++index) {
        if (a[index] == b[index])
            continue;
        if (output.Json())
            json += std::string(json.empty() ? "" : ",") +
                    "{\"name\":" + JsonText(ParameterName(index)) +
                    ",\"a\":" + JsonValue(a[index]) + ",\"b\":" + JsonValue(b[index]) + "}";
        else
            output.Line("", ParameterName(index) + ": " + ValueText(a[index]) + " -> " +
                                ValueText(b[index]));
    }
    if (output.Json())
        output.Line("", "{\"differences\":[" + json + "]}");
    return a == b;
}

// show and diff: the files only, no box. diff fails when the files differ, as diff(1) does.
int RunFileCommand(const Invocation& invocation, Output& output) {
    try {
        if (invocation.Action == Command::Show) {
            Show(invocation.Files[0], output);
            return ExitSuccess;
        }
        return Diff(invocation.Files[0], invocation.Files[1], output) ? ExitSuccess : ExitFailure;
    } catch (const EFileError& error) {
        output.Failure("", ErrorText(error));
        if (output.Json())
            output.Line("", "{\"error\":" + JsonText(ErrorText(error)) + "}");
        return ExitFailure;
    }
}

} // namespace

int RunCli(const std::vector<std::string>& arguments, const CliEnvironment& environment) {
    const ParsedInvocation parsed = ParseInvocation(arguments);
    if (!parsed.Error.empty()) {
        environment.Err << "pelmora-cli: " << parsed.Error << '\n' << parsed.Usage << '\n';
        return ExitUsage;
    }
    const Invocation& invocation = parsed.Request;
    Output output(environment.Out, environment.Err, invocation.Json, environment.ErrIsTerminal,
                  invocation.Ports.size() > 1);
    switch (invocation.Action) {
    case Command::Help:
        environment.Out << UsageText();
        return ExitSuccess;
    case Command::Version:
        environment.Out << "pelmora-cli " << environment.Version << '\n';
        return ExitSuccess;
    case Command::Ports:
        return ListPorts(output);
    case Command::Show:
    case Command::Diff:
        return RunFileCommand(invocation, output);
    default:
        return ServeBoxes(BoxCommandFor(invocation.Action), invocation, environment, output);
    }
}

} // namespace pelmora::cli
