// The MakerFilters module: the board maker's playback filters, their class table
// and the four entry points.
#include "outside/maker/BraidMuxer.h"
#include "outside/maker/FeedTransform.h"
#include "outside/maker/FileReader.h"
#include "outside/maker/MakerClassIds.h"
#include "platform/com/ClassFactory.h"

namespace {

const CFactoryTemplate kTemplates[] = {
    {u"Kestor File Reader", &CLSID_MakerFileReader, &CreateComObject<quvo::maker::FileReader>, nullptr, nullptr},
    {u"Kestor Feed Transform", &CLSID_MakerFeedTransform, &CreateComObject<quvo::maker::FeedTransform>, nullptr,
     nullptr},
    {u"Kestor Braid Muxer", &CLSID_MakerBraidMuxer, &CreateComObject<quvo::maker::BraidMuxer>, nullptr, nullptr},
};

}  // namespace

QUVO_MODULE_CLASS_OBJECTS(kTemplates)
QUVO_MODULE_REGISTRATION(kTemplates)
