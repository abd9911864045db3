// The capture graph builder (CLSID_CaptureGraphBuilder2), reduced to what capture
// code here asks of it: the graph it works on, and searches for an interface or a
// pin around a filter. Building graphs (RenderStream and its kin) is not offered.
#pragma once

#include <mutex>

#include "platform/com/CUnknown.h"
#include "platform/com/ComPtr.h"
#include "platform/graph/ControlInterfaces.h"

namespace quvo::graph {

class CaptureGraphBuilder final : public CUnknown, public ICaptureGraphBuilder2 {
public:
    // The class table creates it (CreateComObject).
    CaptureGraphBuilder(IUnknown* outer, HRESULT* hr);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT SetFiltergraph(IGraphBuilder* graph) override;
    HRESULT GetFiltergraph(IGraphBuilder** graph) override;
    HRESULT SetOutputFileName(const GUID* type, LPCWSTR file, IBaseFilter** mux,
                              IFileSinkFilter** sink) override;
    HRESULT FindInterface(const GUID* category, const GUID* type, IBaseFilter* filter, REFIID riid,
                          void** ppv) override;
    HRESULT RenderStream(const GUID* category, const GUID* type, IUnknown* source,
                         IBaseFilter* compressor, IBaseFilter* renderer) override;
    HRESULT ControlStream(const GUID* category, const GUID* type, IBaseFilter* filter,
                          REFERENCE_TIME* start, REFERENCE_TIME* stop, WORD startCookie,
                          WORD stopCookie) override;
    HRESULT AllocCapFile(LPCWSTR file, ULONGLONG size) override;
    HRESULT CopyCaptureFile(LPWSTR oldFile, LPWSTR newFile, int allowEscAbort,
                            IUnknown* callback) override;
    HRESULT FindPin(IUnknown* source, PIN_DIRECTION dir, const GUID* category, const GUID* type,
                    BOOL unconnected, int num, IPin** pin) override;

private:
    HRESULT FindPinOf(IUnknown* source, PIN_DIRECTION dir, const GUID* category, const GUID* type,
                      BOOL unconnected, int num, IPin** pin);

    std::mutex graphLock_;  // guards graph_ (set and read from the application thread)
    ComPtr<IGraphBuilder> graph_;
};

}  // namespace quvo::graph
