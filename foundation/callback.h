// A runnable that calls a plain function with user data and an argument; the reproducer
// commands use it as their reply parser.
#pragma once

#include "foundation/thread.h"

#include <atomic>
#include <cstdint>

class QORCallback_c : public QORRunnable_c {
public:
    using Function = std::uint8_t (*)(void* userData, void* argument);

    QORCallback_c() = default;
    QORCallback_c(Function function, void* userData, void* argument = nullptr)
        : m_function(function), m_userData(userData), m_argument(argument) {}

    // Status = function(user data, argument), the argument being this callback when none is
    // set; 254 without a function.
    void Run() override;

    void SetFunction(Function function, void* userData) {
        m_function = function;
        m_userData = userData;
    }
    void SetArgument(void* argument) { m_argument = argument; }
    void* Argument() const { return m_argument; }
    std::uint8_t Status() const { return m_status.load(); }

private:
    Function m_function = nullptr;
    void* m_userData = nullptr;
    void* m_argument = nullptr;
    std::atomic<std::uint8_t> m_status{0};
};
