// The few file-system and process steps that the output set's commit, its
// lock and its repair after a crash are built from. Each platform implements
// them (file_io_posix.cc, file_io_windows.cc); output_set.cc holds the logic.
// Reasons are the words the POSIX build prints ("Permission denied").
#ifndef VIGIL_CLI_PLATFORM_FILE_SYSTEM_H_
#define VIGIL_CLI_PLATFORM_FILE_SYSTEM_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vigil::platform {

// This process's id, and whether another id is a running process (true when
// that cannot be told).
long CurrentProcess();
bool ProcessRunning(long process);

// Moves `from` onto `to`, replacing it.
bool Rename(const std::string& from, const std::string& to, std::string* reason);
// A second name for an existing file.
bool HardLink(const std::string& existing, const std::string& link, std::string* reason);
bool RemoveFile(const std::string& path);
bool Exists(const std::string& path);
// The entries of a directory ("" is the current one), without "." and "..".
std::vector<std::string> DirectoryNames(const std::string& directory);
// `path` from the root, so that a journal names it wherever the next run starts.
std::string AbsolutePath(const std::string& path);
// A new file beside `path` (a hidden temporary name), written whole and then
// renamed onto `path`.
bool WriteNewFile(const std::string& path, std::string_view contents, std::string* reason);
// False, with the reason, when a rename onto `target` is known to fail: an
// immutable or append-only file, another user's file in a sticky directory.
bool CanReplace(const std::string& target, std::string* reason);

// Holds off the signals that end a run (the console's events on Windows)
// while it lives; they are handled when it ends.
class SignalsHeld {
 public:
  SignalsHeld();
  ~SignalsHeld();
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  unsigned char saved_[256];  // the platform's saved mask
};

// Sends the signal `number` to this process (test builds' fault injection).
void RaiseSignal(int number);

// The files that an ending signal removes before the program dies: a fixed
// table that the handler reads without allocating. -1 when it is full.
int AddLiveFile(const std::string& path);
void DropLiveFile(int slot);
// Installs the handlers of the ending signals once (a signal the program was
// started to ignore stays ignored).
void InstallInterruptHandler();
// Removes the live files (for a program that ends on a fault of its own).
void RemoveLiveFiles();

// An exclusive advisory lock on the file `path`, created when missing and
// released by the system when the process dies. Waits up to `wait_ms`.
// Returns the handle, or -1 with `holder` set to the process that holds the
// lock (0 unknown) or `reason` set when the file cannot be opened.
std::intptr_t AcquireLock(const std::string& path, int wait_ms, long* holder, std::string* reason);
// Removes the lock's file, then releases the lock.
void ReleaseLock(std::intptr_t handle, const std::string& path);

}  // namespace vigil::platform

#endif  // VIGIL_CLI_PLATFORM_FILE_SYSTEM_H_
