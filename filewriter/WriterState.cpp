#include "filewriter/WriterState.h"

#include "filewriter/FileSizeRules.h"
#include "filewriter/OutputNames.h"
#include "platform/win32/Errors.h"
#include "platform/win32/Text.h"
#include "platform/win32/Volume.h"

namespace quvo::filewriter {
namespace {

// Room for the file-system name as the volume query hands it out.
constexpr DWORD kFileSystemNameSize = 20;

bool PlatformVolumeQuery(const std::string& path, std::string* fileSystemName)
{
    char name[kFileSystemNameSize] = {};
    if (!GetVolumeInformationA(path.c_str(), nullptr, 0, nullptr, nullptr, nullptr, name, kFileSystemNameSize))
        return false;
    fileSystemName->assign(name);
    return true;
}

// File calls take the name in the ANSI code page, at most MAX_PATH bytes with the
// terminator.
bool ToAnsi(const std::u16string& name, std::string* out)
{
    if (name.empty()) return false;
    char buffer[MAX_PATH];
    int n = WideCharToMultiByte(CP_ACP, 0, name.c_str(), -1, buffer, static_cast<int>(MAX_PATH), nullptr, nullptr);
    if (n <= 0) return false;
    out->assign(buffer, static_cast<std::size_t>(n - 1));
    return true;
}

// A failed file call's result; a failure is never reported as success.
HRESULT LastErrorResult()
{
    DWORD err = GetLastError();
    return err ? HRESULT_FROM_WIN32(err) : E_FAIL;
}

}  // namespace

WriterState::WriterState(VolumeQuery volumeQuery)
    : volumeQuery_(volumeQuery ? std::move(volumeQuery) : VolumeQuery(&PlatformVolumeQuery))
{
}

WriterState::~WriterState()
{
    try {
        FlushPending();
        CloseFragment();
    } catch (...) {
        // Out of memory for the last description line: the files still close below.
    }
    CloseDescription();
}

HRESULT WriterState::SetFileName(LPCWSTR name)
{
    // Bytes the start-point search still holds belong to the recording under the old name.
    FlushPending();
    ResetStartSearch();
    fileSystemName_.assign(kFileSystemNameSize, ' ');
    if (!name) {
        CloseFragment();
        CloseDescription();
        fragmentIndex_ = 0;
        return E_INVALIDARG;
    }
    fragmentIndex_ = 0;
    // Files opened under the old name are closed even when nothing was written to
    // them yet, so that the next recording cannot go on in a file of the old name.
    CloseFragment();
    CloseDescription();

    maxGroup_ = 0;  // a new recording may come from other settings
    std::u16string_view given(name);
    if (given.size() > MAX_PATH) return kNameTooLong;
    currentName_ = ReplaceDescriptionExtension(given);
    SplitAtLastDot(currentName_, &baseName_, &extension_);

    std::string ansi;
    if (!ToAnsi(currentName_, &ansi)) return kInvalidName;
    DetectFileSystem(ansi);
    return S_OK;
}

void WriterState::DetectFileSystem(const std::string& ansiPath)
{
    std::string found;
    if (!volumeQuery_(ansiPath, &found)) {
        SetFileSizeLimit(kNoVolumeDefaultKiB);
        return;
    }
    fileSystemName_ = found;
    if (const FileSystemLimits* limits = LimitsForFileSystem(fileSystemName_))
        SetFileSizeLimit(limits->defaultKiB);
}

HRESULT WriterState::SetFileSizeLimit(DWORD kib)
{
    if (kib == 0) return S_OK;
    fragmentLimit_ = static_cast<ULONGLONG>(kib) * 1024;
    if (const FileSystemLimits* limits = LimitsForFileSystem(fileSystemName_))
        if (fragmentLimit_ > limits->capBytes) fragmentLimit_ = limits->capBytes;
    return S_OK;
}

HRESULT WriterState::SetCaptureLimit(ULONGLONG bytes)
{
    captureLimit_ = bytes;
    captureLimitOn_ = true;
    return S_OK;
}

HRESULT WriterState::StartRecording()
{
    // A recording in progress simply goes on; restarting it would cut a gap into it.
    if (recording_ && !limitReached_ && dataFile_.IsOpen()) return S_OK;
    recording_ = true;
    DropPending();
    ResetStartSearch();
    limitReached_ = false;
    if (!dataFile_.IsOpen() && !descriptionFile_.IsOpen()) RestartAtGivenName();
    // A fragment that is already open keeps its number and count: renumbering it would
    // overwrite the fragments after the first at the next split.
    return OpenFragment();
}

HRESULT WriterState::StopRecording()
{
    FlushPending();
    recording_ = false;
    limitReached_ = true;
    needStart_ = true;
    CloseFragment();
    CloseDescription();
    return S_OK;
}

void WriterState::Stop()
{
    FlushPending();
    CloseFragment();
    CloseDescription();
    ResetStartSearch();
    recording_ = false;
}

HRESULT WriterState::Pause() { return limitReached_ ? S_OK : ReopenForStateChange(); }

HRESULT WriterState::Run()
{
    limitReached_ = false;
    return ReopenForStateChange();
}

HRESULT WriterState::ReopenForStateChange()
{
    if (dataFile_.IsOpen()) return S_OK;
    if (!descriptionFile_.IsOpen()) RestartAtGivenName();
    HRESULT hr = OpenFragment();
    if (onTheFly_) return S_OK;  // the recording is not on yet; StartRecording reports
    if (hr == kInvalidName) return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
    return FAILED(hr) ? hr : S_OK;
}

void WriterState::RestartAtGivenName()
{
    fragmentIndex_ = 0;
    if (!baseName_.empty() || !extension_.empty()) currentName_ = baseName_ + extension_;
}

HRESULT WriterState::OpenFragment()
{
    if (dataFile_.IsOpen()) return S_OK;
    std::string ansi;
    if (!ToAnsi(currentName_, &ansi)) return kInvalidName;
    dataFile_ = CreateFileA(ansi.c_str(), GENERIC_WRITE, 0, CREATE_ALWAYS);
    if (!dataFile_.IsOpen()) return LastErrorResult();
    fragmentBytes_ = 0;  // the file was created empty
    if (fragmentIndex_ == 0 && !descriptionFile_.IsOpen()) {
        // Without its description file the fragment records all the same.
        descriptionName_ = DescriptionName(baseName_);
        std::string ansiDescription;
        if (!ToAnsi(descriptionName_, &ansiDescription)) {
            descriptionFailure_ = HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
        } else {
            descriptionFile_ = CreateFileA(ansiDescription.c_str(), GENERIC_WRITE, 0, CREATE_ALWAYS);
            if (!descriptionFile_.IsOpen())
                descriptionFailure_ = LastErrorResult();
            else  // readers check the header; a failure here shows up at the first line anyway
                descriptionFile_.Write(kDescriptionHeader.data(), static_cast<DWORD>(kDescriptionHeader.size()), nullptr);
        }
    }
    flush_.SyncFolderOf(ansi);  // the new names survive a power cut
    return S_OK;
}

void WriterState::CloseFragment()
{
    if (!dataFile_.IsOpen()) return;
    flush_.SyncFile(dataFile_.Fd());  // before its line, so the line never lists lost bytes
    dataFile_.Close();
    std::string ansi;
    if (descriptionFile_.IsOpen() && dataWritten_ && ToAnsi(currentName_, &ansi)) {
        std::string line = DescriptionLine(ansi, fragmentBytes_);
        descriptionFile_.Write(line.data(), static_cast<DWORD>(line.size()), nullptr);
        flush_.SyncFile(descriptionFile_.Fd());
    }
}

void WriterState::CloseDescription()
{
    if (descriptionFile_.IsOpen()) descriptionFile_.Close();
}

void WriterState::BuildFragmentName() { currentName_ = FragmentName(baseName_, fragmentIndex_, extension_); }

HRESULT WriterState::StartNewFragment()
{
    ++fragmentIndex_;
    measuring_ = true;  // one group of pictures of each fragment is measured
    unscannedSince_ = 0;
    CloseFragment();  // its line names the fragment just finished
    BuildFragmentName();
    fragmentBytes_ = 0;
    HRESULT hr = OpenFragment();
    // The write path reports failures only, so a name that cannot be converted
    // becomes a failure code here.
    if (hr == kInvalidName) return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
    return FAILED(hr) ? hr : S_OK;
}

}  // namespace quvo::filewriter
