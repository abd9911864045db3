// What the start-up checks ask of the system: a new enough kernel and a loadable
// video output library.
#pragma once

namespace quvo::win32 {

// Reads "major.minor" from the front of a kernel release such as "6.1.0-13-amd64".
bool ParseKernelRelease(const char* release, int* major, int* minor);

// True when the running kernel (uname) is at least major.minor.
bool KernelReleaseAtLeast(int major, int minor);

// The oldest kernel the system supports: 4.0.
inline bool IsSupportedKernel() { return KernelReleaseAtLeast(4, 0); }

// Loads the video output library (SDL2) by its run-time name and unloads it at once.
bool CanLoadVideoOutputLibrary();

inline constexpr const char* kVideoOutputLibrary = "libSDL2-2.0.so.0";

}  // namespace quvo::win32
