#include "sdk/GraphEvents.h"

#include "platform/graph/ControlInterfaces.h"
#include "sdk/DebugLog.h"
#include "sdk/EncoderDevice.h"

namespace quvo::sdk {

std::uint32_t DecodeGraphEvent(EncoderDevice& device, LONG code, LONG_PTR param1)
{
    DebugLog& log = TheLog();
    switch (code) {
    case EC_COMPLETE:
        log.Log(kLogPlain, 1, "Event - Data Streaming Complete.");
        device.graphState = QUVO_GRAPH_STATE_STOPPED;
        break;
    case EC_USERABORT:
        log.Log(kLogPlain, 1, "Event - User Termination");
        device.graphState = QUVO_GRAPH_STATE_STOPPED;
        break;
    case EC_ERRORABORT:  // the graph is beyond use until the device is opened again
        log.Log(kLogError, 1, "Event - Operation Aborted due to an Error");
        log.Log(kLogError, 1, "Event - Aborting Error Code : 0x%X", static_cast<unsigned>(param1));
        device.ResetConstructionValues();
        device.graphState = QUVO_GRAPH_STATE_FAILED;
        break;
    case EC_STREAM_ERROR_STOPPED:
        log.Log(kLogError, 1, "Event - Stream has stopped due to an Error.");
        device.graphState = QUVO_GRAPH_STATE_FAILED;
        break;
    case EC_STARVATION:
        log.Log(kLogError, 2, "Event - Starvation for data.");
        device.graphState = QUVO_GRAPH_STATE_FAILED;
        break;
    case EC_END_OF_SEGMENT:
        log.Log(kLogError, 4, "Event - End of Segment Reached.");
        device.graphState = QUVO_GRAPH_STATE_STOPPED;
        break;
    case EC_SNDDEV_IN_ERROR:
        log.Log(kLogError, 2, "Event - An audio device error has occurred on an input pin.");
        device.graphState = QUVO_GRAPH_STATE_FAILED;
        break;
    case EC_SNDDEV_OUT_ERROR:
        log.Log(kLogError, 2, "Event - An audio device error has occurred on an output pin.");
        device.graphState = QUVO_GRAPH_STATE_FAILED;
        break;
    default:
        log.Log(kLogPlain, 5, "Graph Event - 0x%X", static_cast<unsigned>(code));
        break;
    }
    return device.graphState;
}

}  // namespace quvo::sdk
