// Helpers shared by the test programs: where the build lies, Wine's view of
// Unix paths, and starting the program and finding its window.
#pragma once
#include <windows.h>

#include <string>

namespace testing_support {

std::wstring Env(const wchar_t* name);
// "/a/b" -> "Z:\a\b" (Wine maps the Unix root to drive Z:).
std::wstring FromUnixPath(const std::wstring& unixPath);
// The Unix path Wine uses for a Windows path, or empty when Wine cannot say.
std::wstring ToUnixPath(const std::wstring& winPath);

// Runs a Unix program of the host (Wine starts it) and waits for it; Wine may
// return before the program has finished its work, so callers wait for its effect.
bool RunUnix(std::wstring commandLine);
// Makes a Unix symbolic link `link` -> `target` (both Windows paths inside the
// prefix); false where links cannot be made this way (not Wine).
bool MakeSymlink(const std::wstring& target, const std::wstring& link);
// Moves `path` to `movedTo` from the Unix side, where no open handle can stop
// it, and puts a Unix link to `target` in its place (all Windows paths inside
// the prefix); false where that cannot be done (not Wine).
bool SwapForLink(const std::wstring& path, const std::wstring& movedTo, const std::wstring& target);

// A drive letter of the prefix mapped onto the folder `target` for the
// object's life, as a user may map one in Wine's dosdevices folder. Wine
// names folders by the deepest letter that reaches them, and its processes
// take a letter's coming and going into their names within a second: both
// ends wait for that.
class MappedDrive {
 public:
  MappedDrive(wchar_t letter, const std::wstring& target);
  ~MappedDrive();
  MappedDrive(const MappedDrive&) = delete;
  MappedDrive& operator=(const MappedDrive&) = delete;
  bool Mapped() const { return mapped_; }

 private:
  std::wstring root_, link_;
  bool mapped_ = false;
};

std::wstring BuildDir();    // Windows form of the build folder
std::wstring ProgramPath(); // Windows form of Vantorel.exe

// A started program; the handle is closed (and the process killed if still
// running) when the object goes.
class StartedProcess {
 public:
  StartedProcess() = default;
  ~StartedProcess();
  StartedProcess(const StartedProcess&) = delete;
  StartedProcess& operator=(const StartedProcess&) = delete;

  bool Start(const std::wstring& exe, const std::wstring& args);
  // Waits up to `ms` for a top-level window of `className` owned by this
  // process (a visible one when `visible`: the window is then fully made).
  HWND WaitForWindow(const wchar_t* className, DWORD ms, bool visible = false) const;
  // Waits up to `ms` until the program has handled what it was sent and
  // posted and waits for input; false on timeout.
  bool WaitForIdle(DWORD ms) const;
  // Waits up to `ms`; returns true and fills `exitCode` when it ended.
  bool WaitForExit(DWORD ms, DWORD* exitCode);
  DWORD Id() const { return pi_.dwProcessId; }

 private:
  PROCESS_INFORMATION pi_{};
};

}  // namespace testing_support
