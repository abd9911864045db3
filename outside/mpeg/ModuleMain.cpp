// The MpegDecoders module: the class table and the four entry points.
#include <iterator>

#include "outside/mpeg/AudioDecoderFilter.h"
#include "platform/com/ClassFactory.h"
#include "outside/mpeg/MpegClassIds.h"
#include "outside/mpeg/VideoDecoderFilter.h"
#if __has_include("outside/mpeg/ProgramStreamSplitter.h")
#include "outside/mpeg/ProgramStreamSplitter.h"
#define QUVO_HAVE_SPLITTER 1
#endif

namespace {

const CFactoryTemplate kTemplates[] = {
    {u"Quvo MPEG Video Decoder", &CLSID_QuvoMpegVideoDecoder, &quvo::mpegdec::VideoDecoderFilter::CreateInstance,
     nullptr, nullptr},
    {u"Quvo MPEG Audio Decoder", &CLSID_QuvoMpegAudioDecoder, &quvo::mpegdec::AudioDecoderFilter::CreateInstance,
     nullptr, nullptr},
#ifdef QUVO_HAVE_SPLITTER
    {u"Quvo MPEG Splitter", &CLSID_QuvoMpegSplitter, &quvo::mpegdec::ProgramStreamSplitter::CreateInstance,
     nullptr, nullptr},
#endif
};

}  // namespace

QUVO_MODULE_CLASS_OBJECTS(kTemplates)
QUVO_MODULE_REGISTRATION(kTemplates)
