#pragma once
// A platform that hands every call to another one, so that a variant overrides only the calls
// it changes (a clock fixed at one minute, files opened for reading only).

#include "platform/Platform.h"

namespace pendulon {

class ForwardingPlatform : public Platform {
 public:
  explicit ForwardingPlatform(Platform& base) : base_(base) {}

  SystemTime LocalTime() override { return base_.LocalTime(); }
  void Sleep(std::uint32_t milliseconds) override { base_.Sleep(milliseconds); }

  FoundFile FindFile(const AnsiString& path) override { return base_.FindFile(path); }
  bool ToLocalFileTime(FileTime utc, FileTime& local) override {
    return base_.ToLocalFileTime(utc, local);
  }
  bool ToDosDateTime(FileTime time, std::uint16_t& date, std::uint16_t& timeOfDay) override {
    return base_.ToDosDateTime(time, date, timeOfDay);
  }
  FileHandle OpenFile(const AnsiString& path, std::uint32_t access, std::uint32_t share,
                      std::uint32_t disposition) override {
    return base_.OpenFile(path, access, share, disposition);
  }
  bool Read(FileHandle file, void* buffer, std::uint32_t count, std::uint32_t& bytesRead) override {
    return base_.Read(file, buffer, count, bytesRead);
  }
  std::int64_t Seek(FileHandle file, std::int64_t distance, SeekOrigin origin) override {
    return base_.Seek(file, distance, origin);
  }
  void Close(FileHandle file) override { base_.Close(file); }

  std::uint32_t ModuleFileName(char* buffer, std::uint32_t size) override {
    return base_.ModuleFileName(buffer, size);
  }
  AnsiString CommandLine() override { return base_.CommandLine(); }
  bool IsLeadByte(unsigned char byte) override { return base_.IsLeadByte(byte); }

  WindowHandle NewWindow(const AnsiString& className, const AnsiString& caption,
                         const WindowPlacement& placement, WindowClient* client) override {
    return base_.NewWindow(className, caption, placement, client);
  }
  void DestroyWindow(WindowHandle window) override { base_.DestroyWindow(window); }
  void SetCaption(WindowHandle window, const AnsiString& caption) override {
    base_.SetCaption(window, caption);
  }
  AnsiString Caption(WindowHandle window) override { return base_.Caption(window); }
  void SetVisible(WindowHandle window, bool visible) override { base_.SetVisible(window, visible); }
  bool WindowExists(const AnsiString& className, const AnsiString& caption) override {
    return base_.WindowExists(className, caption);
  }
  void ShowMessageBox(WindowHandle owner, const AnsiString& text, const AnsiString& caption,
                      std::uint32_t style) override {
    base_.ShowMessageBox(owner, text, caption, style);
  }
  std::vector<WindowHandle> InputWindows() override { return base_.InputWindows(); }
  void EnableInput(WindowHandle window, bool enable) override { base_.EnableInput(window, enable); }
  WindowHandle ActiveWindow() override { return base_.ActiveWindow(); }
  void Activate(WindowHandle window) override { base_.Activate(window); }
  void ShellOpen(WindowHandle owner, const AnsiString& verb, const AnsiString& file,
                 const AnsiString& parameters, const AnsiString& directory,
                 int showCommand) override {
    base_.ShellOpen(owner, verb, file, parameters, directory, showCommand);
  }

  bool StartTimer(WindowHandle owner, TimerSink* sink, std::uint32_t interval) override {
    return base_.StartTimer(owner, sink, interval);
  }
  void StopTimer(WindowHandle owner, TimerSink* sink) override { base_.StopTimer(owner, sink); }
  Pumped PumpMessage() override { return base_.PumpMessage(); }
  void WaitForMessage() override { base_.WaitForMessage(); }
  void PostQuit() override { base_.PostQuit(); }

  std::unique_ptr<ScopedLock> LockSingleCopy() override { return base_.LockSingleCopy(); }

 protected:
  Platform& Base() { return base_; }

 private:
  Platform& base_;
};

}  // namespace pendulon
