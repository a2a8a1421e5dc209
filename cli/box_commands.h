// The commands that talk to a box: each runs on one box's session, already connected, and
// prints what it did; false when the box or a file failed.
#pragma once

#include "cli/box_session.h"
#include "cli/command_line.h"
#include "cli/output.h"

namespace pelmora::cli {

using BoxCommand = bool (*)(BoxSession& session, const Invocation& invocation, Output& output);
// What a command checks before it connects to the box on `port`; false, with the failure
// printed, when nothing may be sent.
using BoxCheck = bool (*)(const std::string& port, const Invocation& invocation, Output& output);

// The command for `command`, or nullptr when it needs no box.
BoxCommand BoxCommandFor(Command command);
// Its check, or nullptr when it has none.
BoxCheck BoxCheckFor(Command command);

} // namespace pelmora::cli
