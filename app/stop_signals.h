// The stop signals: Ctrl+C (SIGINT), a service manager's stop (SIGTERM) and a closed terminal
// (SIGHUP); on Windows Ctrl+C and Ctrl+Break. The first presses STOP, as the button does; a
// second ends the program at once.
#pragma once

#include <atomic>
#include <cstdint>

namespace brisvel {

// The exit status of a program ended by a second stop signal.
inline constexpr int kInterruptedExit = 130;

// Makes the stop signals act: the first sets `*cancel` when `*runState` reads running; every
// one is counted for StopSignalCount; the second removes the temporary files of the copies in
// flight and ends the process at once with kInterruptedExit. Also makes a closed pipe an
// error of the write instead of a signal that ends the program.
void InstallStopSignals(std::atomic<int32_t>* cancel, const std::atomic<int32_t>* runState);

// The stop signals received since InstallStopSignals.
int StopSignalCount();

// The platform's half, for stop_signals_posix.cpp and stop_signals_win32.cpp: the handlers,
// which call CountStopSignal; CountStopSignal touches only lock-free atomics, as a POSIX
// signal handler must.
void InstallStopSignalHandlers();

// Counts one stop signal. The first sets the cancel flag when the run state reads
// running; a later one removes the temporary files of the copies in flight and answers true:
// the handler then ends the process at once with kInterruptedExit.
bool CountStopSignal();

}  // namespace brisvel
