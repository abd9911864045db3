// The transform's two paths (FeedTransform.h): video access units, 48 kHz audio.
#pragma once

#include <memory>
#include <mutex>

#include "outside/maker/FeedTransform.h"

namespace quvo::maker {

std::unique_ptr<FeedPath> MakeVideoFeed(CBaseFilter* filter, std::recursive_mutex* lock);
std::unique_ptr<FeedPath> MakeAudioFeed(CBaseFilter* filter, std::recursive_mutex* lock);

// The board-audio type the audio path gives and the muxer takes.
CMediaType BoardAudioType();
// The video types the video path takes and gives, and the muxer takes.
bool IsMpegVideoType(const CMediaType& mt);

}  // namespace quvo::maker
