// The hidden temporary files this process has on disk at this moment, in a fixed table that
// a signal handler (or a console's Ctrl+C handler) can walk without locking or allocating, so
// that a command interrupted while writing leaves none of them behind.
#pragma once

#include <cstddef>
#include <string>

// One entry a writing thread holds at a time, and a few for the command's own thread: more
// than the most workers a command may have.
constexpr size_t kLiveTemporarySlots = 72;
constexpr size_t kLiveTemporaryPathBytes = 4096;

// Enters `path` before the file is made, so that it is never on disk unlisted; the slot to
// forget it by, or -1 when the table is full or the path too long (the file is then made,
// only not removed by an interruption).
int ListLiveTemporary(const std::string& path);
// Once the file is renamed or removed.
void ForgetLiveTemporary(int slot);

// For the handlers: the path in `slot`, or null when it holds none. Async-signal-safe.
const char* LiveTemporaryAt(size_t slot);

// Around each call that gives a hidden file its name (an open or a link that creates it):
// false when the process is ending, and then nothing is to be made. A handler runs while the
// other threads go on until the process ends, and a name made in a call under way when it
// walked the table would stay behind: it first marks the end, then waits for those calls.
bool BeginMakingTemporary();
void EndMakingTemporary();

// For a handler, before it walks the table: no name is made from now on; the count of those
// being made, for it to wait on. Async-signal-safe.
void MarkLiveTemporariesEnding();
size_t TemporariesBeingMade();
