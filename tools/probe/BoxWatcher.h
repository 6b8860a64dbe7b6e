#pragma once
// Finds the message boxes that other processes show, records each once, and presses its OK
// button unless boxes are being held open.

#include <windows.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace probe {

// What one box showed.
struct BoxReport {
  std::string caption;
  std::string text;
  std::string ownerClass;  // "-" for a box without owner
  std::string buttons;     // the visible buttons' texts, comma-separated, without '&'
  std::string icon;        // see IconKind
};

class BoxWatcher {
 public:
  // event gets the fields of each log line: ("box", caption, text, owner class, buttons, icon),
  // ("pressed", text) and ("gone", text).
  using EventSink = std::function<void(const std::vector<std::string>&)>;

  explicit BoxWatcher(EventSink event) : event_(std::move(event)) {}

  // Looks at the top-level windows once: reports new boxes, presses OK, forgets closed ones.
  void Scan();
  // While held, boxes are reported but left open; releasing presses OK on every open one.
  void SetHold(bool hold) { hold_ = hold; }

 private:
  struct Seen {
    // A flag of its own, not a tick forced non-zero: now | 1 can lie ahead of now, and the
    // unsigned age would wrap and skip the settling time.
    bool visible = false;
    DWORD firstVisible = 0;  // tick count when first seen visible
    bool reported = false;
    DWORD pressedAt = 0;  // 0 until OK was pressed
    std::string text;
  };

  void Visit(HWND box, DWORD now);

  EventSink event_;
  bool hold_ = false;
  std::map<HWND, Seen> seen_;
};

// Returns a report of the box as it is now.
BoxReport ReadBox(HWND box);

}  // namespace probe
