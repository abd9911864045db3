// The board's encoder as one object: takes the analogue input (test signal or a
// media file), encodes video and audio and multiplexes them into an MPEG-2
// program stream, one frame period per call.
//
// Threads: the Set* calls may come from any thread (the driver, on the
// application's thread); EncodeFrame and Finish run on one streaming thread.
// settingsLock_ guards what the Set* calls write; everything else belongs to the
// streaming thread.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "outside/board/core/ProgramStreamMuxer.h"
#include "outside/board/core/Settings.h"
#include "outside/board/core/TestPattern.h"
#include "outside/board/core/Tone.h"
#include "outside/board/core/VideoEncoder.h"

namespace quvo::board {

class MediaFileSource;

class BoardEncoder {
public:
    // Delay from capture to presentation that the time stamps carry (100 ns).
    static constexpr std::int64_t kPresentationDelay = 5000000;

    BoardEncoder();
    ~BoardEncoder();
    BoardEncoder(const BoardEncoder&) = delete;
    BoardEncoder& operator=(const BoardEncoder&) = delete;

    // A changed size, rate, standard or compression restarts the encoder at the
    // next group boundary; picture, audio and source changes show in the next frame.
    void SetVideoFormat(const VideoFormat& format);
    void SetPicture(const PictureSettings& picture);
    void SetAudio(const AudioSettings& audio);
    // A media file to take the input from; empty for the test signal. A file that
    // cannot be opened leaves the test signal on and is reported by EncodeFrame.
    void SetSource(const std::string& path);

    // Encodes the frame captured at `now` (100 ns on the caller's clock, rising)
    // and appends its packs to `out`, which then ends where a picture ends. False (with a reason) when the
    // encoder cannot run at all.
    bool EncodeFrame(std::int64_t now, std::vector<std::uint8_t>& out, std::string* error = nullptr);
    // Ends the stream: codes what is held back, pads the last packs, writes the
    // end code. The next EncodeFrame starts a new stream.
    void Finish(std::int64_t now, std::vector<std::uint8_t>& out);

    // The format being encoded now (streaming thread).
    const VideoFormat& ActiveFormat() const { return active_; }
    // Where the n-th frame of a stream falls after its start under `tv` (100 ns).
    static std::int64_t FrameTime(std::int64_t n, TvSystem tv);
    // The last picture handed to the encoder (streaming thread; for tests).
    std::int64_t FramesEncoded() const { return framesEncoded_; }

private:
    bool OpenSegment(const VideoFormat& format, std::int64_t start, std::string* error);
    void DrainSegment();
    void DrawPicture(const PlaneView& frame, const PictureSettings& picture, std::int64_t now);
    // `audio` decides what is heard; `muteFlag` is what the audio headers state.
    void AddAudio(std::int64_t now, const AudioSettings& audio, bool muteFlag);

    std::mutex settingsLock_;  // guards the requested_* fields and sourceChanged_
    VideoFormat requestedFormat_;
    PictureSettings requestedPicture_;
    AudioSettings requestedAudio_;
    std::string requestedSource_;
    bool sourceChanged_ = false;

    // Streaming thread only.
    VideoEncoder video_;
    TestPattern pattern_;
    ToneGenerator tone_;
    ProgramStreamMuxer mux_;
    std::unique_ptr<MediaFileSource> file_;
    std::string fileError_;
    VideoFormat active_;
    bool started_ = false;
    std::int64_t streamStart_ = 0;    // 100 ns
    std::int64_t segmentStart_ = 0;   // 100 ns, frame 0 of the open encoder
    std::int64_t segmentFrames_ = 0;  // pictures given to the open encoder
    std::int64_t lastIndex_ = -1;     // its last picture number
    std::int64_t framesEncoded_ = 0;
    std::uint64_t audioSamples_ = 0;  // since streamStart_
    std::vector<std::int16_t> audioBuffer_;
};

}  // namespace quvo::board
