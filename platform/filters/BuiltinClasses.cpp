// The platform's class table: every class CoCreateInstance serves without the
// registry, as a module's table lists its classes.
#include <iterator>

#include "platform/com/ClassFactory.h"
#include "platform/com/Runtime.h"
#include "platform/filters/demux/Mpeg2Demultiplexer.h"
#include "platform/filters/renderers/AudioRenderer.h"
#include "platform/filters/renderers/VideoRenderer.h"
#include "platform/filters/tee/InfTee.h"
#include "platform/graph/Guids.h"
#include "platform/graph/devices/FilterMapper.h"
#include "platform/graph/devices/SystemDeviceEnum.h"
#include "platform/graph/manager/CaptureGraphBuilder.h"
#include "platform/graph/manager/FilterGraph.h"
#include "platform/graph/manager/SystemClock.h"

namespace {

using namespace quvo::filters;
using namespace quvo::graph;

const CFactoryTemplate kBuiltinClasses[] = {
    {u"Filter Graph", &CLSID_FilterGraph, &CreateComObject<FilterGraph>, nullptr, nullptr},
    {u"Capture Graph Builder 2", &CLSID_CaptureGraphBuilder2, &CreateComObject<CaptureGraphBuilder>, nullptr, nullptr},
    {u"System Reference Clock", &CLSID_SystemClock, &CreateSystemClockObject, nullptr, nullptr},
    {u"System Device Enum", &CLSID_SystemDeviceEnum, &CreateComObject<SystemDeviceEnum>, nullptr, nullptr},
    {u"Filter Mapper2", &CLSID_FilterMapper2, &CreateComObject<FilterMapper>, nullptr, nullptr},
    {u"Infinite Pin Tee Filter", &CLSID_InfTee, &CreateComObject<InfTee>, nullptr, nullptr},
    {u"MPEG-2 Demultiplexer", &CLSID_MPEG2Demultiplexer, &CreateComObject<Mpeg2Demultiplexer>, nullptr, nullptr},
    {u"Video Renderer", &CLSID_VideoRenderer, &CreateComObject<VideoRenderer>, nullptr, nullptr},
    {u"Audio Renderer", &CLSID_DSoundRender, &CreateComObject<AudioRenderer>, nullptr, nullptr},
};

// Listed when the platform library loads.
__attribute__((constructor)) void ListBuiltinClasses()
{
    RegisterBuiltinClasses(kBuiltinClasses, static_cast<int>(std::size(kBuiltinClasses)));
}

}  // namespace
