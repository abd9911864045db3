#include "outside/board/tests/StreamCheck.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

namespace quvo::board::test {

std::vector<std::uint8_t> EncodeSeconds(BoardEncoder& encoder, double seconds, TvSystem tv,
                                        const std::function<void(int)>& perFrame)
{
    std::vector<std::uint8_t> out;
    const FrameRate r = RateOf(tv);
    const int frames = static_cast<int>(seconds * r.num / r.den);
    std::int64_t now = 10000000;  // a clock that is not at zero
    for (int i = 0; i < frames; ++i) {
        if (perFrame) perFrame(i);
        if (!encoder.EncodeFrame(now, out)) break;
        now += BoardEncoder::FrameTime(1, encoder.ActiveFormat().tv);
    }
    encoder.Finish(now, out);
    return out;
}

std::string TempPath(const std::string& name)
{
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/" + name;
}

bool WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
    return f && std::fwrite(bytes.data(), 1, bytes.size(), f.get()) == bytes.size();
}

std::string CommandOutput(const std::string& command)
{
    std::unique_ptr<FILE, int (*)(FILE*)> p(popen(command.c_str(), "r"), &pclose);
    if (!p) return "cannot run: " + command;
    std::string text;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p.get())) > 0) text.append(buf, n);
    return text;
}

std::string Ffprobe(const std::string& path)
{
    return CommandOutput("ffprobe -v error -show_streams -show_format -of json '" + path + "' 2>/dev/null");
}

std::string FfmpegErrors(const std::string& path)
{
    return CommandOutput("ffmpeg -nostdin -v error -i '" + path + "' -f null - 2>&1");
}

std::string MakeTestFile(const std::string& name, double seconds, const std::string& options)
{
    const std::string path = TempPath(name);
    const std::string out = CommandOutput(
        "ffmpeg -nostdin -hide_banner -loglevel error -y -f lavfi -i testsrc=size=352x288:rate=25 "
        "-f lavfi -i sine=frequency=1000:sample_rate=48000 -t " + std::to_string(seconds) + " " + options + " '"
        + path + "' 2>&1 && echo made");
    return out.find("made") != std::string::npos ? path : std::string();
}

long PictureCount(const std::string& path)
{
    const std::string out = CommandOutput("ffprobe -v error -select_streams v:0 -count_frames -show_entries "
                                          "stream=nb_read_frames -of csv=p=0 '" + path + "' 2>/dev/null");
    return out.empty() ? 0 : std::atol(out.c_str());
}

long long AudioSampleCount(const std::string& path)
{
    const std::string out = CommandOutput("ffprobe -v error -select_streams a:0 -show_entries frame=nb_samples "
                                          "-of csv=p=0 '" + path + "' 2>/dev/null");
    long long total = 0;
    for (std::size_t at = 0; at < out.size();) {
        const std::size_t end = out.find('\n', at);
        total += std::atoll(out.substr(at, end - at).c_str());
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return total;
}

std::string StreamField(const std::string& json, const std::string& type, const std::string& key)
{
    // Each stream object holds "codec_type": "<type>"; search that object only.
    const std::size_t at = json.find("\"codec_type\": \"" + type + "\"");
    if (at == std::string::npos) return {};
    const std::size_t begin = json.rfind('{', at);
    const std::size_t end = json.find("\"disposition\"", at);
    const std::string object = json.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
    const std::size_t k = object.find("\"" + key + "\": ");
    if (k == std::string::npos) return {};
    std::size_t v = k + key.size() + 4;
    if (object[v] == '"') {
        const std::size_t close = object.find('"', v + 1);
        return object.substr(v + 1, close - v - 1);
    }
    const std::size_t close = object.find_first_of(",\n}", v);
    return object.substr(v, close - v);
}

DecodedMedia DecodeFile(const std::string& path)
{
    DecodedMedia media;
    AVFormatContext* fmt = nullptr;
    if (avformat_open_input(&fmt, path.c_str(), nullptr, nullptr) < 0) return media;
    avformat_find_stream_info(fmt, nullptr);
    AVCodecContext* ctx[16] = {};
    for (unsigned i = 0; i < fmt->nb_streams && i < 16; ++i) {
        const AVCodec* codec = avcodec_find_decoder(fmt->streams[i]->codecpar->codec_id);
        if (!codec) continue;
        ctx[i] = avcodec_alloc_context3(codec);
        avcodec_parameters_to_context(ctx[i], fmt->streams[i]->codecpar);
        if (avcodec_open2(ctx[i], codec, nullptr) < 0) avcodec_free_context(&ctx[i]);
    }
    AVPacket* pkt = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    auto drain = [&](AVCodecContext* c) {
        while (avcodec_receive_frame(c, frame) >= 0) {
            if (c->codec_type == AVMEDIA_TYPE_VIDEO) {
                DecodedVideo v;
                v.width = frame->width;
                v.height = frame->height;
                v.key = frame->key_frame != 0;
                double sum = 0;
                for (int y = 0; y < frame->height; ++y)
                    for (int x = 0; x < frame->width; ++x) sum += frame->data[0][y * frame->linesize[0] + x];
                v.meanLuma = sum / (frame->width * frame->height);
                media.pictures.push_back(v);
            } else if (c->codec_type == AVMEDIA_TYPE_AUDIO && frame->format == AV_SAMPLE_FMT_S16) {
                media.sampleRate = frame->sample_rate;
                media.channels = frame->ch_layout.nb_channels;
                const auto* s = reinterpret_cast<const std::int16_t*>(frame->data[0]);
                media.samples.insert(media.samples.end(), s, s + frame->nb_samples * media.channels);
            }
            av_frame_unref(frame);
        }
    };
    while (av_read_frame(fmt, pkt) >= 0) {
        AVCodecContext* c = pkt->stream_index < 16 ? ctx[pkt->stream_index] : nullptr;
        if (c && avcodec_send_packet(c, pkt) >= 0) drain(c);
        av_packet_unref(pkt);
    }
    for (auto* c : ctx)
        if (c) {
            avcodec_send_packet(c, nullptr);
            drain(c);
            avcodec_free_context(&c);
        }
    av_frame_free(&frame);
    av_packet_free(&pkt);
    avformat_close_input(&fmt);
    return media;
}

}  // namespace quvo::board::test
