#include "probe/IconKind.h"

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <vector>

namespace probe {
namespace {

// A 32-bit top-down bitmap with a memory DC selected into it, released on every path.
class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    if (bitmap_ != nullptr)
      previous_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    if (previous_ != nullptr)
      SelectObject(dc_, previous_);
    if (bitmap_ != nullptr)
      DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  bool Valid() const { return bits_ != nullptr; }
  HDC Dc() const { return dc_; }
  std::uint32_t Pixel(int x, int y) const {
    return static_cast<const std::uint32_t*>(bits_)[y * width_ + x] & 0xFFFFFF;
  }
  void Fill(std::uint32_t colour) {
    auto* pixels = static_cast<std::uint32_t*>(bits_);
    for (int i = 0; i < width_ * height_; ++i) pixels[i] = colour;
  }

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  void* bits_ = nullptr;
};

// Owns the screen's DC. Reading another process's window through its own DC fails under Wine;
// the screen shows the same pixels while the box is on top.
class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ~ScreenDc() {
    if (dc_ != nullptr)
      ReleaseDC(nullptr, dc_);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};

long Difference(std::uint32_t a, std::uint32_t b) {
  long sum = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    sum +=
        std::labs(static_cast<long>((a >> shift) & 0xFF) - static_cast<long>((b >> shift) & 0xFF));
  }
  return sum;
}

}  // namespace

std::string IconKind(HWND iconControl) {
  RECT area;
  if (!GetClientRect(iconControl, &area) || area.right <= 0 || area.bottom <= 0)
    return "unknown";
  const int width = area.right, height = area.bottom;
  Canvas shown(width, height);
  {
    POINT origin = {0, 0};
    ClientToScreen(iconControl, &origin);
    const ScreenDc screen;
    if (!shown.Valid() || screen.Get() == nullptr ||
        !BitBlt(shown.Dc(), 0, 0, width, height, screen.Get(), origin.x, origin.y, SRCCOPY)) {
      return "unknown";
    }
  }
  struct Candidate {
    const char* kind;
    LPCSTR icon;
  };
  const Candidate candidates[] = {{"error", IDI_ERROR},
                                  {"warning", IDI_WARNING},
                                  {"information", IDI_INFORMATION},
                                  {"question", IDI_QUESTION}};
  // The icon's corners are transparent, so its top-left pixel is the background it was drawn on.
  const std::uint32_t background = shown.Pixel(0, 0);
  const char* best = "unknown";
  long bestDifference = std::numeric_limits<long>::max();
  for (const Candidate& candidate : candidates) {
    Canvas drawn(width, height);
    if (!drawn.Valid())
      continue;
    drawn.Fill(background);
    const HICON icon = LoadIconA(nullptr, candidate.icon);
    if (icon == nullptr || !DrawIconEx(drawn.Dc(), 0, 0, icon, 0, 0, 0, nullptr, DI_NORMAL))
      continue;
    long difference = 0;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x)
        difference += Difference(shown.Pixel(x, y), drawn.Pixel(x, y));
    }
    if (difference < bestDifference) {
      bestDifference = difference;
      best = candidate.kind;
    }
  }
  // A few stray pixels (scaling, blending) are fine; a wholly different picture is not.
  const long allowed = 8L * width * height;
  return bestDifference <= allowed ? best : "unknown";
}

}  // namespace probe
