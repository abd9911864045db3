#include "outside/maker/PcmTo48k.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/samplefmt.h>
#include <libswresample/swresample.h>
}

namespace quvo::maker {

void PcmTo48k::Free::operator()(SwrContext* context) const { swr_free(&context); }

PcmTo48k::PcmTo48k() = default;
PcmTo48k::~PcmTo48k() = default;

bool PcmTo48k::Open(int rate, int channels)
{
    Close();
    if (rate <= 0 || channels <= 0 || channels > 8) return false;
    channels_ = channels;
    passThrough_ = rate == kBoardAudioRate && channels == kBoardAudioChannels;
    if (passThrough_) return true;
    AVChannelLayout inLayout{};
    AVChannelLayout outLayout{};
    av_channel_layout_default(&inLayout, channels);
    av_channel_layout_default(&outLayout, kBoardAudioChannels);
    SwrContext* raw = nullptr;
    const int result = swr_alloc_set_opts2(&raw, &outLayout, AV_SAMPLE_FMT_S16, kBoardAudioRate, &inLayout,
                                           AV_SAMPLE_FMT_S16, rate, 0, nullptr);
    av_channel_layout_uninit(&inLayout);
    av_channel_layout_uninit(&outLayout);
    context_.reset(raw);
    if (result < 0 || !context_ || swr_init(context_.get()) < 0) {
        Close();
        return false;
    }
    return true;
}

void PcmTo48k::Close()
{
    context_.reset();
    channels_ = 0;
    passThrough_ = false;
}

bool PcmTo48k::Convert(const std::int16_t* in, int frames, std::vector<std::int16_t>& out)
{
    if (frames <= 0) return true;
    if (passThrough_) {
        out.insert(out.end(), in, in + static_cast<std::size_t>(frames) * kBoardAudioChannels);
        return true;
    }
    if (!context_) return false;
    const int room = swr_get_out_samples(context_.get(), frames);
    if (room < 0) return false;
    const std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(room) * kBoardAudioChannels);
    auto* target = reinterpret_cast<std::uint8_t*>(out.data() + at);
    const auto* source = reinterpret_cast<const std::uint8_t*>(in);
    const int made = swr_convert(context_.get(), &target, room, &source, frames);
    out.resize(at + static_cast<std::size_t>(made > 0 ? made : 0) * kBoardAudioChannels);
    return made >= 0;
}

std::int64_t PcmTo48k::DelayFrames() const
{
    return context_ ? swr_get_delay(context_.get(), kBoardAudioRate) : 0;
}

}  // namespace quvo::maker
