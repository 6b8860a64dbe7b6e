#pragma once
// What Windows does when a path names a drive that cannot answer, such as an empty card reader.

namespace pendulon {

// Has such a lookup fail at once instead of showing the system's "There is no disk in the
// drive" box, which would hold qefcheck until someone answered it (SetErrorMode with
// SEM_FAILCRITICALERRORS). For the whole process, from its start.
void FailDriveErrorsQuietly() noexcept;

}  // namespace pendulon
