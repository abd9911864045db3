#include "core/DeviceStatus.h"

namespace encoderdesk {

StatusView ViewOf(TDeviceStatus status)
{
    switch (status) {
    case dsIdle:
        return {kButtonPreview | kButtonCapture | kButtonPlayback | kButtonStop, "Устройство готово к работе", true, true,
                false};
    case dsInitMode:
        return {kButtonStop, "Ждите, идет инициализация ...", false, false, false};
    case dsPreview:
        return {kButtonCapture | kButtonStop, "Режим предварительного просмотра", false, true, false};
    case dsOnTheFlyCapture:
        return {kButtonStop, "Идет запись видео (из режима просмотра)", false, false, true};
    case dsCapture:
        return {kButtonStop, "Идет запись видео", false, false, true};
    case dsPlayback:
        return {kButtonStop, "Идет воспроизведение видео", false, true, false};
    }
    return {};
}

bool CloseNeedsConfirmation(TDeviceStatus status) { return status != dsIdle && status != dsPreview; }

std::string CloseQuestion(const std::string& deviceName, const std::string& statusText)
{
    return "В настоящий момент устройство \"" + deviceName + "\" выполняет операцию \"" + statusText +
           "\". Закрытие программы приведет к ее остановке. ";
}

std::string OverwriteQuestion(const std::string& file)
{
    return "Файл с именем " + file + " существует. Продолжение текущей операции уничтожит его. Продолжить ??";
}

}  // namespace encoderdesk
