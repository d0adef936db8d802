#pragma once
// Runs independent pieces of work of the analyzer file layer (checksums and compression of
// separate archive entries) on a few threads, the calling one included.

#include <functional>

// Calls work(i) for every i in [0, count), spread over at most `max_threads` threads (four
// when 0); returns when all are done. An exception thrown by a piece (std::bad_alloc) is thrown again here, after every
// thread has finished.
void sdr_file_parallel(int count, const std::function<void(int)>& work, unsigned max_threads = 0);
