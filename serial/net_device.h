// The network port: a TCP connection to a serial device server, either plain (tcp://) or
// with Telnet com-port control (rfc2217://), which also carries the line settings and purges.
#pragma once

#include "serial/port_device.h"

#include <optional>
#include <string>

namespace pelmora::detail {

struct NetworkPort {
    bool ComPortControl = false; // rfc2217://
    std::string Host;
    std::string Service; // the TCP port, in digits
};

bool HasNetworkScheme(const std::string& name);
// tcp://HOST:PORT or rfc2217://HOST:PORT, with [..] around an IPv6 host; empty otherwise.
std::optional<NetworkPort> ParseNetworkPort(const std::string& name);

// The com-port commands that give the server's line the component's settings.
std::string LineSettingCommands(const TComLineSettings& settings);

std::unique_ptr<PortDevice> NewNetworkDevice();

} // namespace pelmora::detail
