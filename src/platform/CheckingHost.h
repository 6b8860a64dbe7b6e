#pragma once
// What qefcheck checks a folder with, on every system it runs on: a reading host, which cannot
// change a file, that also tells a link from a file without following it and whether the user
// could write a file or add to a folder. The Win32, POSIX and simulated platforms all are one.

#include "platform/Links.h"
#include "platform/ReadingHost.h"
#include "platform/WriteAccess.h"

namespace pendulon {

class CheckingHost : public virtual ReadingHost, public Links, public WriteAccess {};

}  // namespace pendulon
