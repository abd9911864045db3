// The MpegDecoders module: the class table and the four entry points.
#include <iterator>

#include "outside/mpeg/AudioDecoderFilter.h"
#include "outside/mpeg/DecoderOptions.h"
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
// Registering also gives the registering user the video decoder's options key with
// its defaults, as an installed decoder has them.
QUVO_MODULE_EXPORT HRESULT DllRegisterServer()
{
    const HRESULT hr = ModuleRegisterClasses(kTemplates, static_cast<int>(std::size(kTemplates)), true);
    if (SUCCEEDED(hr)) quvo::mpegdec::CreateVideoDecoderOptions();
    return hr;
}

// The user's options stay: they are the user's choices, not registration data.
QUVO_MODULE_EXPORT HRESULT DllUnregisterServer()
{
    return ModuleRegisterClasses(kTemplates, static_cast<int>(std::size(kTemplates)), false);
}
