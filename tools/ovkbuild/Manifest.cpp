#include "ovkbuild/Manifest.h"

#include "ovkbuild/Templates.h"

#include <fstream>
#include <sstream>

namespace ovkbuild {

namespace {

using morvell::OVKHeader;

std::string ReadWholeFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw BuildError("cannot read " + path.string());
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TOggettiHel KindOf(const std::string& key) {
    if (auto k = morvell::KindFromName(key)) return *k;
    try {
        std::size_t used = 0;
        int n = std::stoi(key, &used);
        if (used == key.size() && n >= 0 && n < morvell::kKindCount) return static_cast<TOggettiHel>(n);
    } catch (const std::exception&) {
    }
    throw BuildError("unknown object kind \"" + key + "\"");
}

std::int64_t IntegerValue(const Builder& b, const nlohmann::json& v) {
    if (v.is_boolean()) return v.get<bool>() ? 1 : 0;
    if (v.is_number_integer()) return v.get<std::int64_t>();
    if (v.is_number_unsigned()) return static_cast<std::int64_t>(v.get<std::uint64_t>());
    if (v.is_string()) {
        std::string s = v.get<std::string>();
        if (!s.empty() && s[0] == '@') {
            auto dot = s.rfind('.');
            if (dot != std::string::npos) {
                auto block = b.NamedData(s.substr(1, dot - 1));
                std::string what = s.substr(dot + 1);
                if (block && what == "offset") return block->offset;
                if (block && what == "length") return block->length;
            }
            throw BuildError("no data block for \"" + s + "\"");
        }
        try {
            std::size_t used = 0;
            long long n = std::stoll(s, &used, 0);
            if (used == s.size()) return n;
        } catch (const std::exception&) {
        }
    }
    throw BuildError("not an integer value: " + v.dump());
}

void ApplyField(Builder& b, Record& r, const nlohmann::json& f) {
    if (!f.is_object() || !f.contains("offset") || !f.contains("type") || !f.contains("value"))
        throw BuildError("a field needs \"offset\", \"type\" and \"value\": " + f.dump());
    int offset = f.at("offset").get<int>();
    auto type = FieldTypeFromName(f.at("type").get<std::string>());
    if (!type) throw BuildError("unknown field type in " + f.dump());
    const nlohmann::json& v = f.at("value");
    switch (*type) {
    case FieldType::Str:
        if (!f.contains("capacity")) throw BuildError("a str field needs a \"capacity\": " + f.dump());
        r.Str(offset, f.at("capacity").get<int>(), b.Encode(v.get<std::string>()));
        break;
    case FieldType::Bytes:
        r.Bytes(offset, FromHex(v.get<std::string>()));
        break;
    default:
        r.Integer(offset, *type, IntegerValue(b, v));
        break;
    }
}

std::string DataBytes(const Builder& b, const nlohmann::json& d, const std::filesystem::path& baseDir) {
    if (d.contains("text")) return b.Encode(d.at("text").get<std::string>());
    if (d.contains("hex")) return FromHex(d.at("hex").get<std::string>());
    if (d.contains("file")) return ReadWholeFile(baseDir / d.at("file").get<std::string>());
    throw BuildError("a data block needs \"text\", \"hex\" or \"file\": " + d.dump());
}

Record MakeRecord(Builder& b, TOggettiHel kind, const nlohmann::json& manifestEntry) {
    Record r;
    if (manifestEntry.contains("template")) {
        const std::string name = manifestEntry.at("template").get<std::string>();
        auto it = RecordTemplates().find(name);
        if (it == RecordTemplates().end()) throw BuildError("unknown record template \"" + name + "\"");
        r = it->second(b, manifestEntry);
    } else if (manifestEntry.contains("raw")) {
        std::uint8_t fill = manifestEntry.contains("fill") ? manifestEntry.at("fill").get<std::uint8_t>() : 0;
        std::string raw = FromHex(manifestEntry.at("raw").get<std::string>());
        std::size_t size = manifestEntry.contains("size") ? manifestEntry.at("size").get<std::size_t>() : Record::kDefaultSize;
        r = Record(size > raw.size() ? size : raw.size(), fill);
        r.Bytes(0, raw);
    } else {
        std::uint8_t fill = manifestEntry.contains("fill") ? manifestEntry.at("fill").get<std::uint8_t>() : 0;
        std::size_t size = manifestEntry.contains("size") ? manifestEntry.at("size").get<std::size_t>() : Record::kDefaultSize;
        r = Record(size, fill);
    }
    if (manifestEntry.contains("attributes"))
        AttachAttributes(b, kind, r, b.Encode(manifestEntry.at("attributes").get<std::string>()));
    // A dbloc template reads "fields" as its name/value list; raw record fields are "recordFields"
    // there, and may be either elsewhere.
    const bool dblocFields = manifestEntry.contains("template") && manifestEntry.at("template") == "dbloc";
    for (const char* key : {"fields", "recordFields"}) {
        if (!manifestEntry.contains(key) || (dblocFields && std::string(key) == "fields")) continue;
        for (const auto& f : manifestEntry.at(key)) ApplyField(b, r, f);
    }
    return r;
}

void ApplyHeader(Builder& b, const nlohmann::json& header) {
    for (const auto& [name, value] : header.items()) {
        if (name == "raw") continue;
        b.SetHeaderField(name, value);
    }
    if (header.contains("raw")) {
        Record raw = Record::FromRaw(
            std::string(reinterpret_cast<const char*>(b.Header().Raw().data()), OVKHeader::kSize));
        for (const auto& f : header.at("raw")) ApplyField(b, raw, f);
        if (raw.Size() != OVKHeader::kSize)
            throw BuildError("a raw header field lies past the header's 1978 bytes");
        std::copy(raw.Raw().begin(), raw.Raw().end(), b.Header().MutableRaw().begin());
    }
}

void ApplyBroken(Builder& b, const nlohmann::json& broken) {
    Breakage& k = b.Break();
    if (broken.contains("magic")) k.magic = broken.at("magic").get<std::string>();
    if (broken.contains("lastSectionByte")) k.lastSectionByte = broken.at("lastSectionByte").get<int>();
    if (broken.contains("truncateAt")) k.truncateAt = broken.at("truncateAt").get<std::int64_t>();
    if (broken.contains("recordAreaLength"))
        k.recordAreaLength = broken.at("recordAreaLength").get<std::int32_t>();
    if (broken.contains("trailingHex")) k.trailing = FromHex(broken.at("trailingHex").get<std::string>());
    if (broken.contains("sections")) {
        for (const auto& [key, s] : broken.at("sections").items()) {
            SectionOverride& o = k.sections[static_cast<std::size_t>(KindOf(key))];
            if (s.contains("offset")) o.offset = s.at("offset").get<std::int32_t>();
            if (s.contains("recordSize")) o.recordSize = s.at("recordSize").get<std::int32_t>();
            if (s.contains("count")) o.count = s.at("count").get<std::int32_t>();
        }
    }
}

} // namespace

Builder BuildFromManifest(const nlohmann::json& m, const std::filesystem::path& baseDir) {
    try {
        if (!m.is_object()) throw BuildError("a manifest is a JSON object");
        Builder b;
        if (m.contains("charSet")) b.SetCharSet(m.at("charSet").get<std::string>());
        if (m.contains("header")) ApplyHeader(b, m.at("header"));
        if (m.contains("sections"))
            for (const auto& [key, s] : m.at("sections").items())
                if (s.contains("recordSize"))
                    b.SetRecordSize(KindOf(key), s.at("recordSize").get<std::int32_t>());
        if (m.contains("data")) {
            for (const auto& d : m.at("data")) {
                std::string bytes = DataBytes(b, d, baseDir);
                if (d.contains("name"))
                    b.AddNamedData(d.at("name").get<std::string>(), std::move(bytes));
                else
                    b.AddData(std::move(bytes));
            }
        }
        if (m.contains("records"))
            for (const auto& [key, list] : m.at("records").items()) {
                TOggettiHel kind = KindOf(key);
                for (const auto& manifestEntry : list) b.AddRecord(kind, MakeRecord(b, kind, manifestEntry));
            }
        if (m.contains("broken")) ApplyBroken(b, m.at("broken"));
        return b;
    } catch (const nlohmann::json::exception& e) {
        // Wrong JSON types surface as the manifest's error, not as a library exception.
        throw BuildError(std::string("manifest: ") + e.what());
    }
}

Builder BuildFromManifestFile(const std::filesystem::path& manifestPath) {
    nlohmann::json m;
    try {
        m = nlohmann::json::parse(ReadWholeFile(manifestPath));
    } catch (const nlohmann::json::exception& e) {
        throw BuildError(manifestPath.string() + ": " + e.what());
    }
    return BuildFromManifest(m, manifestPath.parent_path());
}

} // namespace ovkbuild
