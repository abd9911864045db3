#include "core/AutoOffSummary.h"

namespace encoderdesk {
namespace {

// Blanks as the window's texts know them: every control character and the space.
bool IsBlankOnly(const std::string& s)
{
    for (unsigned char c : s)
        if (c > ' ') return false;
    return true;
}

}  // namespace

void AppendListItem(std::string& list, const std::string& item, const std::string& separator)
{
    if (IsBlankOnly(item)) return;
    if (!IsBlankOnly(list)) list += separator;
    list += item;
}

std::string AutoOffSummary(bool afterMaxSize, bool afterNoSignal, bool afterTime)
{
    std::string list;
    if (afterMaxSize) AppendListItem(list, "по размеру", ",");
    if (afterNoSignal) AppendListItem(list, "н.с.", ",");
    if (afterTime) AppendListItem(list, "по длит.", ",");
    return list.empty() ? "не используется" : list;
}

}  // namespace encoderdesk
