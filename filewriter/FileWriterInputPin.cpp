#include "filewriter/FileWriterInputPin.h"

#include "filewriter/FileWriter.h"

FileWriterInputPin::FileWriterInputPin(CBaseSink* filter, FileWriter* writer, HRESULT* hr)
    : CSinkInputPin("Tavrin MPEG File Writer input pin", filter, hr, u"Input"), writer_(writer)
{
}

HRESULT FileWriterInputPin::Receive(IMediaSample* sample)
{
    const HRESULT hr = CSinkInputPin::Receive(sample);
    writer_->ReportNotices();
    return hr;
}

HRESULT FileWriterInputPin::CheckMediaType(const CMediaType*) { return S_OK; }

HRESULT FileWriterInputPin::QueryInternalConnections(IPin**, ULONG*) { return E_NOTIMPL; }

HRESULT FileWriterInputPin::ReceiveCanBlock() { return S_FALSE; }
