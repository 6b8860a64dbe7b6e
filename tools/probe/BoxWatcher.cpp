#include "probe/BoxWatcher.h"

#include "probe/IconKind.h"

namespace probe {
namespace {

// The message box's text control has this id in Windows and in Wine alike.
constexpr int kTextId = 0xFFFF;
// A box is read once it has been visible this long, so that it is laid out and painted.
constexpr DWORD kSettleMs = 300;
// A busy machine may paint later still: an icon not yet recognised is looked at again until then.
constexpr DWORD kPaintedMs = 3000;
// A press that did not close the box within this time is repeated.
constexpr DWORD kRepressMs = 2000;

std::string ClassOf(HWND window) {
  char name[256] = {};
  const int length = GetClassNameA(window, name, sizeof name);
  return std::string(name, length > 0 ? length : 0);
}

// Asks the window itself: a control's text lives in its own process. A window that does not
// answer in time gets the system's copy of its caption.
std::string TextOf(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) {
    char caption[1024] = {};
    const int copied = GetWindowTextA(window, caption, sizeof caption);
    return std::string(caption, copied > 0 ? copied : 0);
  }
  std::string text(length + 1, '\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 2000, &copied);
  text.resize(copied);
  return text;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> children;
  EnumChildWindows(
      parent,
      [](HWND child, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&children));
  return children;
}

std::vector<HWND> BoxesOfOthers() {
  std::vector<HWND> boxes;
  EnumWindows(
      [](HWND window, LPARAM list) -> BOOL {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        if (process != GetCurrentProcessId() && ClassOf(window) == "#32770")
          reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&boxes));
  return boxes;
}

void PressOk(HWND box) {
  const HWND ok = GetDlgItem(box, IDOK);
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
}

}  // namespace

BoxReport ReadBox(HWND box) {
  BoxReport report;
  report.caption = TextOf(box);
  const HWND textControl = GetDlgItem(box, kTextId);
  report.text = textControl != nullptr ? TextOf(textControl) : std::string();
  const HWND owner = GetWindow(box, GW_OWNER);
  report.ownerClass = owner != nullptr ? ClassOf(owner) : "-";
  report.icon = "none";
  for (const HWND child : Children(box)) {
    if (!IsWindowVisible(child))
      continue;
    const std::string kind = ClassOf(child);
    if (kind == "Button") {
      std::string label;
      for (const char c : TextOf(child)) {
        if (c != '&')
          label += c;
      }
      report.buttons += (report.buttons.empty() ? "" : ",") + label;
    } else if (kind == "Static" && (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
      report.icon = IconKind(child);
    }
  }
  return report;
}

void BoxWatcher::Scan() {
  const DWORD now = GetTickCount();
  const std::vector<HWND> boxes = BoxesOfOthers();
  for (auto it = seen_.begin(); it != seen_.end();) {
    if (!IsWindow(it->first)) {
      if (it->second.reported)
        event_({"gone", it->second.text});
      it = seen_.erase(it);
    } else {
      ++it;
    }
  }
  for (const HWND box : boxes) Visit(box, now);
}

void BoxWatcher::Visit(HWND box, DWORD now) {
  if (!IsWindowVisible(box))
    return;
  Seen& seen = seen_[box];
  if (!seen.visible) {
    seen.visible = true;
    seen.firstVisible = now;
  }
  if (!seen.reported) {
    if (now - seen.firstVisible < kSettleMs)
      return;
    const BoxReport report = ReadBox(box);
    if (report.icon == "unknown" && now - seen.firstVisible < kPaintedMs)
      return;
    seen.reported = true;
    seen.text = report.text;
    event_({"box", report.caption, report.text, report.ownerClass, report.buttons, report.icon});
  }
  if (hold_)
    return;
  if (seen.pressedAt == 0 || now - seen.pressedAt >= kRepressMs) {
    if (seen.pressedAt == 0)
      event_({"pressed", seen.text});
    seen.pressedAt = now | 1;
    PressOk(box);
  }
}

}  // namespace probe
