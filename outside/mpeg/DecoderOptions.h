// The video decoder's options in the current user's registry, where the desktop
// program's decoder settings dialog edits them (its first page). Registration
// creates the key with the default values; the decoder reads it each time it
// starts streaming, so a change shows at the next preview or playback.
#pragma once

#include "outside/mpeg/VideoDecoderCore.h"

namespace quvo::mpegdec {

// Must match the desktop program's page (app/core/DecoderSettings.h).
inline constexpr const char* kVideoDecoderOptionsKey = "Software\\Brenmark\\MediaGraph\\MPEGVideoDecoder";

// "Deinterlacing" and "ShowErrorFrames" (1 = on); an absent key or value is off.
VideoDecoderOptions ReadVideoDecoderOptions();

// "LastUsedColorSpace" := `name`, only when the key exists (an unregistered
// decoder leaves the user's registry alone).
void WriteLastUsedColorSpace(const char* name);

// Creates the key and every value it lacks with its default; values the user
// has set are kept.
void CreateVideoDecoderOptions();

}  // namespace quvo::mpegdec
