#pragma once

#include <functional>

// The two blocking pauses between commands. Nothing else runs on the user-interface thread
// while they wait; characters that arrive meanwhile wait in the serial port. Tests replace the
// wait so they need not sleep.
class Pauses {
public:
    static constexpr int kShortMs = 5;
    static constexpr int kLongCount = 51; // a long pause is this many short ones

    Pauses();
    void setWait(std::function<void(int ms)> wait) { m_wait = std::move(wait); }

    void shortPause() const;
    void longPause() const;

private:
    std::function<void(int ms)> m_wait;
};
