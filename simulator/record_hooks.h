// Recording a session of the program that loaded vavuro32.dll (recorder.h
// makes the scenario). While a recording runs, hooks on the program's GUI
// thread (the thread of the queue window it initialized the library with)
// watch its menu commands, dialogs, message boxes and button presses, and
// its "Command and Status" log is read as it grows. The hooks only look:
// they change nothing the program does, shows or logs.
//
// The recorder has a lock of its own, taken before the simulator's where
// both are held and never while a message is sent to a window.
#ifndef REVEDIZ_SIMULATOR_RECORD_HOOKS_H
#define REVEDIZ_SIMULATOR_RECORD_HOOKS_H

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace sim {

// Starts recording the program whose main window is `queueWindow`. False
// with *why when a recording runs already or the window is gone. Call
// without the simulator's lock, from any thread but the program's.
bool StartRecording(std::uintptr_t queueWindow, std::string* why);
// The library's first initialize, called on the program's GUI thread
// inside the Initialize dialog's OK: when the working folder holds
// kRecordFile, the recording starts with that Initialize. The steps that
// filled the dialog are made again from what it shows and what the log says
// was added (one Add per logged row); the log so far is expected as it is.
inline constexpr char kRecordFile[] = "vavuro32.rec";
void RecordFromInitialize();
// Ends the recording and writes its scenario to `file`. False with *why
// when none runs or the file cannot be written.
bool StopRecording(const std::string& file, std::size_t* steps, std::string* why);
// Adds `line` to the running recording after the log lines written so far.
// False with *why when none runs or the line is no single scenario step.
bool RecordStep(const std::string& line, std::string* why);
// Runs a bench action given as its control line; a recording that runs
// gets the line and the status before anything the action makes the
// program do.
std::int32_t RecordedAction(std::string_view line, const std::function<std::int32_t()>& act);
// The library is terminated (the program ends): a recording that runs is
// written to the first free "session-N.scn", named in *file. False when
// none ran.
bool EndRecording(std::string* file, std::size_t* steps);
// The first "session-N.scn" (N from 1) that is not in the working folder.
std::string FreeSessionName();

}  // namespace sim

#endif  // REVEDIZ_SIMULATOR_RECORD_HOOKS_H
