#include "outside/maker/FragmentFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/com/HResult.h"
#include "platform/win32/Errors.h"
#include "platform/win32/File.h"

namespace quvo::maker {

ReadDescriptor& ReadDescriptor::operator=(ReadDescriptor&& o) noexcept
{
    if (this != &o) {
        Close();
        fd_ = o.fd_;
        o.fd_ = -1;
    }
    return *this;
}

HRESULT ReadDescriptor::Open(const std::string& path)
{
    Close();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return HRESULT_FROM_WIN32(quvo::win32::ErrorForPath(errno, path.c_str()));
    struct stat info{};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        const HRESULT hr = HRESULT_FROM_WIN32(S_ISDIR(info.st_mode) ? ERROR_ACCESS_DENIED : ERROR_READ_FAULT);
        ::close(fd);
        return hr;
    }
    fd_ = fd;
    return S_OK;
}

HRESULT ReadDescriptor::Read(void* buffer, std::size_t size, std::size_t* got)
{
    *got = 0;
    if (fd_ < 0) return S_OK;
    auto* at = static_cast<char*>(buffer);
    while (*got < size) {
        const ssize_t n = ::read(fd_, at + *got, size - *got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return HRESULT_FROM_WIN32(Win32ErrorFromErrno(errno));
        if (n == 0) break;
        *got += static_cast<std::size_t>(n);
    }
    return S_OK;
}

void ReadDescriptor::Close()
{
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

HRESULT FragmentSequence::Rewind()
{
    next_ = 1;
    return files_.empty() ? E_FAIL : current_.Open(files_.front());
}

HRESULT FragmentSequence::Read(void* buffer, std::size_t size, std::size_t* got)
{
    *got = 0;
    while (current_.IsOpen()) {
        const HRESULT hr = current_.Read(buffer, size, got);
        if (FAILED(hr) || *got > 0) return hr;
        // This fragment is done; a missing next one ends the recording here.
        current_.Close();
        if (next_ < files_.size() && FAILED(current_.Open(files_[next_]))) current_.Close();
        ++next_;
    }
    return S_OK;
}

}  // namespace quvo::maker
