// The file system, the clock and program start on Windows. Paths are UTF-8
// inside the programs and UTF-16 at every call into the system; files are
// read and written as bytes.
#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string_view>
#include <utility>

#include "cli/platform/file_io.h"
#include "cli/platform/file_system.h"
#include "cli/platform/program_start.h"
#include "cli/platform/test_hooks.h"

namespace vigil {
namespace {

std::wstring Wide(const std::string& text) {
  if (text.empty()) return std::wstring();
  int size = static_cast<int>(text.size());
  int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
  return wide;
}

// Paths this long or longer take the \\?\ form: below MAX_PATH with room for
// the temporary name's suffix.
constexpr size_t kLongPath = MAX_PATH - 12;

// `path` as the wide file functions take it at any length: a long one as its
// full path with the \\?\ prefix (\\?\UNC\ for a share), which Windows
// passes on as it stands, past the MAX_PATH limit.
std::wstring SystemPath(const std::string& path) {
  std::wstring wide = Wide(path);
  if (wide.size() < kLongPath || wide.starts_with(L"\\\\?\\")) return wide;
  DWORD length = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (length == 0) return wide;
  std::wstring full(length, L'\0');
  length = ::GetFullPathNameW(wide.c_str(), length, full.data(), nullptr);
  full.resize(length);
  if (full.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);
  return L"\\\\?\\" + full;
}

std::string Utf8(const wchar_t* text) {
  int length = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return std::string();
  std::string narrow(static_cast<size_t>(length), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.data(), length, nullptr, nullptr);
  narrow.pop_back();  // the terminating NUL
  return narrow;
}

// The reasons a user meets, in the words the POSIX build prints for them.
struct KnownReason {
  DWORD code;
  const char* text;
};
constexpr KnownReason kKnownReasons[] = {
    {ERROR_FILE_NOT_FOUND, "No such file or directory"},
    {ERROR_PATH_NOT_FOUND, "No such file or directory"},
    {ERROR_INVALID_NAME, "No such file or directory"},
    {ERROR_ACCESS_DENIED, "Permission denied"},
    {ERROR_SHARING_VIOLATION, "Permission denied"},
    {ERROR_WRITE_PROTECT, "Read-only file system"},
    {ERROR_DISK_FULL, "No space left on device"},
    {ERROR_HANDLE_DISK_FULL, "No space left on device"},
    {ERROR_DIRECTORY, "Is a directory"},
};

std::string Reason(DWORD code) {
  for (const KnownReason& known : kKnownReasons) {
    if (known.code == code) return known.text;
  }
  wchar_t* message = nullptr;
  DWORD flags =
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  DWORD length =
      ::FormatMessageW(flags, nullptr, code, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
  std::string text = length > 0 ? Utf8(message) : std::string();
  if (message != nullptr) ::LocalFree(message);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '.')) {
    text.pop_back();
  }
  return text.empty() ? "Windows error " + std::to_string(code) : text;
}

bool IsDirectory(const std::string& path) {
  DWORD attributes = ::GetFileAttributesW(SystemPath(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The files a console event must remove. The console runs its handler on a
// thread of its own, so the handler reads only this fixed table: a slot's
// path is written before the slot is marked used.
struct LiveFile {
  std::atomic<bool> used;
  wchar_t path[MAX_PATH * 4];
};
constexpr int kLiveFiles = 16;
LiveFile live_files[kLiveFiles];
// Commits under way: the handler waits for them to end.
std::atomic<int> commits_held{0};

// Ctrl-C, Ctrl-Break, closing the console, logging off, shutting down: once
// no commit is under way, the temporary files go, and the next handler (the
// default one) ends the program. A temporary file is open with
// FILE_SHARE_DELETE, so that it can be deleted while it is being written; it
// goes when the program ends.
BOOL WINAPI RemoveLiveFilesOnEvent(DWORD /*event*/) {
  while (commits_held.load() > 0) ::Sleep(1);
  platform::RemoveLiveFiles();
  return FALSE;
}

bool WriteAll(HANDLE file, std::string_view contents) {
  const char* data = contents.data();
  size_t left = contents.size();
  while (left > 0) {
    DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
    DWORD written = 0;
    if (!::WriteFile(file, data, chunk, &written, nullptr)) return false;
    data += written;
    left -= written;
  }
  return true;
}

// The folder part of `path`, separator included: up to the last '/' or '\',
// else a drive ("C:"), else nothing (the current folder).
std::string Folder(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  if (slash != std::string::npos) return path.substr(0, slash + 1);
  if (path.size() >= 2 && path[1] == ':') return path.substr(0, 2);
  return std::string();
}

// A short name beside the target, so that the final move stays on one drive.
std::string TemporaryName(const std::string& path, unsigned attempt) {
  static std::atomic<unsigned> counter{0};
  return Folder(path) + ".vigilc-" + std::to_string(::GetCurrentProcessId()) + "-" +
         std::to_string(counter.fetch_add(1)) + "-" + std::to_string(attempt);
}

HANDLE CreateTemporary(const std::string& path, std::string* temporary) {
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    *temporary = TemporaryName(path, attempt);
    HANDLE file = ::CreateFileW(SystemPath(*temporary).c_str(), GENERIC_WRITE, FILE_SHARE_DELETE,
                                nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

// 100-nanosecond ticks from 1601-01-01 to 1970-01-01.
constexpr unsigned long long kUnixEpochTicks = 116444736000000000ULL;

std::time_t UnixTime(const FILETIME& time) {
  unsigned long long ticks =
      (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return static_cast<std::time_t>((ticks - kUnixEpochTicks) / 10000000ULL);
}

// The volume and the file's index on it; nullopt when it cannot be opened.
std::optional<std::pair<DWORD, unsigned long long>> FileIdentity(const std::string& path) {
  // No access asked for, and folders too (backup semantics): only the
  // identity is read.
  HANDLE file = ::CreateFileW(SystemPath(path).c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  bool ok = ::GetFileInformationByHandle(file, &info) != 0;
  ::CloseHandle(file);
  if (!ok) return std::nullopt;
  return std::make_pair(
      info.dwVolumeSerialNumber,
      (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow);
}

}  // namespace

bool SameFile(const std::string& path_a, const std::string& path_b) {
  std::optional<std::pair<DWORD, unsigned long long>> a = FileIdentity(path_a);
  return a && a == FileIdentity(path_b);
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::string* error) {
  if (IsDirectory(path)) {
    *error = "Is a directory";
    return std::nullopt;
  }
  HANDLE file = ::CreateFileW(SystemPath(path).c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *error = Reason(::GetLastError());
    return std::nullopt;
  }
  if (::GetFileType(file) != FILE_TYPE_DISK) {
    *error = "Not a regular file";
    ::CloseHandle(file);
    return std::nullopt;
  }
  std::string contents;
  LARGE_INTEGER size{};
  if (::GetFileSizeEx(file, &size) && size.QuadPart > 0) {
    contents.reserve(static_cast<size_t>(size.QuadPart));
  }
  char buffer[1 << 16];
  while (true) {
    DWORD got = 0;
    if (!::ReadFile(file, buffer, sizeof buffer, &got, nullptr)) {
      *error = Reason(::GetLastError());
      ::CloseHandle(file);
      return std::nullopt;
    }
    if (got == 0) break;
    contents.append(buffer, got);
  }
  ::CloseHandle(file);
  platform::ReachPoint("read");
  return contents;
}

bool OutputSet::StageFile(const std::string& path, const Pieces& next_piece,
                          const std::string& /*model*/, std::string* error) {
  // The folder's inherited permissions stand for the mode, owner and group.
  platform::InstallInterruptHandler();
  std::string temporary;
  HANDLE file = CreateTemporary(path, &temporary);
  if (file == INVALID_HANDLE_VALUE) {
    *error = "cannot write '" + path + "': " + Reason(::GetLastError());
    return false;
  }
  staged_.push_back({path, temporary, "", false, platform::AddLiveFile(temporary)});
  bool ok = true;
  for (std::string_view piece = next_piece(); ok && !piece.empty(); piece = next_piece()) {
    ok = WriteAll(file, piece);
  }
  DWORD saved = ok ? 0 : ::GetLastError();
  if (!::CloseHandle(file) && ok) {
    ok = false;
    saved = ::GetLastError();
  }
  if (!ok) *error = "cannot write '" + path + "': " + Reason(saved);
  platform::ReachPoint("staged" + std::to_string(staged_.size()));
  return ok;
}

std::optional<std::time_t> OutputSet::StagedTime(const std::string& path) const {
  for (const Staged& file : staged_) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (file.target == path &&
        ::GetFileAttributesExW(SystemPath(file.temporary).c_str(), GetFileExInfoStandard, &data)) {
      return UnixTime(data.ftLastWriteTime);
    }
  }
  return std::nullopt;
}

std::string LocalTimeText(std::time_t time) {
  std::tm local{};
  localtime_s(&local, &time);
  char text[32];
  size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
  return std::string(text, length);
}

std::string FinalPath(const std::string& path) {
  HANDLE file = ::CreateFileW(SystemPath(path).c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return path;
  wchar_t final_path[MAX_PATH * 4];
  DWORD length = ::GetFinalPathNameByHandleW(file, final_path, MAX_PATH * 4, FILE_NAME_NORMALIZED);
  ::CloseHandle(file);
  if (length == 0 || length >= MAX_PATH * 4) return path;
  return Utf8(final_path);
}

int NameCount(const std::string& path) {
  HANDLE file = ::CreateFileW(SystemPath(path).c_str(), 0,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  BY_HANDLE_FILE_INFORMATION info{};
  bool ok = ::GetFileInformationByHandle(file, &info) != 0;
  ::CloseHandle(file);
  return ok ? static_cast<int>(info.nNumberOfLinks) : 0;
}

namespace platform {

long CurrentProcess() { return static_cast<long>(::GetCurrentProcessId()); }

bool ProcessRunning(long process) {
  HANDLE handle =
      ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(process));
  if (handle == nullptr) return ::GetLastError() == ERROR_ACCESS_DENIED;
  DWORD code = 0;
  bool running = ::GetExitCodeProcess(handle, &code) && code == STILL_ACTIVE;
  ::CloseHandle(handle);
  return running;
}

bool Rename(const std::string& from, const std::string& to, std::string* reason) {
  if (::MoveFileExW(SystemPath(from).c_str(), SystemPath(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  *reason = Reason(::GetLastError());
  return false;
}

bool HardLink(const std::string& existing, const std::string& link, std::string* reason) {
  if (::CreateHardLinkW(SystemPath(link).c_str(), SystemPath(existing).c_str(), nullptr)) {
    return true;
  }
  *reason = Reason(::GetLastError());
  return false;
}

bool RemoveFile(const std::string& path) { return ::DeleteFileW(SystemPath(path).c_str()) != 0; }

bool Exists(const std::string& path) {
  return ::GetFileAttributesW(SystemPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> DirectoryNames(const std::string& directory) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW entry{};
  HANDLE search = ::FindFirstFileW(SystemPath(directory + "*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    std::string name = Utf8(entry.cFileName);
    if (name != "." && name != "..") names.push_back(name);
  } while (::FindNextFileW(search, &entry));
  ::FindClose(search);
  return names;
}

std::string AbsolutePath(const std::string& path) {
  std::wstring wide = Wide(path.empty() ? "." : path);
  DWORD length = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (length == 0) return path;
  std::wstring full(length, L'\0');
  length = ::GetFullPathNameW(wide.c_str(), length, full.data(), nullptr);
  full.resize(length);
  return Utf8(full.c_str());
}

bool WriteNewFile(const std::string& path, std::string_view contents, std::string* reason) {
  std::string temporary;
  HANDLE file = CreateTemporary(path, &temporary);
  if (file == INVALID_HANDLE_VALUE) {
    *reason = Reason(::GetLastError());
    return false;
  }
  bool ok = WriteAll(file, contents);
  DWORD saved = ok ? 0 : ::GetLastError();
  ok = ::CloseHandle(file) && ok;
  if (ok && Rename(temporary, path, reason)) return true;
  if (saved != 0) *reason = Reason(saved);
  ::DeleteFileW(SystemPath(temporary).c_str());
  return false;
}

bool CanReplace(const std::string& target, std::string* reason) {
  DWORD attributes = ::GetFileAttributesW(SystemPath(target).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return true;  // a new file
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    *reason = "Is a directory";
    return false;
  }
  if (attributes & FILE_ATTRIBUTE_READONLY) {
    *reason = "Permission denied";
    return false;
  }
  return true;
}

SignalsHeld::SignalsHeld() { commits_held.fetch_add(1); }
SignalsHeld::~SignalsHeld() { commits_held.fetch_sub(1); }

// Windows has no signals to send: the console's events come from outside.
void RaiseSignal(int /*number*/) {}

int AddLiveFile(const std::string& path) {
  std::wstring wide = SystemPath(path);
  if (wide.size() >= MAX_PATH * 4) return -1;
  for (int slot = 0; slot < kLiveFiles; ++slot) {
    LiveFile& file = live_files[slot];
    if (file.used.load()) continue;
    std::copy(wide.c_str(), wide.c_str() + wide.size() + 1, file.path);
    file.used.store(true);
    return slot;
  }
  return -1;
}

void DropLiveFile(int slot) {
  if (slot >= 0) live_files[slot].used.store(false);
}

void RemoveLiveFiles() {
  for (LiveFile& file : live_files) {
    if (file.used.load()) ::DeleteFileW(file.path);
  }
}

void InstallInterruptHandler() {
  static std::atomic<bool> installed{false};
  if (installed.exchange(true)) return;
  ::SetConsoleCtrlHandler(RemoveLiveFilesOnEvent, TRUE);
}

namespace {

// The lock is on one byte far past the pid the holder writes at the start,
// so that others can still read the pid.
constexpr DWORD kLockedByteHigh = 1;

long Holder(HANDLE file) {
  char text[24] = {};
  DWORD got = 0;
  OVERLAPPED at{};
  if (!::ReadFile(file, text, sizeof text - 1, &got, &at)) return 0;
  return std::atol(text);
}

bool SameIdentity(HANDLE file, const std::string& path) {
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(file, &info)) return false;
  std::optional<std::pair<DWORD, unsigned long long>> named = FileIdentity(path);
  return named && named->first == info.dwVolumeSerialNumber &&
         named->second ==
             ((static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow);
}

}  // namespace

std::intptr_t AcquireLock(const std::string& path, int wait_ms, long* holder, std::string* reason) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(wait_ms);
  DWORD pause_ms = 1;
  while (true) {
    HANDLE file = ::CreateFileW(SystemPath(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_HIDDEN, nullptr);
    DWORD failure = file == INVALID_HANDLE_VALUE ? ::GetLastError() : 0;
    // A file another run is deleting refuses to open until it is gone.
    if (file == INVALID_HANDLE_VALUE && failure != ERROR_ACCESS_DENIED) {
      *reason = Reason(failure);
      return -1;
    }
    if (file != INVALID_HANDLE_VALUE) {
      OVERLAPPED at{};
      at.OffsetHigh = kLockedByteHigh;
      if (::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at)) {
        if (SameIdentity(file, path)) {
          std::string pid = std::to_string(::GetCurrentProcessId()) + "\n";
          DWORD written = 0;
          OVERLAPPED start{};
          ::SetEndOfFile(file);
          ::WriteFile(file, pid.data(), static_cast<DWORD>(pid.size()), &written, &start);
          return reinterpret_cast<std::intptr_t>(file);
        }
      } else {
        *holder = Holder(file);
      }
      ::CloseHandle(file);
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      if (failure != 0) *reason = Reason(failure);
      return -1;
    }
    ::Sleep(pause_ms);
    pause_ms = std::min<DWORD>(pause_ms * 2, 32);
  }
}

void ReleaseLock(std::intptr_t handle, const std::string& path) {
  ::DeleteFileW(SystemPath(path).c_str());
  ::CloseHandle(reinterpret_cast<HANDLE>(handle));
}

}  // namespace platform

// The arguments come from the UTF-16 command line, not from the ANSI code
// page's `argv`, which loses every character outside it.
std::vector<std::string> StartProgram(int argc, char** argv) {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> args;
  args.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) args.push_back(Utf8(wide[i]));
  ::LocalFree(wide);
  return args;
}

}  // namespace vigil
