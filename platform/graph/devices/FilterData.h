// The "FilterData" value the filter mapper writes for a registered filter: its
// merit and pins as one line of text, e.g.
//   merit=0x00600000;pin=Input,in,rendered=0,many=0,zero=0,types={major}/{minor}
// (several pins each add a ";pin=..." part, several types are joined by '+').
// Nothing here selects filters by it; it records what the module declared.
#pragma once

#include <string>

#include "platform/graph/DeviceInterfaces.h"

namespace quvo::graph {

std::string FilterDataText(const REGFILTER2& data);

}  // namespace quvo::graph
