// Reading the files of one recording one after another as one byte stream.
// Failures carry the system's error as an HRESULT (HRESULT_FROM_WIN32).
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/com/HResult.h"
#include "platform/com/Types.h"

namespace quvo::maker {

// An open file descriptor, closed when the object goes.
class ReadDescriptor {
public:
    ReadDescriptor() = default;
    ReadDescriptor(ReadDescriptor&& o) noexcept : fd_(o.fd_) { o.fd_ = -1; }
    ReadDescriptor& operator=(ReadDescriptor&& o) noexcept;
    ReadDescriptor(const ReadDescriptor&) = delete;
    ReadDescriptor& operator=(const ReadDescriptor&) = delete;
    ~ReadDescriptor() { Close(); }

    // Opens a regular file for reading: S_OK or the failure (a folder is refused
    // with access denied, as a Windows reader refuses it).
    HRESULT Open(const std::string& path);
    // Up to `size` bytes into `buffer` (a short count only at the end of the file);
    // *got is 0 at the end.
    HRESULT Read(void* buffer, std::size_t size, std::size_t* got);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

// The fragments in order; a fragment that cannot be opened ends the stream there.
class FragmentSequence {
public:
    explicit FragmentSequence(std::vector<std::string> files) : files_(std::move(files)) {}

    // Back to the first byte of the first fragment: S_OK or why it cannot be read.
    HRESULT Rewind();
    // Fills up to `size` bytes, moving on to the next fragment at each end; *got 0
    // is the end of the recording.
    HRESULT Read(void* buffer, std::size_t size, std::size_t* got);

private:
    std::vector<std::string> files_;
    std::size_t next_ = 0;  // index of the fragment to open after the current one
    ReadDescriptor current_;
};

}  // namespace quvo::maker
