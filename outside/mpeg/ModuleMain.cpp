// The MpegDecoders module: the class table and the four entry points.
#include <iterator>

#include "outside/mpeg/AudioDecoderFilter.h"
#include "platform/com/ClassFactory.h"
#include "outside/mpeg/MpegClassIds.h"
#include "outside/mpeg/VideoDecoderFilter.h"
#include "outside/mpeg/ProgramStreamSplitter.h"

namespace {

const CFactoryTemplate kTemplates[] = {
    {u"Quvo MPEG Video Decoder", &CLSID_QuvoMpegVideoDecoder, &CreateComObject<quvo::mpegdec::VideoDecoderFilter>,
     nullptr, nullptr},
    {u"Quvo MPEG Audio Decoder", &CLSID_QuvoMpegAudioDecoder, &CreateComObject<quvo::mpegdec::AudioDecoderFilter>,
     nullptr, nullptr},
    {u"Quvo MPEG Splitter", &CLSID_QuvoMpegSplitter, &CreateComObject<quvo::mpegdec::ProgramStreamSplitter>,
     nullptr, nullptr},
};

}  // namespace

QUVO_MODULE_CLASS_OBJECTS(kTemplates)
QUVO_MODULE_REGISTRATION(kTemplates)
