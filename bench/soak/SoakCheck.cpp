// soak_check: checks what one recording left, from its description file.
//
//   soak_check RECORDING.mzl...
//
// For each description file: its first line is "TVMP", each further line
// "<name>;<size>" names a fragment in the same folder whose size is exactly that, and
// no other fragment of the recording exists (<base>.mpg, <base>_<n>.mpg). Every
// fragment is decoded alone with libavcodec; each picture's time code, which the
// virtual board draws in seven-segment digits (outside/board/core/Overlay.cpp), is
// read back. At each join the next fragment's first picture must be the one after
// the last picture of the fragment before. Gaps inside a fragment are the board's
// late pictures (it numbers pictures by the clock) and are reported, not failed.
//
// Prints one line per fragment and one per recording; exits 0 when every check held.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::atomic<int> logErrors{0};

void CountErrors(void*, int level, const char*, va_list)
{
    if (level <= AV_LOG_ERROR) logErrors.fetch_add(1);
}

// The time-code panel's geometry as the board draws it for a w x h picture.
struct Panel {
    int dw, dh, t, gap, px, py;
    explicit Panel(int w, int h)
    {
        dw = std::max(4, w / 36);
        dh = dw * 2;
        t = std::max(2, dw / 4);
        gap = std::max(2, dw / 3);
        const int panelW = 8 * (dw + gap) + 3 * (t + gap) + gap;
        const int panelH = dh + 2 * gap;
        px = std::max(0, w / 2 - panelW / 2);
        py = std::max(0, h * 2 / 3 + (h / 3 - panelH) / 2);
    }
};

constexpr int kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};

// The picture's time code as a frame count, or -1 when a digit does not read.
long long ReadTimeCode(const AVFrame* f, int fps)
{
    const Panel p(f->width, f->height);
    auto lit = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= f->width || y >= f->height) return false;
        return f->data[0][static_cast<std::ptrdiff_t>(y) * f->linesize[0] + x] > 125;
    };
    int digits[8];
    int cx = p.px + p.gap;
    const int y = p.py + p.gap, w = p.dw, h = p.dh, t = p.t;
    const int mid = y + (h - t) / 2;
    for (int i = 0; i < 8; ++i) {
        const int segments = (lit(cx + w / 2, y + t / 2) << 0) | (lit(cx + w - t / 2 - 1, y + h / 4) << 1) |
                             (lit(cx + w - t / 2 - 1, mid + (h - (mid - y)) / 2) << 2) |
                             (lit(cx + w / 2, y + h - t / 2 - 1) << 3) | (lit(cx + t / 2, mid + (h - (mid - y)) / 2) << 4) |
                             (lit(cx + t / 2, y + h / 4) << 5) | (lit(cx + w / 2, mid + t / 2) << 6);
        digits[i] = -1;
        for (int d = 0; d < 10; ++d)
            if (kSegments[d] == segments) digits[i] = d;
        if (digits[i] < 0) return -1;
        cx += w + p.gap;
        if (i % 2 == 1 && i < 7) cx += t + p.gap;
    }
    const long long hours = digits[0] * 10 + digits[1], minutes = digits[2] * 10 + digits[3];
    const long long seconds = digits[4] * 10 + digits[5], frames = digits[6] * 10 + digits[7];
    return ((hours * 60 + minutes) * 60 + seconds) * fps + frames;
}

struct Fragment {
    long pictures = 0;
    int errors = 0;
    long unreadable = 0;
    long long first = -1, last = -1;
    long gaps = 0, missing = 0, backward = 0;
};

// Decodes one fragment on its own, from its first byte.
bool Decode(const std::string& path, Fragment* out)
{
    logErrors = 0;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return false;
    bool ok = avformat_find_stream_info(format, nullptr) >= 0;
    const int stream = ok ? av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0) : -1;
    AVCodecContext* codec = nullptr;
    if (stream >= 0) {
        const AVStream* s = format->streams[stream];
        const AVCodec* decoder = avcodec_find_decoder(s->codecpar->codec_id);
        codec = decoder ? avcodec_alloc_context3(decoder) : nullptr;
        ok = codec && avcodec_parameters_to_context(codec, s->codecpar) >= 0 && avcodec_open2(codec, decoder, nullptr) >= 0;
    } else {
        ok = false;
    }
    // The board counts whole frames: 25 (PAL) or 30 (NTSC, non-drop).
    const AVRational rate = stream >= 0 ? av_guess_frame_rate(format, format->streams[stream], nullptr) : AVRational{0, 1};
    const int fps = rate.num > 0 && rate.num < 28 * rate.den ? 25 : 30;
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    auto take = [&] {
        while (avcodec_receive_frame(codec, frame) == 0) {
            ++out->pictures;
            const long long tc = ReadTimeCode(frame, fps);
            if (tc < 0) {
                ++out->unreadable;
                continue;
            }
            if (out->first < 0) out->first = tc;
            if (out->last >= 0 && tc != out->last + 1) {
                if (tc <= out->last) {
                    ++out->backward;
                } else {
                    ++out->gaps;
                    out->missing += tc - out->last - 1;
                }
            }
            out->last = tc;
        }
    };
    while (ok && av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == stream) {
            if (avcodec_send_packet(codec, packet) < 0) ++out->errors;
            take();
        }
        av_packet_unref(packet);
    }
    if (ok) {
        avcodec_send_packet(codec, nullptr);
        take();
    }
    out->errors += logErrors.load();
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&codec);
    avformat_close_input(&format);
    return ok;
}

