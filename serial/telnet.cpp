#include "serial/telnet.h"

namespace pelmora::telnet {

namespace {

constexpr std::size_t SubLimit = 16; // longer sub-negotiations are cut: none that matter are

bool ClientDoes(unsigned char option) {
    return option == BinaryOption || option == SuppressGoAheadOption || option == ComPortOption;
}

bool ServerMayDo(unsigned char option) {
    return option == BinaryOption || option == SuppressGoAheadOption;
}

void Put(std::string& out, unsigned char verb, unsigned char option) {
    out += char(Iac);
    out += char(verb);
    out += char(option);
}

// One side of an option: `request` is the other side's wish to turn it on (DO or WILL).
// Returns the verb to answer with, or 0 for none.
unsigned char Settle(OptionState& state, bool request, bool supported, unsigned char yes,
                     unsigned char no) {
    if (request) {
        if (!supported)
            return no;
        const bool answer = state == OptionState::Off;
        state = OptionState::On;
        return answer ? yes : 0;
    }
    const bool answer = state == OptionState::On;
    state = OptionState::Off;
    return answer ? no : 0;
}

} // namespace

Reader::Reader() {
    sub_.reserve(SubLimit);
}

void Reader::Asked(bool comPort) {
    for (unsigned char option : {BinaryOption, SuppressGoAheadOption})
        local_[option] = remote_[option] = OptionState::Asked;
    if (comPort)
        local_[ComPortOption] = OptionState::Asked;
}

void Reader::Feed(std::string_view bytes, std::string& data, std::string& replies) {
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        switch (state_) {
        case State::Data:
            if (byte == Iac)
                state_ = State::Command;
            else
                data += c;
            break;
        case State::Command:
            state_ = State::Data;
            if (byte == Iac) {
                data += c;
            } else if (byte >= Will) {
                verb_ = byte;
                state_ = State::Option;
            } else if (byte == Sb) {
                sub_.clear();
                state_ = State::Sub;
            }
            break;
        case State::Option:
            Negotiate(verb_, byte, replies);
            state_ = State::Data;
            break;
        case State::Sub:
            if (byte == Iac)
                state_ = State::SubCommand;
            else if (sub_.size() < SubLimit)
                sub_ += c;
            break;
        case State::SubCommand:
            if (byte == Iac) {
                if (sub_.size() < SubLimit)
                    sub_ += c;
                state_ = State::Sub;
                break;
            }
            EndSub();
            state_ = State::Data;
            if (byte != Se) { // a command cut the sub-negotiation short: it still counts
                state_ = State::Command;
                Feed(std::string_view(&c, 1), data, replies);
            }
            break;
        }
    }
}

void Reader::Negotiate(unsigned char verb, unsigned char option, std::string& replies) {
    unsigned char answer = 0;
    if (verb == Do || verb == Dont)
        answer = Settle(local_[option], verb == Do, ClientDoes(option), Will, Wont);
    else
        answer = Settle(remote_[option], verb == Will, ServerMayDo(option), Do, Dont);
    if (answer != 0)
        Put(replies, answer, option);
}

// A com-port answer: the command's code plus 100, then its value in network order.
void Reader::EndSub() {
    if (sub_.size() < 2 || static_cast<unsigned char>(sub_[0]) != ComPortOption)
        return;
    const auto code = static_cast<unsigned char>(sub_[1]);
    if (code < ServerReplyOffset || std::size_t(code - ServerReplyOffset) >= answers_.size())
        return;
    std::uint32_t value = 0;
    for (std::size_t i = 2; i < sub_.size() && i < 6; ++i)
        value = value << 8 | static_cast<unsigned char>(sub_[i]);
    answers_[code - ServerReplyOffset] = value;
}

std::string Offer(bool comPort) {
    std::string out;
    for (unsigned char option : {BinaryOption, SuppressGoAheadOption}) {
        Put(out, Will, option);
        Put(out, Do, option);
    }
    if (comPort)
        Put(out, Will, ComPortOption);
    return out;
}

std::string Escape(std::string_view data) {
    std::string out;
    out.reserve(data.size());
    for (const char c : data) {
        out += c;
        if (static_cast<unsigned char>(c) == Iac)
            out += c;
    }
    return out;
}

namespace {

std::string Framed(ComPortCommand command, std::string_view value) {
    std::string out{char(Iac), char(Sb), char(ComPortOption), char(command)};
    out += Escape(value);
    out += char(Iac);
    out += char(Se);
    return out;
}

} // namespace

std::string Command(ComPortCommand command, unsigned char value) {
    return Framed(command, std::string(1, char(value)));
}

std::string Command32(ComPortCommand command, std::uint32_t value) {
    const std::string bytes{char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    return Framed(command, bytes);
}

} // namespace pelmora::telnet
