// The write path: normal mode writes every block, splitting at the fragment limit;
// capture-on-the-fly mode writes only while recording and starts the recording and
// each new fragment at a start point (StartCodeScan.h).
#include <unistd.h>

#include <algorithm>

#include "filewriter/WriterState.h"
#include "platform/win32/Errors.h"

namespace quvo::filewriter {

// The bytes one on-the-fly write works on: the block, or the bytes held from earlier
// blocks joined with it. `inCarry` says the bytes live in carry_ itself.
struct WriterState::View {
    const BYTE* data;
    std::size_t size;
    bool inCarry;
    std::size_t scanFrom;  // first position no earlier scan has examined
    bool packAtZero;       // begins with the pack header an earlier scan left pending
};

HRESULT WriterState::WriteData(const BYTE* block, DWORD n)
{
    if (limitReached_) return S_OK;
    if (onTheFly_) return WriteOnTheFly(block, n);

    // Only a recording switched out of on-the-fly mode leaves bytes held.
    HRESULT hr = FlushPending();
    if (FAILED(hr)) return hr;

    std::size_t size = n;
    if (captureLimitOn_) {
        ULONGLONG total = totalBytes_.load(std::memory_order_relaxed);
        ULONGLONG remaining = captureLimit_ > total ? captureLimit_ - total : 0;
        if (size >= remaining) {
            size = static_cast<std::size_t>(remaining);
            if (size == 0) {
                limitReached_ = true;
                return S_OK;
            }
        }
    }
    // An empty fragment takes even a block larger than the limit: splitting it off
    // would leave an empty file behind.
    if (fragmentLimit_ != 0 && fragmentBytes_ > 0 && fragmentBytes_ + size > fragmentLimit_) {
        hr = StartNewFragment();
        if (FAILED(hr)) return hr;
    }
    return Output(block, size);
}

HRESULT WriterState::WriteOnTheFly(const BYTE* block, DWORD n)
{
    if (limitReached_ || !recording_) {
        DropPending();
        ResetStartSearch();
        recording_ = false;
        return S_OK;
    }
    if (CaptureLimitExhausted()) {
        limitReached_ = true;
        DropPending();
        return S_OK;
    }

    // Join what earlier scans held back to this block, so that a start code cut by a
    // block boundary is seen whole. Bytes of carry_ are not examined twice.
    View view{block, n, false, 0, false};
    if (!carry_.empty()) {
        view.scanFrom = carry_.size() - 3;  // its last three bytes could not be examined
        view.packAtZero = true;
        carry_.insert(carry_.end(), block, block + n);
        view.data = carry_.data();
        view.size = carry_.size();
        view.inCarry = true;
    } else if (heldBackCount_ > 0) {
        scratch_.assign(kPackHeaderPrefix, kPackHeaderPrefix + heldBackCount_);
        scratch_.insert(scratch_.end(), block, block + n);
        heldBackCount_ = 0;
        view.data = scratch_.data();
        view.size = scratch_.size();
    }

    if (needStart_) {
        StartPointScan scan = FindStartPoint(view.data, view.size, view.scanFrom, view.packAtZero);
        NoteScan(scan);
        if (scan.outcome != StartPointScan::Outcome::Found) {
            KeepPending(view, scan);  // everything before it precedes the recording
            return S_OK;
        }
        // The recording's first byte is the pack header of the start point.
        view.data += scan.offset;
        view.size -= scan.offset;
        view.scanFrom = 0;
        view.packAtZero = false;
        needStart_ = false;
        splitOffset_ = 0;
    }

    HRESULT hr = S_OK;
    if (fragmentLimit_ != 0 && fragmentBytes_ > 0 && fragmentBytes_ + view.size > fragmentLimit_) {
        StartPointScan scan = FindStartPoint(view.data, view.size, view.scanFrom, view.packAtZero);
        NoteScan(scan);
        if (scan.outcome != StartPointScan::Outcome::Found) {
            // No start point yet: the fragment grows past its limit; only what may
            // still begin one waits for the next block.
            std::size_t writable =
                scan.outcome == StartPointScan::Outcome::PackPending ? scan.offset : view.size - scan.heldBack;
            hr = Output(view.data, writable);
            KeepPending(view, scan);
            return hr;
        }
        if (scan.offset > 0) {
            hr = Output(view.data, scan.offset);
            if (FAILED(hr) || limitReached_) {
                if (view.inCarry) carry_.clear();
                return hr;
            }
            view.data += scan.offset;
            view.size -= scan.offset;
        }
        sequenceFound_ = false;
        packFound_ = false;
        hr = StartNewFragment();
        if (FAILED(hr)) {
            if (view.inCarry) carry_.clear();
            return hr;
        }
    }
    hr = Output(view.data, view.size);
    if (view.inCarry) carry_.clear();
    return hr;
}

void WriterState::NoteScan(const StartPointScan& scan)
{
    packFound_ = scan.packFound;
    sequenceFound_ = scan.sequenceFound;
    splitOffset_ = scan.outcome == StartPointScan::Outcome::None ? 0 : static_cast<DWORD>(scan.offset);
}

void WriterState::KeepPending(const View& view, const StartPointScan& scan)
{
    if (scan.outcome == StartPointScan::Outcome::PackPending) {
        if (view.inCarry) {
            std::size_t skip = static_cast<std::size_t>(view.data - carry_.data()) + scan.offset;
            carry_.erase(carry_.begin(), carry_.begin() + static_cast<std::ptrdiff_t>(skip));
        } else {
            carry_.assign(view.data + scan.offset, view.data + view.size);
        }
        heldBackCount_ = 0;
        return;
    }
    carry_.clear();
    heldBackCount_ = static_cast<BYTE>(scan.heldBack);
}

HRESULT WriterState::Output(const BYTE* data, std::size_t n)
{
    if (!dataFile_.IsOpen()) return S_OK;
    bool reachesLimit = false;
    if (captureLimitOn_) {
        ULONGLONG total = totalBytes_.load(std::memory_order_relaxed);
        ULONGLONG remaining = captureLimit_ > total ? captureLimit_ - total : 0;
        if (n >= remaining) {
            n = static_cast<std::size_t>(remaining);
            reachesLimit = true;
        }
    }
    std::size_t done = 0;
    while (done < n) {
        // One call per block in practice; the chunking only keeps sizes within a DWORD.
        DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(n - done, 1u << 30));
        DWORD written = 0;
        if (!dataFile_.Write(data + done, chunk, &written)) {
            DWORD err = GetLastError();
            // Take back the part of the block that did get in, so that the file holds
            // exactly what was counted and the next block follows it seamlessly.
            if (done + written > 0) {
                off_t keep = static_cast<off_t>(fragmentBytes_);
                if (ftruncate(dataFile_.Fd(), keep) != 0 || lseek(dataFile_.Fd(), keep, SEEK_SET) != keep) {
                    // The file now holds more than its count says; nothing better can be done.
                }
            }
            return err ? HRESULT_FROM_WIN32(err) : E_FAIL;
        }
        done += chunk;
    }
    if (n > 0) {
        dataWritten_ = true;
        fragmentBytes_ += n;
        totalBytes_.fetch_add(n, std::memory_order_relaxed);
    }
    if (reachesLimit) limitReached_ = true;
    return S_OK;
}

bool WriterState::CaptureLimitExhausted() const
{
    return captureLimitOn_ && totalBytes_.load(std::memory_order_relaxed) >= captureLimit_;
}

HRESULT WriterState::FlushPending()
{
    if (carry_.empty() && heldBackCount_ == 0) return S_OK;
    HRESULT hr = S_OK;
    // Held bytes after the recording's start point are part of it; before it they are not.
    if (recording_ && !limitReached_ && !needStart_) {
        if (!carry_.empty())
            hr = Output(carry_.data(), carry_.size());
        else
            hr = Output(kPackHeaderPrefix, heldBackCount_);
    }
    DropPending();
    return hr;
}

void WriterState::DropPending()
{
    carry_.clear();
    // A carry-over can grow large on a stream without start points; give it back.
    if (carry_.capacity() > (1u << 20)) carry_.shrink_to_fit();
    heldBackCount_ = 0;
}

void WriterState::ResetStartSearch()
{
    DropPending();
    needStart_ = true;
    sequenceFound_ = false;
    packFound_ = false;
    splitOffset_ = 0;
}

}  // namespace quvo::filewriter