long long FileSize(const std::string& path)
{
    struct stat st{};
    return stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

// Checks one recording; prints what it found.
bool CheckRecording(const std::string& description)
{
    const std::size_t slash = description.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : description.substr(0, slash);
    const std::string base = description.substr(0, description.size() - 4);
    std::ifstream in(description, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    const std::string all = text.str();
    bool ok = true;
    auto fail = [&](const std::string& why) {
        std::printf("  FAIL %s: %s\n", description.c_str(), why.c_str());
        ok = false;
    };
    if (all.rfind("TVMP\r\n", 0) != 0) fail("no TVMP line");

    std::vector<std::pair<std::string, long long>> listed;
    for (std::size_t at = all.find("\r\n") == std::string::npos ? all.size() : all.find("\r\n") + 2; at < all.size();) {
        const std::size_t end = all.find("\r\n", at);
        if (end == std::string::npos) {
            fail("last line not ended by CR LF");
            break;
        }
        const std::string line = all.substr(at, end - at);
        const std::size_t semi = line.rfind(';');
        if (semi == std::string::npos) fail("line without size: " + line);
        else listed.emplace_back(line.substr(0, semi), std::atoll(line.c_str() + semi + 1));
        at = end + 2;
    }
    if (listed.empty()) fail("lists no fragment");
    // The names the writer gives, in order; one more than listed must not exist.
    for (std::size_t i = 0; i <= listed.size(); ++i) {
        const std::string expected = i == 0 ? base + ".mpg" : base + "_" + std::to_string(i) + ".mpg";
        const std::string leaf = expected.substr(expected.find_last_of('/') + 1);
        if (i == listed.size()) {
            if (FileSize(expected) >= 0) fail("unlisted fragment " + leaf);
            break;
        }
        if (listed[i].first != leaf) fail("line " + std::to_string(i + 2) + " names " + listed[i].first + ", not " + leaf);
        const long long size = FileSize(folder + "/" + listed[i].first);
        if (size != listed[i].second)
            fail(listed[i].first + " is " + std::to_string(size) + " bytes, listed " + std::to_string(listed[i].second));
    }

    long long previousLast = -1;
    long long bytes = 0;
    long pictures = 0, missingInside = 0;
    for (std::size_t i = 0; i < listed.size(); ++i) {
        Fragment f;
        const std::string path = folder + "/" + listed[i].first;
        if (!Decode(path, &f)) fail(listed[i].first + " does not open as MPEG");
        std::printf("  %s: %lld bytes, %ld pictures, time code %lld..%lld, %ld decoding errors, %ld unreadable, "
                    "%ld gaps inside (%ld pictures), %ld backward\n",
                    listed[i].first.c_str(), listed[i].second, f.pictures, f.first, f.last, static_cast<long>(f.errors),
                    f.unreadable, f.gaps, f.missing, f.backward);
        if (f.errors) fail(listed[i].first + " has decoding errors");
        if (f.pictures == 0 || f.first < 0) fail(listed[i].first + " has no readable picture");
        if (f.backward) fail(listed[i].first + " has pictures out of order");
        if (i > 0 && previousLast >= 0 && f.first != previousLast + 1)
            fail("join " + std::to_string(i) + ": " + std::to_string(previousLast) + " then " + std::to_string(f.first));
        if (i > 0) std::printf("  join %zu: %lld -> %lld\n", i, previousLast, f.first);
        previousLast = f.last;
        bytes += listed[i].second;
        pictures += f.pictures;
        missingInside += f.missing;
    }
    std::printf("%s %s: %zu fragments, %lld bytes, %ld pictures, %ld pictures late inside fragments\n",
                ok ? "OK" : "FAILED", description.c_str(), listed.size(), bytes, pictures, missingInside);
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: soak_check RECORDING.mzl...\n");
        return 1;
    }
    av_log_set_callback(&CountErrors);
    bool ok = true;
    for (int i = 1; i < argc; ++i) ok = CheckRecording(argv[i]) && ok;
    return ok ? 0 : 1;
}
