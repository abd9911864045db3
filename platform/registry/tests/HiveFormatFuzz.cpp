// Hive files come from disk and may be anything: the parser must refuse or
// accept without crashing, and whatever it accepts must write back to text that
// parses to the same tree.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/registry/HiveFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace quvo::registry;
    std::string_view text(reinterpret_cast<const char*>(data), size);
    KeyNode root;
    std::string error;
    if (!ParseHive(text, &root, &error)) return 0;
    const std::string once = SerializeHive(root);
    KeyNode again;
    if (!ParseHive(once, &again, &error)) std::abort();
    if (SerializeHive(again) != once) std::abort();
    return 0;
}
