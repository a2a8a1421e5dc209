#include "cli/box_commands.h"

#include "cli/file_input.h"
#include "protocol/frames.h"
#include "storage/file_error.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

namespace pelmora::cli {

namespace {

namespace fs = std::filesystem;

std::string SlotFileName(int slot) {
    char name[16];
    std::snprintf(name, sizeof name, "slot%02d.PMX", slot);
    return name;
}

// Several boxes keep their slots apart, each in a folder named after its port.
fs::path BoxFolder(const Invocation& invocation, const std::string& port) {
    if (invocation.Ports.size() < 2)
        return *invocation.Dir;
    return *invocation.Dir / fs::path(port).filename();
}

std::string JsonLine(const BoxSession& session, const std::string& fields) {
    return "{\"port\":" + JsonText(session.Port()) + "," + fields + "}";
}

void PrintValues(BoxSession& session, int slot, Output& output) {
    const PmxValues values = session.Values();
    if (output.Json()) {
        PmxReadValues read{};
        std::copy(values.begin(), values.end(), read.begin());
        output.Line(session.Port(), JsonLine(session, "\"slot\":" + std::to_string(slot) +
                                                          ",\"values\":" + JsonValues(read)));
        return;
    }
    for (int index = 0; index < PmxValueCount; ++index)
        output.Line(session.Port(), NamedValue(index, std::to_string(values[index])));
}

void Report(BoxSession& session, Output& output, const std::string& text,
            const std::string& jsonFields) {
    output.Line(session.Port(), output.Json() ? JsonLine(session, jsonFields) : text);
}

// Reads the slot back and names every parameter that differs from what was written.
bool VerifySlot(BoxSession& session, int slot, const PmxValues& written, Output& output) {
    if (!session.Read(slot))
        return false;
    const PmxValues read = session.Values();
    bool same = true;
    for (int index = 0; index < PmxValueCount; ++index) {
        if (read[index] == written[index])
            continue;
        output.Failure(session.Port(), "slot " + std::to_string(slot) + ": " +
                                           ParameterName(index) + " written " +
                                           std::to_string(written[index]) + ", read " +
                                           std::to_string(read[index]));
        same = false;
    }
    return same;
}

// Puts the file's values into the editor, writes them and, when asked, checks them.
bool WriteFileToSlot(BoxSession& session, const fs::path& file, int slot, bool verify,
                     Output& output) {
    if (!session.LoadFile(file))
        return false;
    const PmxValues written = session.Values();
    return session.Write(slot) && (!verify || VerifySlot(session, slot, written, output));
}

bool Identify(BoxSession& session, const Invocation&, Output& output) {
    Report(session, output, session.Model() + ", " + session.Resolution(),
           "\"model\":" + JsonText(session.Model()) +
               ",\"resolution\":" + JsonText(session.Resolution()));
    return true;
}

bool Read(BoxSession& session, const Invocation& invocation, Output& output) {
    const int slot = invocation.Slot;
    if (!session.Read(slot))
        return false;
    if (!invocation.OutputFile) {
        PrintValues(session, slot, output);
        return true;
    }
    if (!session.SaveFile(*invocation.OutputFile))
        return false;
    const std::string file = invocation.OutputFile->string();
    Report(session, output, "slot " + std::to_string(slot) + " saved to " + file,
           "\"slot\":" + std::to_string(slot) + ",\"file\":" + JsonText(file));
    return true;
}

// Reads each file as the command line takes it; false, with the failure printed, when one
// cannot be used.
bool FilesUsable(const std::vector<fs::path>& files, const std::string& port, Output& output) {
    try {
        for (const fs::path& file : files)
            ReadAlignmentInput(file, port, output);
        return true;
    } catch (const EFileError& error) {
        output.Failure(port, ErrorText(error));
        return false;
    }
}

bool CheckWrite(const std::string& port, const Invocation& invocation, Output& output) {
    return FilesUsable(invocation.Files, port, output);
}

bool Write(BoxSession& session, const Invocation& invocation, Output& output) {
    const int slot = invocation.Slot;
    if (!WriteFileToSlot(session, invocation.Files.front(), slot, invocation.Verify, output))
        return false;
    Report(session, output,
           "slot " + std::to_string(slot) +
               (invocation.Verify ? " written and verified" : " written"),
           "\"slot\":" + std::to_string(slot) +
               ",\"verified\":" + (invocation.Verify ? "true" : "false"));
    return true;
}

bool Reset(BoxSession& session, const Invocation& invocation, Output& output) {
    if (!session.Reset(invocation.Slot))
        return false;
    Report(session, output, "slot " + std::to_string(invocation.Slot) + " reset",
           "\"slot\":" + std::to_string(invocation.Slot) + ",\"reset\":true");
    return true;
}

template <ProfileAction action>
bool Profile(BoxSession& session, const Invocation& invocation, Output& output) {
    if (!session.Profile(action, invocation.Profile))
        return false;
    const char* done = action == ProfileAction::Load ? "loaded" : "saved";
    Report(session, output, "profile " + std::to_string(invocation.Profile) + " " + done,
           "\"profile\":" + std::to_string(invocation.Profile) + ",\"action\":" + JsonText(done));
    return true;
}

// Reads the ten slots into `folder`; returns the first slot that failed, or 0.
int ReadSlotsInto(BoxSession& session, const fs::path& folder) {
    for (int slot = 1; slot <= SlotCount; ++slot)
        if (!session.Read(slot) || !session.SaveFile(folder / SlotFileName(slot)))
            return slot;
    return 0;
}

// Moves the ten files from `from` into `to`; returns the first slot that failed, or 0.
int MoveSlots(const fs::path& from, const fs::path& to, std::error_code& error) {
    for (int slot = 1; slot <= SlotCount; ++slot) {
        fs::rename(from / SlotFileName(slot), to / SlotFileName(slot), error);
        if (error)
            return slot;
    }
    return 0;
}

// The nearest of `folder` and the folders above it that exists.
fs::path ExistingFolder(fs::path folder) {
    std::error_code ignored;
    while (!folder.empty() && !fs::exists(folder, ignored))
        folder = folder.parent_path();
    return folder;
}

// Removes the folders made on the way from `existed` to `folder` while they are empty, so
// that a failed backup leaves the place as it found it and never touches another box's files.
void RemoveMadeFolders(fs::path folder, const fs::path& existed) {
    std::error_code ignored;
    for (; !folder.empty() && folder != existed; folder = folder.parent_path())
        if (!fs::remove(folder, ignored))
            return;
}

// The ten files are gathered in a hidden folder and moved into place only when all are
// there, so the folder never holds a set that looks complete but mixes two backups.
bool Backup(BoxSession& session, const Invocation& invocation, Output& output) {
    const fs::path folder = BoxFolder(invocation, session.Port());
    const fs::path partial = folder / ".backup-partial";
    const fs::path existed = ExistingFolder(folder);
    std::error_code error;
    fs::remove_all(partial, error);
    if (!fs::create_directories(partial, error)) {
        RemoveMadeFolders(folder, existed);
        output.Failure(session.Port(), "Cannot create folder " + partial.string());
        return false;
    }
    const int unread = ReadSlotsInto(session, partial);
    const int unmoved = unread == 0 ? MoveSlots(partial, folder, error) : 0;
    std::error_code ignored;
    fs::remove_all(partial, ignored);
    if (unread != 0 || unmoved != 0)
        RemoveMadeFolders(folder, existed);
    if (unread != 0) {
        output.Failure(session.Port(), "backup incomplete: slots " + std::to_string(unread) +
                                           " to 10 missing; nothing was written to " +
                                           folder.string());
        return false;
    }
    if (unmoved != 0) {
        output.Failure(session.Port(), "Cannot create file " +
                                           (folder / SlotFileName(unmoved)).string() + ": " +
                                           error.message());
        return false;
    }
    Report(session, output, "slots 1 to 10 saved in " + folder.string(),
           "\"backup\":" + JsonText(folder.string()));
    return true;
}

// Every file is there, and is one, before the box is spoken to.
bool CheckRestore(const std::string& port, const Invocation& invocation, Output& output) {
    std::vector<fs::path> files;
    for (int slot = 1; slot <= SlotCount; ++slot)
        files.push_back(BoxFolder(invocation, port) / SlotFileName(slot));
    return FilesUsable(files, port, output);
}

bool Restore(BoxSession& session, const Invocation& invocation, Output& output) {
    const fs::path folder = BoxFolder(invocation, session.Port());
    for (int slot = 1; slot <= SlotCount; ++slot)
        if (!WriteFileToSlot(session, folder / SlotFileName(slot), slot, invocation.Verify, output))
            return false;
    Report(session, output,
           std::string("slots 1 to 10 written") + (invocation.Verify ? " and verified" : "") +
               " from " + folder.string(),
           "\"restore\":" + JsonText(folder.string()) +
               ",\"verified\":" + (invocation.Verify ? "true" : "false"));
    return true;
}

struct BoxCommandRow {
    Command command;
    BoxCommand run;
    BoxCheck check;
};

constexpr std::array<BoxCommandRow, 8> BoxCommands = {{
    {Command::Identify, Identify, nullptr},
    {Command::Read, Read, nullptr},
    {Command::Write, Write, CheckWrite},
    {Command::Reset, Reset, nullptr},
    {Command::Backup, Backup, nullptr},
    {Command::Restore, Restore, CheckRestore},
    {Command::ProfileLoad, Profile<ProfileAction::Load>, nullptr},
    {Command::ProfileSave, Profile<ProfileAction::Save>, nullptr},
}};

const BoxCommandRow* FindBoxCommand(Command command) {
    for (const BoxCommandRow& row : BoxCommands)
        if (row.command == command)
            return &row;
    return nullptr;
}

} // namespace

BoxCommand BoxCommandFor(Command command) {
    const BoxCommandRow* row = FindBoxCommand(command);
    return row ? row->run : nullptr;
}

BoxCheck BoxCheckFor(Command command) {
    const BoxCommandRow* row = FindBoxCommand(command);
    return row ? row->check : nullptr;
}

} // namespace pelmora::cli
