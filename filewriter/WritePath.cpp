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
    std::size_t ahead = 0;  // its first bytes that are already the fragment's last ones
};

HRESULT WriterState::WriteData(const BYTE* block, DWORD n)
{
    if (limitReached_) return S_OK;
    if (onTheFly_) return WriteOnTheFly(block, n);

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
    return WriteStream(JoinPending(block, size));
}

WriterState::View WriterState::JoinPending(const BYTE* block, std::size_t n)
{
    // Join what earlier scans held back to this block, so that a start code cut by a
    // block boundary is seen whole. Bytes of carry_ are not examined twice.
    View view{block, n, false, 0, false};
    view.ahead = writtenAhead_;
    writtenAhead_ = 0;
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
    return view;
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

    View view = JoinPending(block, n);
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
    return WriteStream(view);
}

bool WriterState::NearLimit(ULONGLONG bytes) const
{
    if (maxGroup_ == 0 || fragmentLimit_ == 0) return false;
    // The largest group, with room to spare: groups of a variable bit rate differ, and
    // only a few of them are measured.
    ULONGLONG margin = 2 * maxGroup_;
    return bytes + margin >= fragmentLimit_;
}

void WriterState::NoteStartPoint(ULONGLONG position)
{
    if (groupStartKnown_ && position > groupStart_) {
        maxGroup_ = std::max(maxGroup_, position - groupStart_);
        measuring_ = false;  // one group per fragment tells enough
    }
    groupStart_ = position;
    groupStartKnown_ = true;
    unscannedSince_ = 0;
}

// Looks for start points in a block only to learn how far apart they are; a start
// point cut by the block's end is missed, which can only make the margin wider. A stream
// that shows none for a while is taken to have none until the next fragment.
void WriterState::Measure(const BYTE* data, std::size_t n, ULONGLONG base)
{
    std::size_t from = 0;
    bool found = false;
    for (;;) {
        StartPointScan scan = FindStartPoint(data, n, from);
        if (scan.outcome != StartPointScan::Outcome::Found) break;
        NoteStartPoint(base + scan.offset);
        found = true;
        from = scan.offset + 4;
    }
    if (!found) {
        unscannedSince_ += n;
        if (unscannedSince_ > kMeasureSpan) measuring_ = false;
    }
}

HRESULT WriterState::Emit(const View& view, std::size_t from, std::size_t to)
{
    from = std::max(from, view.ahead);
    return to > from ? Output(view.data + from, to - from) : S_OK;
}

void WriterState::TakeBack(std::size_t n)
{
    if (n == 0 || n > fragmentBytes_) return;
    off_t keep = static_cast<off_t>(fragmentBytes_ - n);
    if (ftruncate(dataFile_.Fd(), keep) != 0 || lseek(dataFile_.Fd(), keep, SEEK_SET) != keep) return;
    fragmentBytes_ -= n;
    totalBytes_.fetch_sub(n, std::memory_order_relaxed);
}

HRESULT WriterState::SplitBefore(View& view)
{
    TakeBack(view.ahead);  // bytes written ahead go with the rest of the view
    view.ahead = 0;
    return StartNewFragment();
}

// Bytes a scan holds back near the limit (a pack header whose fate the next block
// decides, or the first bytes of a start code) are written at once all the same
// ("ahead"), so that a block the disk refuses never takes the end of the last
// picture with it; should they turn out to begin the next fragment, they are taken
// back from this one. `base` below is the fragment's size where the view begins.
HRESULT WriterState::WriteStream(View view)
{
    HRESULT hr = S_OK;
    for (;;) {
        const ULONGLONG base = fragmentBytes_ - view.ahead;
        if (fragmentLimit_ == 0 || !NearLimit(base + view.size)) {
            // Far from the limit: the block goes out whole, after a split if it would
            // pass the limit (a block larger than the limit gets a fragment of its own).
            if (measuring_) {
                Measure(view.data, view.size, totalBytes_.load(std::memory_order_relaxed) - view.ahead);
                // The block told how far apart start points are: it may end the fragment.
                if (fragmentLimit_ != 0 && NearLimit(base + view.size)) continue;
            } else {
                groupStartKnown_ = false;
            }
            if (fragmentLimit_ != 0 && base > 0 && base + view.size > fragmentLimit_) {
                hr = SplitBefore(view);
                if (FAILED(hr)) break;
            }
            hr = Emit(view, 0, view.size);
            break;
        }
        // Near the limit: the next start point ends the fragment.
        StartPointScan scan = FindStartPoint(view.data, view.size, view.scanFrom, view.packAtZero);
        NoteScan(scan);
        std::size_t at = scan.offset;
        if (scan.outcome == StartPointScan::Outcome::Found) {
            NoteStartPoint(totalBytes_.load(std::memory_order_relaxed) - view.ahead + at);
            if (base + at > fragmentLimit_) {
                // It comes too late: split at the limit instead, before this view.
                if (base > 0) {
                    hr = SplitBefore(view);
                    if (FAILED(hr)) break;
                }
            } else if (base + at > 0 && NearLimit(base + at)) {
                hr = Emit(view, 0, at);
                if (FAILED(hr) || limitReached_) break;
                if (view.ahead > at) TakeBack(view.ahead - at);
                view.ahead = 0;
                hr = StartNewFragment();
                if (FAILED(hr)) break;
                view.data += at;
                view.size -= at;
                at = 0;
            }
            // Go on after this pack header (one too early to end the fragment, or the
            // one the fragment now begins with).
            view.scanFrom = at + 4;
            view.packAtZero = false;
            sequenceFound_ = false;
            packFound_ = false;
            continue;
        }
        // No start point yet: what may still begin one is kept for the next scan.
        if (base > 0 && base + view.size > fragmentLimit_) {
            hr = SplitBefore(view);
            if (FAILED(hr)) break;
        }
        hr = Emit(view, 0, view.size);
        if (FAILED(hr)) break;
        KeepPending(view, scan);
        writtenAhead_ = PendingBytes();
        return hr;
    }
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
    if (writtenAhead_ > 0) {  // in the file already
        DropPending();
        return hr;
    }
    // Held bytes after the recording's start point are part of it; before it they are
    // not. In normal mode every byte is part of it.
    if (!limitReached_ && (onTheFly_ ? recording_ && !needStart_ : true)) {
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
    writtenAhead_ = 0;
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
    measuring_ = true;
    groupStartKnown_ = false;
    unscannedSince_ = 0;
}

}  // namespace quvo::filewriter
