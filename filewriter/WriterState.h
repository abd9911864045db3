// The writer's file logic: turns the received blocks into fragment files of bounded
// size and a description file that lists them, under a total limit, and in capture-
// on-the-fly mode starts the recording and each fragment at an MPEG start point.
//
// Not thread-safe: the owner serializes every call (FileWriter holds its receive lock
// around each one). Only BytesStreamed() may be called from any thread at any time.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "filewriter/DurableFlush.h"
#include "filewriter/StartCodeScan.h"
#include "platform/com/HResult.h"
#include "platform/win32/File.h"

namespace quvo::filewriter {

// The plain-number results of SetFileName (not HRESULTs).
inline constexpr HRESULT kNameTooLong = 206;  // ERROR_FILENAME_EXCED_RANGE
inline constexpr HRESULT kInvalidName = 123;  // ERROR_INVALID_NAME

class WriterState {
public:
    // Answers the file-system name of the volume that holds `path` (false when no
    // volume is found). The default asks the platform; tests inject names.
    using VolumeQuery = std::function<bool(const std::string& path, std::string* fileSystemName)>;

    explicit WriterState(VolumeQuery volumeQuery = {});
    // Closes the fragment (with its description line) and the description file.
    ~WriterState();
    WriterState(const WriterState&) = delete;
    WriterState& operator=(const WriterState&) = delete;

    // IFileSinkFilter: S_OK, E_INVALIDARG (null name: files closed), E_OUTOFMEMORY,
    // kNameTooLong or kInvalidName.
    HRESULT SetFileName(LPCWSTR name);
    // The name given, or after a split the current fragment's name; empty if none.
    const std::u16string& CurrentName() const { return currentName_; }

    // WriterControl.
    HRESULT SetFileSizeLimit(DWORD kib);
    HRESULT SetCaptureLimit(ULONGLONG bytes);
    void EnableCaptureOnTheFly() { onTheFly_ = true; }
    void DisableCaptureOnTheFly() { onTheFly_ = false; }
    HRESULT StartRecording();
    HRESULT StopRecording();
    ULONGLONG BytesStreamed() const { return totalBytes_.load(std::memory_order_relaxed); }

    // Filter state changes. Stop flushes what the start-point search still holds, then
    // closes the files; Pause and Run open the current fragment. In normal mode they
    // answer the failure to open it, so that a capture that cannot write does not
    // start; in capture-on-the-fly mode StartRecording answers it instead.
    void Stop();
    HRESULT Pause();
    HRESULT Run();

    // The write path, for each received block. S_OK or the failure of a write or of
    // opening a fragment at a split; a failed block is not in the file.
    HRESULT WriteData(const BYTE* block, DWORD n);
    bool FragmentOpen() const { return dataFile_.IsOpen(); }
    // Returns once every closed file is on stable storage (benchmarks, tests).
    void WaitForFlush() { flush_.Wait(); }
    // The failure to create a description file since the last call (S_OK if none). The
    // fragment records without it: the recording matters more than its list.
    HRESULT TakeDescriptionFailure()
    {
        HRESULT hr = descriptionFailure_;
        descriptionFailure_ = S_OK;
        return hr;
    }

    // For tests and diagnostics.
    ULONGLONG FragmentLimit() const { return fragmentLimit_; }
    ULONGLONG FragmentBytes() const { return fragmentBytes_; }
    int FragmentIndex() const { return fragmentIndex_; }
    const std::string& FileSystemName() const { return fileSystemName_; }
    bool LimitReached() const { return limitReached_; }
    bool Recording() const { return recording_; }
    std::size_t PendingBytes() const { return carry_.size() + heldBackCount_; }

private:
    // Output files.
    HRESULT OpenFragment();
    void CloseFragment();
    void CloseDescription();
    void BuildFragmentName();
    HRESULT StartNewFragment();
    // A recording started with both files closed begins at the name given (fragment
    // 0, a new description file), as it does when no split happened, rather than
    // reopening the last fragment of the recording before without a description.
    void RestartAtGivenName();
    // Pause and Run: open the current fragment if none is open.
    HRESULT ReopenForStateChange();
    void DetectFileSystem(const std::string& ansiPath);

