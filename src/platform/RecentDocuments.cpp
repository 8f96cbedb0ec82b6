// The desktop's recently-used list (freedesktop XBEL). Entries of other programs are kept
// byte for byte; only the entry of the added file is touched.

#include "platform/Files.h"
#include "platform/XmlEscape.h"
#include "platform/Shell.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace morvell {

namespace {

constexpr const char* kAppName = "Morvell";
constexpr const char* kAppExec = "&apos;morvell %u&apos;";
constexpr const char* kNsBookmark = "http://www.freedesktop.org/standards/desktop-bookmarks";
constexpr const char* kNsMime = "http://www.freedesktop.org/standards/shared-mime-info";


std::string FileUri(const std::string& absolute) {
    static const char* hex = "0123456789ABCDEF";
    std::string out = "file://";
    for (unsigned char c : absolute) {
        bool keep = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' ||
                    c == '-' || c == '_' || c == '.' || c == '~';
        if (keep) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

std::string Now() {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
    gmtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%SZ", &tm);
    return buf;
}

std::string NewBookmark(const std::string& uri, const std::string& mime, const std::string& stamp) {
    std::ostringstream b;
    b << "  <bookmark href=\"" << XmlEscape(uri) << "\" added=\"" << stamp << "\" modified=\"" << stamp
      << "\" visited=\"" << stamp << "\">\n"
      << "    <info>\n"
      << "      <metadata owner=\"http://freedesktop.org\">\n"
      << "        <mime:mime-type type=\"" << XmlEscape(mime) << "\"/>\n"
      << "        <bookmark:applications>\n"
      << "          <bookmark:application name=\"" << kAppName << "\" exec=\"" << kAppExec << "\" modified=\""
      << stamp << "\" count=\"1\"/>\n"
      << "        </bookmark:applications>\n"
      << "      </metadata>\n"
      << "    </info>\n"
      << "  </bookmark>\n";
    return b.str();
}

// Sets attribute `name` inside the start tag s[begin, end) (end at its ">" or "/>").
void SetAttribute(std::string& s, size_t begin, size_t& end, const std::string& name,
                  const std::string& value) {
    std::string key = " " + name + "=\"";
    size_t pos = s.find(key, begin);
    if (pos != std::string::npos && pos < end) {
        size_t vbegin = pos + key.size();
        size_t vend = s.find('"', vbegin);
        if (vend != std::string::npos && vend < end) {
            s.replace(vbegin, vend - vbegin, value);
            end = end - (vend - vbegin) + value.size();
            return;
        }
    }
    std::string attr = key + value + "\"";
    size_t at = end;
    if (at > begin && s[at - 1] == '/') --at;
    s.insert(at, attr);
    end += attr.size();
}

size_t TagEnd(const std::string& s, size_t from) {
    // Attribute values cannot hold a raw ">" in files we accept; GLib escapes it.
    return s.find('>', from);
}

// Updates an existing bookmark block [begin, end) for another visit by this program.
// Returns false when the block is not shaped as expected.
bool TouchBookmark(std::string& doc, size_t begin, size_t& end, const std::string& stamp) {
    std::string block = doc.substr(begin, end - begin);
    size_t startEnd = TagEnd(block, 0);
    if (startEnd == std::string::npos) return false;
    SetAttribute(block, 0, startEnd, "modified", stamp);
    SetAttribute(block, 0, startEnd, "visited", stamp);

    std::string appTag = "<bookmark:application name=\"" + std::string(kAppName) + "\"";
    size_t app = block.find(appTag);
    if (app != std::string::npos) {
        size_t appEnd = TagEnd(block, app);
        if (appEnd == std::string::npos) return false;
        size_t cpos = block.find(" count=\"", app);
        long count = 0;
        if (cpos != std::string::npos && cpos < appEnd)
            count = std::strtol(block.c_str() + cpos + 8, nullptr, 10);
        if (count < 0 || count > 1000000000) count = 0;
        SetAttribute(block, app, appEnd, "modified", stamp);
        SetAttribute(block, app, appEnd, "count", std::to_string(count + 1));
    } else {
        std::string line = "<bookmark:application name=\"" + std::string(kAppName) + "\" exec=\"" + kAppExec +
                           "\" modified=\"" + stamp + "\" count=\"1\"/>\n        ";
        size_t close = block.find("</bookmark:applications>");
        if (close != std::string::npos) {
            block.insert(close, line);
        } else {
            size_t meta = block.find("<metadata owner=\"http://freedesktop.org\">");
            if (meta == std::string::npos) return false;
            size_t after = meta + std::string("<metadata owner=\"http://freedesktop.org\">").size();
            block.insert(after,
                         "\n        <bookmark:applications>\n          " + line + "</bookmark:applications>");
        }
    }
    doc.replace(begin, end - begin, block);
    end = begin + block.size();
    return true;
}


} // namespace

std::string RecentDocumentsFile() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') return (fs::path(data) / "recently-used.xbel").string();
    const char* home = std::getenv("HOME");
    return (fs::path(home && *home ? home : "/tmp") / ".local/share/recently-used.xbel").string();
}

bool AddRecentDocument(const std::string& path) {
    if (path.empty()) return false;
    std::error_code ec;
    fs::path absolute = fs::absolute(path, ec);
    if (ec) return false;
    std::string uri = FileUri(absolute.lexically_normal().string());
    std::string mime = MimeTypeOfName(absolute.filename().string());
    if (mime.empty()) mime = "application/octet-stream";
    std::string stamp = Now();
    fs::path file = RecentDocumentsFile();

    std::string doc;
    if (fs::exists(file, ec)) {
        std::ifstream in(file, std::ios::binary);
        if (!in) return false;
        std::ostringstream ss;
        ss << in.rdbuf();
        doc = ss.str();
    }

    size_t xbel = doc.find("<xbel");
    size_t closing = doc.rfind("</xbel>");
    bool fresh = doc.find_first_not_of(" \t\r\n") == std::string::npos;
    if (fresh) {
        doc = std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<xbel version=\"1.0\"\n      "
                          "xmlns:bookmark=\"") +
              kNsBookmark + "\"\n      xmlns:mime=\"" + kNsMime + "\"\n>\n" + NewBookmark(uri, mime, stamp) +
              "</xbel>\n";
        return WriteFileAtomically(file.string(), doc);
    }
    // Something we do not understand is left alone rather than replaced by our own list.
    if (xbel == std::string::npos || closing == std::string::npos || closing < xbel) return false;

