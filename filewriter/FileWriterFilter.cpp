#include "filewriter/FileWriterFilter.h"

#include "filewriter/FileWriter.h"
#include "filewriter/FileWriterInputPin.h"
#include "filewriter/NoThrow.h"

using quvo::filewriter::NoThrow;

FileWriterFilter::FileWriterFilter(FileWriter* writer, IUnknown* outer, std::recursive_mutex* filterLock,
                                   HRESULT* hr)
    : CBaseFilter("Tavrin MPEG File Writer filter", outer, filterLock, CLSID_TavrinFileWriter, hr), writer_(writer)
{
}

CBasePin* FileWriterFilter::GetPin(int n) { return n == 0 ? writer_->pin_.get() : nullptr; }

HRESULT FileWriterFilter::Stop()
{
    std::lock_guard lock(*filterLock_);
    {
        // Waits for a Receive in progress; what the start-point search still holds
        // goes out before the files close.
        std::lock_guard receive(writer_->receiveLock_);
        // A failure here is not reported, as with the files' own failures.
        NoThrow([&] {
            writer_->state_.Stop();
            return S_OK;
        });
    }
    return CBaseFilter::Stop();
}

HRESULT FileWriterFilter::Pause()
{
    std::lock_guard lock(*filterLock_);
    {
        std::lock_guard receive(writer_->receiveLock_);
        // A failure here is not reported, as with the files' own failures.
        NoThrow([&] {
            writer_->state_.Pause();
            return S_OK;
        });
    }
    return CBaseFilter::Pause();
}

HRESULT FileWriterFilter::Run(REFERENCE_TIME start)
{
    std::lock_guard lock(*filterLock_);
    {
        std::lock_guard receive(writer_->receiveLock_);
        // A failure here is not reported, as with the files' own failures.
        NoThrow([&] {
            writer_->state_.Run();
            return S_OK;
        });
    }
    return CBaseFilter::Run(start);
}
