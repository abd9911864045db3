// Fuzzes the graph events as a host meets them: arbitrary event codes and parameters
// queued into a real filter graph (as its filters report them), windows of the C
// window API created, registered with QuvoSetEventNotificationWindow, resized and
// destroyed in any order, and the queue drained by QuvoGetCurrentGraphStatus.
//
// Holds: each event queued while a live window is registered reaches it as exactly
// one message with the registered number; a destroyed window gets nothing; the
// status is always a defined state and QuvoGetGraphState agrees with it; the event
// handle is readable exactly while events are queued. An aborting error leaves the
// device needing a new start-up: here the graph is made again, as start-up does.
#include <poll.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>

#include <quvo/QuvoWindow.h>

#include "platform/com/Runtime.h"
#include "platform/graph/ControlInterfaces.h"
#include "platform/graph/Guids.h"
#include "platform/graph/Interfaces.h"
#include "sdk/EncoderDevice.h"

namespace {

using quvo::sdk::EncoderDevice;
using quvo::sdk::TheDevice;

constexpr int kWindows = 4;

struct Window {
    QUVO_WINDOW handle = nullptr;
    int messages = 0;
    uint32_t lastMessage = 0;
    uintptr_t lastW = 1;
    intptr_t lastL = 1;
};
Window windows[kWindows];

void OnMessage(QUVO_WINDOW, uint32_t message, uintptr_t wParam, intptr_t lParam, void* context)
{
    auto* w = static_cast<Window*>(context);
    ++w->messages;
    w->lastMessage = message;
    w->lastW = wParam;
    w->lastL = lParam;
}

void Check(bool ok, const char* what)
{
    if (ok) return;
    std::fprintf(stderr, "graph event fuzz: %s\n", what);
    std::abort();
}

// Reads the input from the front; zeros once it is used up.
struct Reader {
    const std::uint8_t* data;
    std::size_t size;
    std::uint64_t Take(int bytes)
    {
        std::uint64_t v = 0;
        for (int i = 0; i < bytes && size > 0; ++i, ++data, --size) v = v << 8 | *data;
        return v;
    }
};

// What the start-up leaves for the event path: a device and its graph.
void MakeGraph(EncoderDevice& d)
{
    d.deviceFound = 1;
    if (!d.graphBuilder)
        Check(SUCCEEDED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                         d.graphBuilder.ReleaseAndGetVoidAddressOf())),
              "no filter graph");
}

// Codes the SDK decodes, then anything.
constexpr LONG kCodes[] = {EC_COMPLETE,      EC_USERABORT,        EC_ERRORABORT,        EC_STREAM_ERROR_STOPPED,
                           EC_STARVATION,    EC_END_OF_SEGMENT,   EC_SNDDEV_IN_ERROR,   EC_SNDDEV_OUT_ERROR,
                           EC_STREAM_ERROR_STILLPLAYING, 0, -1, 0x7FFFFFFF};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool started = [] {
        Check(CoInitialize(nullptr) == S_OK, "CoInitialize");
        return true;
    }();
    (void)started;
    EncoderDevice& d = TheDevice();
    MakeGraph(d);
    d.mediaEvent.Reset();  // each input starts with nothing registered and an empty queue
    d.graphBuilder.Reset();
    MakeGraph(d);
    for (Window& w : windows) w = Window{};

    Reader in{data, size};
    Window* registered = nullptr;  // where messages go
    uint32_t registeredMessage = 0;
    int queued = 0;                // events in the queue
    uint32_t lastState = d.graphState;
    while (in.size > 0) {
        const unsigned op = static_cast<unsigned>(in.Take(1)) % 7;
        Window& w = windows[in.Take(1) % kWindows];
        switch (op) {
        case 0: {  // a filter reports an event
            const std::uint64_t pick = in.Take(1);
            const LONG code = pick < 200 ? kCodes[pick % std::size(kCodes)] : static_cast<LONG>(in.Take(4));
            const auto p1 = static_cast<LONG_PTR>(in.Take(8)), p2 = static_cast<LONG_PTR>(in.Take(8));
            if (!d.mediaEvent) break;
            ComPtr<IMediaEventSink> sink;
            Check(SUCCEEDED(d.mediaEvent.As(std::addressof(sink))), "no event sink");
            const int before = registered ? registered->messages : 0;
            Check(sink->Notify(code, p1, p2) == S_OK, "Notify refused");
            ++queued;
            if (registered) {
                Check(registered->messages == before + 1, "an event did not reach the registered window");
                Check(registered->lastMessage == registeredMessage && registered->lastW == 0 && registered->lastL == 0,
                      "the message is not the registered one");
            }
            break;
        }
        case 1: {  // the host asks for the status
            uint32_t state = 99;
            const QUVO_RESULT r = QuvoGetCurrentGraphStatus(&state, 0);
            if (!d.mediaEvent) {
                Check(r == QUVO_ERR_FAILED, "status without an event queue");
                break;
            }
            Check(r == QUVO_SUCCESS && state <= QUVO_GRAPH_STATE_FAILED, "status out of range");
            if (queued > 0) --queued;
            lastState = state;
            uint32_t again = 99;
            Check(QuvoGetGraphState(&again) == QUVO_SUCCESS && again == state, "graph state disagrees");
            if (!d.graphBuilder) MakeGraph(d);  // an aborting error: start-up again
            break;
        }
        case 2: {  // register a window (live or not)
            const auto message = static_cast<uint32_t>(in.Take(4));
            IMediaEventEx* queue = d.mediaEvent.Get();
            const QUVO_RESULT r = QuvoSetEventNotificationWindow(w.handle, message);
            if (w.handle) {
                Check(r == QUVO_SUCCESS, "a live window was refused");
                if (d.mediaEvent.Get() != queue) queued = 0;  // the queue of the graph made again
                registered = &w;
                registeredMessage = message;
            } else {
                Check(r == QUVO_ERR_INVALID_PARAMETER, "no window was accepted");
            }
            break;
        }
        case 3:  // make or destroy a window
            if (w.handle) {
                Check(QuvoWindowDestroy(w.handle) == 1 && QuvoWindowDestroy(w.handle) == 0, "destroy");
                if (registered == &w) registered = nullptr;
                w.handle = nullptr;
            } else {
                w.handle = QuvoWindowCreate(&OnMessage, nullptr, &w);
                Check(w.handle != nullptr, "create");
            }
            break;
        case 4: {
            const auto width = static_cast<int32_t>(in.Take(4)), height = static_cast<int32_t>(in.Take(4));
            const int32_t ok = QuvoWindowSetClientSize(w.handle, width, height);
            Check(ok == (w.handle && width >= 0 && height >= 0 ? 1 : 0), "client size");
            break;
        }
        case 5: {  // the wait handle is readable exactly while events are queued
            uint32_t handle = 0;
            if (QuvoGetFilterGraphEvent(&handle) != QUVO_SUCCESS) {
                Check(!d.mediaEvent, "no event handle");
                break;
            }
            pollfd p{static_cast<int>(handle), POLLIN, 0};
            Check(poll(&p, 1, 0) == (queued > 0 ? 1 : 0), "the event handle disagrees with the queue");
            break;
        }
        case 6: {
            uint32_t state = 99;
            Check(QuvoGetGraphState(&state) == QUVO_SUCCESS && state == lastState, "graph state changed by itself");
            break;
        }
        }
    }
    for (Window& w : windows)
        if (w.handle) QuvoWindowDestroy(w.handle);
    return 0;
}