    // Our entries use the bookmark: and mime: prefixes; declare them when the list does not.
    size_t xbelEnd = TagEnd(doc, xbel);
    if (xbelEnd == std::string::npos || xbelEnd > closing) return false;
    if (doc.find("xmlns:bookmark=", xbel) > xbelEnd) {
        SetAttribute(doc, xbel, xbelEnd, "xmlns:bookmark", kNsBookmark);
        closing = doc.rfind("</xbel>");
    }
    if (doc.find("xmlns:mime=", xbel) > xbelEnd) {
        SetAttribute(doc, xbel, xbelEnd, "xmlns:mime", kNsMime);
        closing = doc.rfind("</xbel>");
    }

    std::string hrefAttr = "href=\"" + XmlEscape(uri) + "\"";
    size_t pos = xbelEnd;
    while (true) {
        size_t b = doc.find("<bookmark", pos);
        if (b == std::string::npos || b >= closing) break;
        char next = b + 9 < doc.size() ? doc[b + 9] : '\0';
        if (next != ' ' && next != '\t' && next != '\n' && next != '\r') {
            pos = b + 9; // <bookmark:...> elements of the metadata
            continue;
        }
        size_t startEnd = TagEnd(doc, b);
        if (startEnd == std::string::npos) return false;
        size_t blockEnd;
        if (doc[startEnd - 1] == '/') {
            blockEnd = startEnd + 1;
        } else {
            size_t close = doc.find("</bookmark>", startEnd);
            if (close == std::string::npos) return false;
            blockEnd = close + 11;
        }
        std::string start = doc.substr(b, startEnd - b);
        if (start.find(hrefAttr) != std::string::npos) {
            if (doc[startEnd - 1] == '/' || !TouchBookmark(doc, b, blockEnd, stamp)) {
                doc.replace(b, blockEnd - b, NewBookmark(uri, mime, stamp).substr(2));
            }
            return WriteFileAtomically(file.string(), doc);
        }
        pos = blockEnd;
    }
    closing = doc.rfind("</xbel>");
    doc.insert(closing, NewBookmark(uri, mime, stamp));
    return WriteFileAtomically(file.string(), doc);
}

} // namespace morvell
