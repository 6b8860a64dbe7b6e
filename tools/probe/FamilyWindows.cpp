#include "probe/FamilyWindows.h"

#include <set>

namespace probe {
namespace {

struct Kind {
  const char* name;
  const char* className;
  const char* caption;
};

// The three windows the executer watches for, and two near misses that it must not count: the
// right class with another caption, and the right caption with another class.
const Kind kKinds[] = {
    {"quillmar", "TfrmQuillmar", "Quillmar v.2.5 Final Release"},
    {"editor", "TfrmMenuEditor", "Quillmar Menu Editor v.4.02"},
    {"settings", "TfrmQuillmarSettings", "Vostrelin Quillmar 2.5 Settings"},
    {"decoy-class", "TfrmQuillmar", "Quillmar v.2.5"},
    {"decoy-caption", "TfrmEditor", "Quillmar Menu Editor v.4.02"},
};

const Kind* Find(const std::string& name) {
  for (const Kind& kind : kKinds) {
    if (name == kind.name)
      return &kind;
  }
  return nullptr;
}

// The family's windows stay until the probe is told to remove them, whoever asks them to close.
LRESULT CALLBACK FamilyProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE)
    return 0;
  return DefWindowProcA(window, message, wParam, lParam);
}

bool Register(const char* className) {
  static std::set<std::string> registered;
  if (registered.count(className) != 0)
    return true;
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = FamilyProcedure;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = className;
  if (RegisterClassA(&windowClass) == 0)
    return false;
  registered.insert(className);
  return true;
}

}  // namespace

FamilyWindows::FamilyWindows() = default;

FamilyWindows::~FamilyWindows() {
  for (const auto& [name, window] : open_) DestroyWindow(window);
}

bool FamilyWindows::Known(const std::string& name) {
  return Find(name) != nullptr;
}

bool FamilyWindows::Open(const std::string& name, bool shown) {
  const Kind* kind = Find(name);
  if (kind == nullptr || open_.count(name) != 0 || !Register(kind->className))
    return false;
  const HWND window =
      CreateWindowExA(0, kind->className, kind->caption, WS_OVERLAPPEDWINDOW, 40, 40, 360, 120,
                      nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (window == nullptr)
    return false;
  if (shown)
    ShowWindow(window, SW_SHOWNOACTIVATE);
  open_[name] = window;
  return true;
}

std::vector<std::string> FamilyWindows::Names() const {
  std::vector<std::string> names;
  for (const auto& [name, window] : open_) names.push_back(name);
  return names;
}

bool FamilyWindows::Close(const std::string& name) {
  const auto found = open_.find(name);
  if (found == open_.end())
    return false;
  DestroyWindow(found->second);
  open_.erase(found);
  return true;
}

}  // namespace probe
