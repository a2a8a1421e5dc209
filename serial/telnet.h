// The Telnet side of a network port: the reader that separates the line's data from the
// server's commands, and the writers of what the client sends. Pure byte handling with no
// system calls, so every part can be fed and checked on its own.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pelmora::telnet {

constexpr unsigned char Iac = 255;
constexpr unsigned char Dont = 254;
constexpr unsigned char Do = 253;
constexpr unsigned char Wont = 252;
constexpr unsigned char Will = 251;
constexpr unsigned char Sb = 250;
constexpr unsigned char Se = 240;

constexpr unsigned char BinaryOption = 0;
constexpr unsigned char SuppressGoAheadOption = 3;
constexpr unsigned char ComPortOption = 44;

// Com-port commands the client sends; the server answers each with the code plus 100.
enum ComPortCommand : unsigned char {
    SetBaudRate = 1,
    SetDataSize = 2,
    SetParity = 3,
    SetStopSize = 4,
    SetControl = 5,
    PurgeData = 12,
};
constexpr unsigned char ServerReplyOffset = 100;

enum class OptionState : unsigned char { Off, Asked, On };

// Feeds the server's bytes through in pieces of any size; a command split between two pieces
// is completed by the next one. Answers the server's option requests as a client that speaks
// only binary transmission, suppressed go-ahead and the com-port option.
class Reader {
  public:
    Reader();

    // Marks the options the client asked for itself (see Offer), so the server's consent is
    // taken as an answer rather than a request.
    void Asked(bool comPort);

    // Appends the line's data bytes to `data` and the client's answers to `replies`.
    void Feed(std::string_view bytes, std::string& data, std::string& replies);

    // The client's side of the com-port option: Asked until the server agrees (On) or refuses
    // (Off).
    OptionState ComPort() const { return local_[ComPortOption]; }
    // The value of the server's last answer to a com-port command, 0 before any.
    std::uint32_t Answer(ComPortCommand command) const { return answers_[command]; }

  private:
    enum class State : unsigned char { Data, Command, Option, Sub, SubCommand };

    void Negotiate(unsigned char verb, unsigned char option, std::string& replies);
    void EndSub();

    State state_ = State::Data;
    unsigned char verb_ = 0;
    std::string sub_;
    std::array<OptionState, 256> local_{};  // what the client does
    std::array<OptionState, 256> remote_{}; // what the server does
    std::array<std::uint32_t, 13> answers_{};
};

// The opening the client sends: binary both ways and no go-ahead, with the com-port option
// when `comPort`.
std::string Offer(bool comPort);
// Data for the line, with every IAC doubled.
std::string Escape(std::string_view data);
// One com-port command with a one-byte or a four-byte (network order) value.
std::string Command(ComPortCommand command, unsigned char value);
std::string Command32(ComPortCommand command, std::uint32_t value);

} // namespace pelmora::telnet
