#include "filewriter/FileWriterInputPin.h"

FileWriterInputPin::FileWriterInputPin(CBaseSink* filter, HRESULT* hr)
    : CSinkInputPin("Tavrin MPEG File Writer input pin", filter, hr, u"Input")
{
}

HRESULT FileWriterInputPin::CheckMediaType(const CMediaType*) { return S_OK; }

HRESULT FileWriterInputPin::QueryInternalConnections(IPin**, ULONG*) { return E_NOTIMPL; }

HRESULT FileWriterInputPin::ReceiveCanBlock() { return S_FALSE; }
