// A small parallel loop for the analyzer file layer.
#include "host/sdr/sdr_file_parallel.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace
{
// More threads than this only contend for memory bandwidth, which the work is bound by.
const unsigned MAX_THREADS = 4;
} // namespace

void sdr_file_parallel(int count, const std::function<void(int)>& work, unsigned max_threads)
{
    if (count <= 0)
        return;
    const unsigned threads = std::min({max_threads != 0 ? max_threads : MAX_THREADS, std::max(1u, std::thread::hardware_concurrency()), unsigned(count)});
    std::atomic<int> next(0);
    std::exception_ptr failure;
    std::mutex failure_mutex;
    auto run = [&] {
        try {
            for (int i = next++; i < count; i = next++)
                work(i);
        } catch (...) {
            const std::lock_guard<std::mutex> lock(failure_mutex);
            if (!failure)
                failure = std::current_exception();
            next = count;
        }
    };
    std::vector<std::thread> helpers;
    try {
        for (unsigned t = 1; t < threads; ++t)
            helpers.emplace_back(run);
    } catch (const std::system_error&) {
        // No more threads to be had: the ones running (this one at least) do the rest.
    }
    run();
    for (std::thread& helper : helpers)
        helper.join();
    if (failure)
        std::rethrow_exception(failure);
}
