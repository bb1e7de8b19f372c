// The control pipe of vavuro32.dll: from initialize to termination the
// library serves "\\.\pipe\vavuro32-PID" (PID: the host program's process
// id), one client after another, local clients only. Each request line gets
// its reply (control_serve.h) on a thread of its own, so neither a slow
// client nor a client that connects and never writes can hold up the host's
// window: a client that does not finish a request line within
// ControlSession::kRequestMs of connecting or of its last reply is let go.
#ifndef REVEDIZ_SIMULATOR_CONTROL_PIPE_H
#define REVEDIZ_SIMULATOR_CONTROL_PIPE_H

#include <cstddef>

namespace sim {

// Keeps a journal block (whole CR LF ended lines) as this library instance
// wrote it, for the pipe's "journal N"; the journal sink calls it.
void KeepJournal(const char* text, std::size_t length);

// Starts serving unless the pipe is served already. Call without the
// simulator's lock.
void StartControlPipe();
// Stops serving and waits for the thread (answering messages sent to this
// thread meanwhile, as the log request sends to the host's window). Call
// without the lock.
void StopControlPipe();

}  // namespace sim

#endif  // REVEDIZ_SIMULATOR_CONTROL_PIPE_H
