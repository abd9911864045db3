#include "filewriter/OutputNames.h"

namespace quvo::filewriter {
namespace {

char16_t AsciiLower(char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; }

bool EqualsIgnoringAsciiCase(std::u16string_view a, std::u16string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
    return true;
}

}  // namespace

std::u16string ReplaceDescriptionExtension(std::u16string_view name)
{
    std::size_t dot = name.rfind(u'.');
    std::u16string out(name);
    if (dot != std::u16string_view::npos && EqualsIgnoringAsciiCase(name.substr(dot), kDescriptionExtension))
        out.replace(dot, std::u16string::npos, kMediaExtension);
    return out;
}

void SplitAtLastDot(std::u16string_view name, std::u16string* base, std::u16string* extension)
{
    std::size_t dot = name.rfind(u'.');
    if (dot == std::u16string_view::npos) {
        base->assign(name);
        extension->clear();
        return;
    }
    base->assign(name.substr(0, dot));
    extension->assign(name.substr(dot));
}

std::u16string FragmentName(std::u16string_view base, int index, std::u16string_view extension)
{
    std::u16string out(base);
    out += u'_';
    for (char c : std::to_string(index)) out += static_cast<char16_t>(c);
    out += extension;
    return out;
}

std::u16string DescriptionName(std::u16string_view base)
{
    std::u16string out(base);
    out += kDescriptionExtension;
    return out;
}

std::string DescriptionLine(std::string_view fragmentPath, ULONGLONG bytes)
{
    std::size_t cut = fragmentPath.find_last_of("\\/:");
    std::string_view leaf = cut == std::string_view::npos ? fragmentPath : fragmentPath.substr(cut + 1);
    std::string line(leaf);
    line += ';';
    // Signed decimal, as the description's readers expect; sizes never reach 2^63.
    line += std::to_string(static_cast<long long>(bytes));
    line += "\r\n";
    return line;
}

}  // namespace quvo::filewriter
