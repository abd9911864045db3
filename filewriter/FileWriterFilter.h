// FileWriterFilter: the writer's IBaseFilter, with one pin ("Input", the
// FileWriter's) and the state changes that open and close the output files.
#pragma once

#include "platform/graph/base/BaseFilter.h"

class FileWriter;

class FileWriterFilter final : public CBaseFilter {
public:
    // `outer` is the FileWriter's owner, so every query reaches the FileWriter.
    FileWriterFilter(FileWriter* writer, IUnknown* outer, std::recursive_mutex* filterLock, HRESULT* hr);

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override;

    // Stop flushes and closes the files; Pause opens the current fragment unless the
    // total limit was reached; Run lifts that block and opens it. Opening failures are
    // not reported: the pin then drops what it receives.
    HRESULT Stop() override;
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME start) override;

private:
    FileWriter* const writer_;
};
