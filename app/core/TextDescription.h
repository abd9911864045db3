// The text description written beside a capture file when the user asks for it:
// five lines in Windows-1251 with CR LF, as the Windows program wrote them.
#pragma once

#include <string>

namespace encoderdesk {

struct TextDescription {
    std::string dateTime;  // "06.12.2026 23:05:09"
    std::string profile;   // the profile group's captions, as shown
    std::string format;
    std::string bitrate;
    std::string peakBitrate;
};

// The file's bytes.
std::string TextDescriptionBytes(const TextDescription& d);

// Replaces `path` with the description; false when it could not be written (the
// capture starts anyway, so the caller stays silent).
bool WriteTextDescription(const std::string& path, const TextDescription& d);

}  // namespace encoderdesk
