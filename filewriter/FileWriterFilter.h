// FileWriterFilter: the writer's IBaseFilter, a sink with one pin ("Input", the
// FileWriter's). Its state hooks open and close the output files; every received
// block goes to the writer state. All of it runs under the streaming lock, which
// the FileWriter's own calls take too.
#pragma once

#include "platform/graph/base/BaseSink.h"

class FileWriter;

class FileWriterFilter final : public CBaseSink {
public:
    // `outer` is the FileWriter's owner, so every query reaches the FileWriter.
    FileWriterFilter(FileWriter* writer, IUnknown* outer);

    CSinkInputPin* SinkPin() override;

private:
    // Leaving Stopped opens the current fragment unless the total limit was reached;
    // Run lifts that block and opens it; Stop flushes and closes the files. In normal
    // mode a fragment that cannot be opened refuses Pause and Run. The first failed
    // write of a run goes to the graph as EC_ERRORABORT with the write's HRESULT.
    HRESULT InitStream() override;
    HRESULT StartStream(REFERENCE_TIME start) override;
    HRESULT StopStream() override;
    HRESULT CleanupStream() override;
    // Samples are taken in any state: the files decide (nothing open: dropped).
    HRESULT CheckReceive() override { return S_OK; }
    HRESULT OnReceive(IMediaSample* sample) override;

    FileWriter* const writer_;
};
