#include "platform/registry/HiveFormat.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "platform/registry/Registry.h"

namespace quvo::registry {

namespace {

const char kHex[] = "0123456789abcdef";

void AppendQuoted(std::string* out, std::string_view text)
{
    out->push_back('"');
    for (char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        switch (c) {
        case '\\': out->append("\\\\"); break;
        case '"': out->append("\\\""); break;
        case '\n': out->append("\\n"); break;
        case '\r': out->append("\\r"); break;
        case '\t': out->append("\\t"); break;
        default:
            if (c < 0x20 || c == 0x7F) {
                out->append("\\x");
                out->push_back(kHex[c >> 4]);
                out->push_back(kHex[c & 15]);
            } else {
                out->push_back(ch);
            }
        }
    }
    out->push_back('"');
}

void AppendHexBytes(std::string* out, std::string_view bytes)
{
    out->append("hex:");
    for (char ch : bytes) {
        const unsigned char c = static_cast<unsigned char>(ch);
        out->push_back(kHex[c >> 4]);
        out->push_back(kHex[c & 15]);
    }
}

std::uint64_t LittleEndian(std::string_view bytes)
{
    std::uint64_t v = 0;
    for (std::size_t i = bytes.size(); i > 0; --i)
        v = (v << 8) | static_cast<unsigned char>(bytes[i - 1]);
    return v;
}

void AppendValue(std::string* out, const std::string& name, const Value& v)
{
    out->append("val ");
    AppendQuoted(out, name);
    char num[32];
    if (v.type == REG_SZ || v.type == REG_EXPAND_SZ || v.type == REG_MULTI_SZ) {
        out->append(v.type == REG_SZ ? " sz " : v.type == REG_EXPAND_SZ ? " expand_sz " : " multi_sz ");
        AppendQuoted(out, v.bytes);
    } else if (v.type == REG_DWORD && v.bytes.size() == 4) {
        std::snprintf(num, sizeof num, " dword 0x%08" PRIX64, LittleEndian(v.bytes));
        out->append(num);
    } else if (v.type == REG_QWORD && v.bytes.size() == 8) {
        std::snprintf(num, sizeof num, " qword 0x%016" PRIX64, LittleEndian(v.bytes));
        out->append(num);
    } else {
        if (v.type == REG_BINARY) {
            out->append(" binary ");
        } else {
            std::snprintf(num, sizeof num, " type:%u ", static_cast<unsigned>(v.type));
            out->append(num);
        }
        AppendHexBytes(out, v.bytes);
    }
    out->push_back('\n');
}

void AppendKey(std::string* out, std::vector<std::string>* path, const KeyNode& node,
               std::size_t* keys, std::size_t* values)
{
    // The root gets a line only when it holds values; every other key always has one.
    if (!path->empty() || !node.values.empty()) {
        out->append("key");
        for (const std::string& name : *path) {
            out->push_back(' ');
            AppendQuoted(out, name);
        }
        out->push_back('\n');
        ++*keys;
    }
    for (const auto& [name, value] : node.values) {
        AppendValue(out, name, value);
        ++*values;
    }
    for (const auto& [name, child] : node.subkeys) {
        path->push_back(name);
        AppendKey(out, path, *child, keys, values);
        path->pop_back();
    }
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Reads one line's space-separated tokens; quoted ones come back unescaped.
class LineReader {
public:
    explicit LineReader(std::string_view line) : line_(line) {}

    bool AtEnd() const { return pos_ >= line_.size(); }

    // A bare word (up to the next space).
    bool Word(std::string* out)
    {
        if (!SkipSeparator() || AtEnd() || line_[pos_] == '"') return false;
        std::size_t end = line_.find(' ', pos_);
        if (end == std::string_view::npos) end = line_.size();
        out->assign(line_.substr(pos_, end - pos_));
        pos_ = end;
        return true;
    }

    bool Quoted(std::string* out)
    {
        if (!SkipSeparator() || AtEnd() || line_[pos_] != '"') return false;
        ++pos_;
        out->clear();
        while (pos_ < line_.size()) {
            char c = line_[pos_++];
            if (c == '"') return true;
            if (c != '\\') {
                out->push_back(c);
                continue;
            }
            if (pos_ >= line_.size()) return false;
            char e = line_[pos_++];
            switch (e) {
            case '\\': out->push_back('\\'); break;
            case '"': out->push_back('"'); break;
            case 'n': out->push_back('\n'); break;
            case 'r': out->push_back('\r'); break;
            case 't': out->push_back('\t'); break;
            case 'x': {
                if (pos_ + 2 > line_.size()) return false;
                int hi = HexDigit(line_[pos_]), lo = HexDigit(line_[pos_ + 1]);
                if (hi < 0 || lo < 0) return false;
                out->push_back(static_cast<char>(hi * 16 + lo));
                pos_ += 2;
                break;
            }
            default: return false;
            }
        }
        return false;  // no closing quote
    }

private:
    // Tokens after the first are preceded by exactly one space.
    bool SkipSeparator()
    {
        if (pos_ == 0) return true;
        if (pos_ >= line_.size() || line_[pos_] != ' ') return false;
        ++pos_;
        return true;
    }

    std::string_view line_;
    std::size_t pos_ = 0;
};

bool ParseHexNumber(const std::string& word, int digits, std::uint64_t* out)
{
    if (word.size() != static_cast<std::size_t>(digits) + 2 || word[0] != '0' || word[1] != 'x')
        return false;
    std::uint64_t v = 0;
    for (std::size_t i = 2; i < word.size(); ++i) {
        int d = HexDigit(word[i]);
        if (d < 0) return false;
        v = (v << 4) | static_cast<std::uint64_t>(d);
    }
    *out = v;
    return true;
}

bool ParseHexBytes(const std::string& word, std::string* out)
{
    if (word.compare(0, 4, "hex:") != 0 || (word.size() - 4) % 2 != 0) return false;
    out->clear();
    for (std::size_t i = 4; i < word.size(); i += 2) {
        int hi = HexDigit(word[i]), lo = HexDigit(word[i + 1]);
        if (hi < 0 || lo < 0) return false;
        out->push_back(static_cast<char>(hi * 16 + lo));
    }
    return true;
}

std::string LittleEndianBytes(std::uint64_t v, int count)
{
    std::string bytes;
    for (int i = 0; i < count; ++i, v >>= 8) bytes.push_back(static_cast<char>(v & 0xFF));
    return bytes;
}

bool ParseTypedData(const std::string& typeWord, LineReader* r, Value* v)
{
    std::string word;
    if (typeWord == "sz" || typeWord == "expand_sz" || typeWord == "multi_sz") {
        v->type = typeWord == "sz" ? REG_SZ : typeWord == "expand_sz" ? REG_EXPAND_SZ : REG_MULTI_SZ;
        return r->Quoted(&v->bytes);
    }
    if (!r->Word(&word)) return false;
    std::uint64_t n = 0;
    if (typeWord == "dword") {
        v->type = REG_DWORD;
        if (!ParseHexNumber(word, 8, &n)) return false;
        v->bytes = LittleEndianBytes(n, 4);
        return true;
    }
    if (typeWord == "qword") {
        v->type = REG_QWORD;
        if (!ParseHexNumber(word, 16, &n)) return false;
        v->bytes = LittleEndianBytes(n, 8);
        return true;
    }
    if (typeWord == "binary") {
        v->type = REG_BINARY;
    } else if (typeWord.compare(0, 5, "type:") == 0 && typeWord.size() > 5 && typeWord.size() <= 15) {
        unsigned long long t = 0;
        for (std::size_t i = 5; i < typeWord.size(); ++i) {
            if (typeWord[i] < '0' || typeWord[i] > '9') return false;
            t = t * 10 + static_cast<unsigned>(typeWord[i] - '0');
        }
        if (t > 0xFFFFFFFFull) return false;
        v->type = static_cast<DWORD>(t);
    } else {
        return false;
    }
    return ParseHexBytes(word, &v->bytes);
}

bool Fail(std::string* error, std::size_t lineNo, const char* what)
{
    *error = "line " + std::to_string(lineNo) + ": " + what;
    return false;
}

}  // namespace

std::string SerializeHive(const KeyNode& root)
{
    std::string out = kHiveHeader;
    out.push_back('\n');
    std::vector<std::string> path;
    std::size_t keys = 0, values = 0;
    AppendKey(&out, &path, root, &keys, &values);
    out += "end " + std::to_string(keys) + " " + std::to_string(values) + "\n";
    return out;
}

bool ParseHive(std::string_view text, KeyNode* root, std::string* error)
{
    root->subkeys.clear();
    root->values.clear();
    std::size_t lineNo = 0, pos = 0;
    std::size_t keys = 0, values = 0;
    KeyNode* current = nullptr;
    bool ended = false;
    while (pos < text.size()) {
        std::size_t nl = text.find('\n', pos);
        if (nl == std::string_view::npos) return Fail(error, lineNo + 1, "line without end");
        std::string_view line = text.substr(pos, nl - pos);
        pos = nl + 1;
        ++lineNo;
        if (ended) return Fail(error, lineNo, "text after the end line");
        if (lineNo == 1) {
            if (line != kHiveHeader) {
                if (line.substr(0, 14) == "QUVO-REGISTRY ")
                    return Fail(error, lineNo, "unsupported format version");
                return Fail(error, lineNo, "not a registry file");
            }
            continue;
        }
        LineReader r(line);
        std::string word;
        if (!r.Word(&word)) return Fail(error, lineNo, "missing record kind");
        if (word == "key") {
            std::vector<std::string> path;
            std::string name;
            while (!r.AtEnd()) {
                if (!r.Quoted(&name) || name.empty() || name.find('\\') != std::string::npos)
                    return Fail(error, lineNo, "bad key name");
                path.push_back(name);
            }
            current = &root->Ensure(path, nullptr);
            ++keys;
        } else if (word == "val") {
            if (!current) return Fail(error, lineNo, "value before any key");
            std::string name, typeWord;
            Value v;
            if (!r.Quoted(&name)) return Fail(error, lineNo, "bad value name");
            if (!r.Word(&typeWord) || !ParseTypedData(typeWord, &r, &v) || !r.AtEnd())
                return Fail(error, lineNo, "bad value data");
            current->values[name] = std::move(v);
            ++values;
        } else if (word == "end") {
            std::string a, b;
            if (!r.Word(&a) || !r.Word(&b) || !r.AtEnd())
                return Fail(error, lineNo, "bad end line");
            if (a != std::to_string(keys) || b != std::to_string(values))
                return Fail(error, lineNo, "record count does not match the end line");
            ended = true;
        } else {
            return Fail(error, lineNo, "unknown record kind");
        }
    }
    if (lineNo == 0) return Fail(error, 1, "empty file");
    if (!ended) return Fail(error, lineNo, "file ends without its end line (cut short?)");
    return true;
}

}  // namespace quvo::registry
