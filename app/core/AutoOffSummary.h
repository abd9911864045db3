// The automatic-stop summary under the capture profile: which stops are on.
#pragma once

#include <string>

namespace encoderdesk {

// Appends `item` to `list`, with `separator` first when the list already holds
// something; an item of blanks only changes nothing.
void AppendListItem(std::string& list, const std::string& item, const std::string& separator);

// "не используется", or the checked stops in the order size, signal, duration:
// "по размеру,н.с.,по длит.".
std::string AutoOffSummary(bool afterMaxSize, bool afterNoSignal, bool afterTime);

}  // namespace encoderdesk
