#include "core/TextDescription.h"

#include <fstream>

#include "platform/win32/Text.h"

namespace encoderdesk {

std::string TextDescriptionBytes(const TextDescription& d)
{
    const std::string lines = "Дата и время: " + d.dateTime + "\r\n" + "Профиль: " + d.profile + "\r\n" +
                              "Формат:  " + d.format + "\r\n" + "Средний битрейт:  " + d.bitrate + "\r\n" +
                              "Пиковый битрейт:  " + d.peakBitrate + "\r\n";
    return quvo::text::Utf8ToCp1251(lines);
}

bool WriteTextDescription(const std::string& path, const TextDescription& d)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    const std::string bytes = TextDescriptionBytes(d);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

}  // namespace encoderdesk
