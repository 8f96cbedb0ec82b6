#include "platform/CodePage.h"

#include <cerrno>
#include <iconv.h>
#include <map>
#include <utility>

namespace morvell {

namespace {

bool IsAscii(std::string_view s) {
    for (unsigned char c : s)
        if (c >= 0x80) return false;
    return true;
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

// Length of the UTF-8 sequence at s[i], or 1 when it is not a valid one.
std::size_t Utf8SequenceLength(std::string_view s, std::size_t i) {
    auto c = static_cast<unsigned char>(s[i]);
    std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || i + n > s.size()) return 1;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 1;
    return n;
}

// Open descriptors, one per (target, source) pair and thread: opening one costs far more
// than converting a title, and a descriptor carries conversion state, so threads don't share.
class IconvCache {
public:
    ~IconvCache() {
        for (auto& [key, cd] : m_open)
            if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    }
    iconv_t Get(const std::string& to, const std::string& from) {
        auto key = std::make_pair(to, from);
        auto it = m_open.find(key);
        if (it == m_open.end()) it = m_open.emplace(key, iconv_open(to.c_str(), from.c_str())).first;
        return it->second;
    }

private:
    std::map<std::pair<std::string, std::string>, iconv_t> m_open;
};

thread_local IconvCache t_cache;

// Converts `in`; on a sequence the target cannot take, appends `replacement` and skips the
// input by `skip(in, position)` bytes.
template <typename Skip>
std::string Convert(iconv_t cd, std::string_view in, std::string_view replacement, Skip skip) {
    std::string out;
    out.reserve(in.size() * 2 + 8);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char buffer[1024];
    for (;;) {
        char* dst = buffer;
        std::size_t dstLeft = sizeof buffer;
        std::size_t rc =
            srcLeft ? iconv(cd, &src, &srcLeft, &dst, &dstLeft) : iconv(cd, nullptr, nullptr, &dst, &dstLeft);
        int err = errno;
        out.append(buffer, static_cast<std::size_t>(dst - buffer));
        if (rc != static_cast<std::size_t>(-1)) {
            if (srcLeft == 0) {
                // Flush what a composing converter (windows-1255, -1258) may still hold.
                dst = buffer;
                dstLeft = sizeof buffer;
                iconv(cd, nullptr, nullptr, &dst, &dstLeft);
                out.append(buffer, static_cast<std::size_t>(dst - buffer));
                break;
            }
            continue;
        }
        if (err == E2BIG) continue;
        // EILSEQ or EINVAL: an unconvertible or cut-off sequence.
        if (srcLeft == 0) break;
        std::size_t pos = in.size() - srcLeft;
        std::size_t n = skip(in, pos);
        out.append(replacement);
        src += n;
        srcLeft -= n;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    return out;
}

std::string Latin1ToUtf8(std::string_view in) {
    std::string out;
    for (unsigned char c : in) {
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

} // namespace

std::string CodePage::IconvName(std::string_view charSet) {
    std::string name = Lower(charSet);
    while (!name.empty() && (name.back() == ' ' || name.back() == '\0')) name.pop_back();
    while (!name.empty() && name.front() == ' ') name.erase(name.begin());
    if (name.size() == 12 && name.compare(0, 8, "windows-") == 0 && name.compare(8, 3, "125") == 0 &&
        name[11] >= '0' && name[11] <= '8')
        return "WINDOWS-" + name.substr(8);
    return "WINDOWS-1252";
}

std::string CodePage::ToUtf8(std::string_view bytes, std::string_view charSet) {
    if (IsAscii(bytes)) return std::string(bytes);
    iconv_t cd = t_cache.Get("UTF-8", IconvName(charSet));
    // Without a working iconv (a stripped-down system) latin-1 still gives readable text.
    if (cd == reinterpret_cast<iconv_t>(-1)) return Latin1ToUtf8(bytes);
    return Convert(cd, bytes, "\xEF\xBF\xBD", [](std::string_view, std::size_t) { return std::size_t{1}; });
}

std::string CodePage::FromUtf8(std::string_view utf8, std::string_view charSet) {
    if (IsAscii(utf8)) return std::string(utf8);
    iconv_t cd = t_cache.Get(IconvName(charSet), "UTF-8");
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        std::string out;
        for (std::size_t i = 0; i < utf8.size();) {
            std::size_t n = Utf8SequenceLength(utf8, i);
            out += n == 1 && static_cast<unsigned char>(utf8[i]) < 0x80 ? utf8[i] : '?';
            i += n;
        }
        return out;
    }
    return Convert(cd, utf8, "?", Utf8SequenceLength);
}

} // namespace morvell
