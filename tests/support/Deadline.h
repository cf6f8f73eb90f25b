// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <thread>
#include <type_traits>

namespace brimlark
{

/// Runs work on a thread of its own and returns what it returns (or throws what it throws)
/// when it is done within the given time. Work still running then is a hang: the test fails
/// and the whole run ends at once, since a thread blocked in open() or read() cannot be
/// stopped, and waiting for the suite's timeout would say nothing about where it hung.
template <typename Work> std::invoke_result_t<Work> withinSeconds(int seconds, Work &&work)
{
#ifdef BRIMLARK_DEADLINE_SCALE
    seconds *= BRIMLARK_DEADLINE_SCALE;
#endif
    std::packaged_task<std::invoke_result_t<Work>()> task(std::forward<Work>(work));
    auto result = task.get_future();
    std::thread thread(std::move(task));
    if (result.wait_for(std::chrono::seconds(seconds)) != std::future_status::ready) {
        ADD_FAILURE() << "still running after " << seconds << " s: it hangs";
        std::fflush(stdout);
        std::_Exit(EXIT_FAILURE);
    }
    thread.join();
    return result.get();
}

} // namespace brimlark
