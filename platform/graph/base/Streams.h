// Everything a filter writer needs from the base classes, in one include.
#pragma once

#include "platform/graph/base/BaseFilter.h"
#include "platform/graph/base/BaseInputPin.h"
#include "platform/graph/base/BaseOutputPin.h"
#include "platform/graph/base/BasePin.h"
#include "platform/graph/base/BaseReferenceClock.h"
#include "platform/graph/base/BaseRenderer.h"
#include "platform/graph/base/EnumMediaTypes.h"
#include "platform/graph/base/EnumPins.h"
#include "platform/graph/base/MediaSample.h"
#include "platform/graph/base/MediaType.h"
#include "platform/graph/base/MemAllocator.h"
#include "platform/graph/base/PosPassThru.h"
#include "platform/graph/base/RenderedInputPin.h"
#include "platform/graph/base/Source.h"
#include "platform/graph/base/SourceStream.h"
#include "platform/graph/base/TransformFilter.h"
