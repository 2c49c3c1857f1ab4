// The host path of an open descriptor, as the kernel reports it (with
// " (deleted)" after the name of a file deleted while open).
#pragma once
#include <string>

namespace winsim::files {

// False (errno set) when the kernel tells no path.
bool HostPathOfFd(int fd, std::string* path);

// Whether a path from HostPathOfFd carries the kernel's " (deleted)" mark.
bool EndsWithDeletedMark(const std::string& path);

}  // namespace winsim::files
