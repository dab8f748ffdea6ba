// Worker threads that are created suspended and released later, as the IR
// worker's lifecycle needs: create, lower the priority, name, resume, join.
#pragma once

namespace platform {

struct thread;  // opaque

using thread_proc = unsigned (*)(void* arg);

// Creates a thread that will run proc(arg) once resumed. Returns null on
// failure.
thread* create_suspended_thread(thread_proc proc, void* arg);

// Lowest normal priority (Win32 THREAD_PRIORITY_LOWEST; on Linux the nice
// value of that thread two steps above its creator's, at most 19, which needs
// no privilege). False on failure.
bool set_lowest_priority(thread* t);

// Names the thread for debuggers and process listings (at most 15 characters
// are kept on Linux). Never fails visibly.
void set_thread_name(thread* t, const char* name);

// Lets a suspended thread run. False on failure.
bool resume_thread(thread* t);

// Waits without limit until a resumed thread has ended.
void join_thread(thread* t);

// Releases the handle. A thread that was never resumed is discarded without
// running its procedure (nothing is left behind); a resumed one that was not
// joined runs on by itself, as with a closed Win32 handle.
void close_thread(thread* t);

// Identifies the calling thread (for comparisons only).
unsigned long current_thread_id();

}  // namespace platform
