#pragma once
// The terminal of the Linux build: the files' bytes taken as Windows-1252, the ANSI code page of
// Western Windows, and shown in UTF-8, as the JSON report already decodes them.

#include "platform/ConsoleText.h"

namespace pendulon {

class Windows1252Text final : public ConsoleText {
 public:
  // The five bytes Windows-1252 leaves undefined have no character to show.
  bool Shown(std::string_view character, std::string& shown) override;
};

}  // namespace pendulon
