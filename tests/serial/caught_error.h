// The error a port operation raised, for checking its code and message.
#pragma once

#include "serial/com_port.h"

#include <gtest/gtest.h>

namespace pelmora::test {

template <typename Action> EComPort CaughtError(Action action) {
    try {
        action();
    } catch (const EComPort& error) {
        return error;
    }
    ADD_FAILURE() << "no EComPort raised";
    return EComPort(CE_WaitFailed);
}

} // namespace pelmora::test