    // Write paths (WritePath.cpp).
    struct View;
    HRESULT WriteOnTheFly(const BYTE* block, DWORD n);
    // The block joined to what the start-point search holds back.
    View JoinPending(const BYTE* block, std::size_t n);
    // Writes the recording's bytes from here on. Near the fragment limit (within the
    // largest group of pictures seen, twice over) the next start point
    // ends the fragment; if none comes before the limit, the block that would pass it
    // begins the next fragment.
    HRESULT WriteStream(View view);
    bool NearLimit(ULONGLONG bytes) const;
    // Writes view bytes [from, to) that are not in the file yet.
    HRESULT Emit(const View& view, std::size_t from, std::size_t to);
    // Takes the fragment's last n bytes back out of the file and the counts.
    void TakeBack(std::size_t n);
    // Starts the next fragment before the view, which takes its bytes written ahead along.
    HRESULT SplitBefore(View& view);
    // `base`: the stream position of data[0].
    void Measure(const BYTE* data, std::size_t n, ULONGLONG base);
    void NoteStartPoint(ULONGLONG position);
    // Writes to the current fragment within the capture limit and counts what was written.
    HRESULT Output(const BYTE* data, std::size_t n);
    bool CaptureLimitExhausted() const;
    // How long a stream may show no start point before measuring stops for the fragment.
    static constexpr ULONGLONG kMeasureSpan = 8u << 20;
    // Writes the bytes the start-point search holds back when the recording owns them,
    // else drops them.
    HRESULT FlushPending();
    void DropPending();
    // Forgets the start-point search: nothing held, the next start point still to find.
    void ResetStartSearch();
    // Keeps what may still begin a start point (after a scan without one) for the next block.
    void KeepPending(const View& view, const StartPointScan& scan);
    void NoteScan(const StartPointScan& scan);

    // Field order and meaning follow the writer's documented state.
    FileHandle dataFile_;              // current fragment
    FileHandle descriptionFile_;       // description file
    std::u16string currentName_;       // full path of the current fragment
    std::u16string descriptionName_;   // full path of the description file
    int fragmentIndex_ = 0;            // 0 for the first fragment
    ULONGLONG fragmentBytes_ = 0;      // bytes in the current fragment
    ULONGLONG fragmentLimit_ = 0;      // split threshold; 0 never splits
    std::u16string baseName_;          // the name given, up to its last "."
    std::u16string extension_;         // the name given from its last "." on
    bool dataWritten_ = false;         // something was ever written
    bool sequenceFound_ = false;       // the last scan met a start point
    bool packFound_ = false;           // the last scan met a pack header
    bool needStart_ = true;            // the recording's first start point is still to be found
    DWORD splitOffset_ = 0;            // start point found by the last scan
    std::vector<BYTE> carry_;          // stream bytes from a pack header whose fate is still open
    std::string fileSystemName_;       // the target volume's file system
    BYTE heldBackCount_ = 0;           // 0-3 bytes cut off a scanned block: a prefix of 00 00 01
    bool limitReached_ = false;        // writing blocked
    bool captureLimitOn_ = false;
    bool onTheFly_ = false;
    bool recording_ = false;
    std::atomic<ULONGLONG> totalBytes_{0};  // read lock-free by GetBytesStreamed
    ULONGLONG captureLimit_ = 0;
    HRESULT descriptionFailure_ = S_OK;
    // Distances between start points, for the margin before the limit.
    ULONGLONG maxGroup_ = 0;           // largest distance seen; 0: no start points seen
    ULONGLONG groupStart_ = 0;         // stream position of the last start point seen
    bool groupStartKnown_ = false;     // ...and every byte since has been scanned
    bool measuring_ = true;            // scan blocks far from the limit too
    ULONGLONG unscannedSince_ = 0;     // bytes measured since the last start point
    std::size_t writtenAhead_ = 0;     // held bytes that are in the file already

    VolumeQuery volumeQuery_;
    DurableFlush flush_;  // last: it finishes its work after the files are closed
    std::vector<BYTE> scratch_;  // joins held-back bytes to a block; reused
};

}  // namespace quvo::filewriter
