#pragma once
// Test seams of the analyzer file layer: make the next save fail at a chosen stage, so tests
// can check that the previous file survives byte for byte, and make an allocation fail while
// a file is read. Library code never includes this header.

namespace standin::sdr_file
{
enum class save_fault
{
    none,
    create_temporary, // the temporary archive beside the target cannot be created
    write_entry,      // an entry's data cannot be read while the archive is written
    rename            // the finished temporary archive cannot replace the target
};

// Arms one fault for the next save; cleared when it fires and by standin::reset_all().
void fail_next_save(save_fault fault);
save_fault pending_save_fault();
// Consumes the armed fault when it is `stage`; true means "fail now".
bool take_save_fault(save_fault stage);

// Points of a save where a test can make the process die (SIGKILL), as a crash or kill -9
// would: after the archive's bytes are written to the temporary file, and after the finished
// temporary file got its name beside the target, just before the rename. A file rewritten in
// place passes four more: its old content copied beside it but the copy not yet marked
// whole, the copy whole and on disk, the first piece of the new content written over the
// file, and the whole file rewritten and on disk with the copy still there.
enum class save_stage
{
    none,
    written,
    named,
    copy_unfinished,
    copy_kept,
    rewriting,
    rewritten
};
// Arms a crash for the next save that reaches `stage` (tests call it in a forked child).
void crash_at(save_stage stage);
// Called by the writer at each stage: dies there when a crash is armed for it.
void reach(save_stage stage);

// Lowers a limit of a whole document (`element`: an SDR_FILE_ELEMENT as int, or -1 for the
// payload entries' total) for a test that walks a limit too large to reach in a test: the reader,
// the writer, the edits and the acquisitions answer to the lower value alike. Cleared by
// reset_all().
void lower_limit(int element, long long most);
// The limit in force: `real`, or the lowered value.
long long limit_in_force(int element, long long real);

// Makes the reader's allocation of its (elements + 1)-th counted element fail with
// std::bad_alloc, as if memory had run out there; cleared when it fires and by reset_all().
void fail_allocation_after(long long elements);
// Counts one element; true means "this allocation fails now".
bool take_allocation_fault();
} // namespace standin::sdr_file
