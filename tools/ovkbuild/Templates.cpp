#include "ovkbuild/Templates.h"

#include "objects/AttributeText.h"
#include "objects/FieldList.h"

namespace ovkbuild {

using morvell::MakeReference;

namespace {

constexpr std::int32_t kNone = -1;

std::string StringOf(const nlohmann::json& manifestEntry, const char* key) {
    return manifestEntry.contains(key) ? manifestEntry.at(key).get<std::string>() : std::string();
}

int IntOf(const nlohmann::json& manifestEntry, const char* key, int fallback) {
    if (!manifestEntry.contains(key)) return fallback;
    const nlohmann::json& v = manifestEntry.at(key);
    if (v.is_string()) return static_cast<int>(std::stoll(v.get<std::string>(), nullptr, 0));
    return v.get<int>();
}

// The data block a manifest record carries: "text" (converted to the code page), "hex", or
// "data" naming a block of the manifest's data list (for files read from disk).
DataBlock DataOf(Builder& b, const nlohmann::json& manifestEntry) {
    if (manifestEntry.contains("data")) {
        const std::string name = manifestEntry.at("data").get<std::string>();
        auto block = b.NamedData(name);
        if (!block) throw BuildError("no data block \"" + name + "\"");
        return *block;
    }
    if (manifestEntry.contains("hex")) return b.AddData(FromHex(manifestEntry.at("hex").get<std::string>()));
    if (manifestEntry.contains("text")) return b.AddData(b.Encode(manifestEntry.at("text").get<std::string>()));
    return {};
}

DataBlock AddBytes(Builder& b, const std::string& bytes) {
    return bytes.empty() ? DataBlock{} : b.AddData(bytes);
}

std::int32_t I32Of(std::int64_t v) { return static_cast<std::int32_t>(v); }

Record GenLinkRecord(Builder& b, const std::string& storedName, DataBlock block) {
    Record r;
    r.I32(0, I32Of(block.offset)).U8(4, 4).Str(5, 78, b.Encode(storedName)).U8(84, 0);
    r.I32(85, I32Of(block.length)).I32(89, b.Header().Revision());
    return r;
}

Record ImmagineRecord(Builder& b, const std::string& name, const std::string& storedName, DataBlock block) {
    Record r;
    r.I32(0, I32Of(block.offset)).U8(4, 0).Str(5, 71, b.Encode(name)).I32(77, b.Header().Revision());
    r.Str(94, 75, b.Encode(storedName)).I32(174, I32Of(block.length)).I32(662, kNone).U8(666, 0);
    return r;
}

Record InternetLinkRecord(Builder& b, const std::string& address) {
    int subKind = 4;
    if (address.rfind("vosk:", 0) == 0) subKind = 6;
    if (address.rfind("http:", 0) == 0) subKind = 7;
    if (address.rfind("mailto:", 0) == 0) subKind = 8;
    Record r;
    r.U8(4, static_cast<std::uint8_t>(subKind)).Str(5, 127, b.Encode(address)).I32(89, b.Header().Revision());
    return r;
}

Record KeywordRecord(Builder& b, const std::string& keyword) {
    Record r;
    r.Str(0, 79, b.Encode(keyword));
    return r;
}

Record ShortObjRecord(int subKind, DataBlock block) {
    Record r;
    r.I32(0, I32Of(block.offset)).U8(4, static_cast<std::uint8_t>(subKind)).I32(5, kNone);
    r.I32(13, I32Of(block.length)).U8(17, 0).I32(20, 0).I32(24, 0);
    return r;
}

Record DblocRecord(Builder& b, const std::string& name, DataBlock block, int iconSelector) {
    Record r;
    r.I32(0, I32Of(block.offset)).U8(4, 7).I32(13, I32Of(block.length)).Str(17, 15, b.Encode(name));
    r.I32(38, 0).I32(42, 0).U8(46, static_cast<std::uint8_t>(iconSelector)).I32(47, kNone);
    for (int i = 0; i < 4; ++i) r.I32(51 + 4 * i, kNone);
    return r;
}

Record SpeclinkRecord(Builder& b, int subKind, std::int32_t target, int mode, const std::string& window,
                      DataBlock block) {
    Record r;
    r.I32(0, I32Of(block.offset)).U8(4, static_cast<std::uint8_t>(subKind)).I32(5, I32Of(block.length));
    r.I32(9, kNone).I32(13, target).U8(17, 0).U8(18, static_cast<std::uint8_t>(mode));
    r.Str(19, 19, b.Encode(window)).I32(39, 0).I32(43, 0);
    return r;
}

std::vector<std::pair<std::string, std::string>> FieldsOf(const nlohmann::json& manifestEntry) {
    std::vector<std::pair<std::string, std::string>> fields;
    if (!manifestEntry.contains("fields")) return fields;
    const nlohmann::json& f = manifestEntry.at("fields");
    // An array of [name, value] pairs keeps its order; an object is read in key order.
    if (f.is_array()) {
        for (const auto& pair : f)
            fields.emplace_back(pair.at(0).get<std::string>(), pair.at(1).get<std::string>());
    } else {
        for (const auto& [name, value] : f.items()) fields.emplace_back(name, value.get<std::string>());
    }
    return fields;
}

void SetHolderFromSpec(Builder& b, const nlohmann::json& manifestEntry) {
    const std::int32_t ref = MakeReference(TOggettiHel::shortObj, b.Count(TOggettiHel::shortObj));
    if (manifestEntry.value("treeHolder", false)) b.Header().SetTreeHolder(ref);
    if (manifestEntry.value("customTreeHolder", false)) b.Header().SetCustomTreeHolder(ref);
}

std::map<std::string, RecordTemplate>& Registry() {
    static std::map<std::string, RecordTemplate> templates = {
        {"page",
         [](Builder& b, const nlohmann::json& manifestEntry) {
             std::string title = manifestEntry.contains("title") ? manifestEntry.at("title").get<std::string>() : "";
             Record r = PageRecord(b, b.Encode(title));
             if (manifestEntry.contains("text")) {
                 DataBlock block = b.AddData(b.Encode(manifestEntry.at("text").get<std::string>()));
                 r.I32(page::kTextPosition, static_cast<std::int32_t>(block.offset));
                 r.I32(page::kTextLength, static_cast<std::int32_t>(block.length));
             }
             if (manifestEntry.contains("keywords")) {
                 int i = 0;
                 for (const auto& k : manifestEntry.at("keywords")) {
                     if (i == 20) throw BuildError("a page has at most 20 keywords");
                     r.I32(page::kKeywords + 4 * i++, k.get<std::int32_t>());
                 }
             }
             return r;
         }},
        {"genLink",
         [](Builder& b, const nlohmann::json& manifestEntry) {
             return GenLinkRecord(b, StringOf(manifestEntry, "fileName"), DataOf(b, manifestEntry));
         }},
        {"immagine",
         [](Builder& b, const nlohmann::json& manifestEntry) {
             return ImmagineRecord(b, StringOf(manifestEntry, "name"), StringOf(manifestEntry, "fileName"), DataOf(b, manifestEntry));
         }},
        {"internetLink",
         [](Builder& b, const nlohmann::json& manifestEntry) {
             return InternetLinkRecord(b, StringOf(manifestEntry, "address"));
         }},
        {"keyword",
         [](Builder& b, const nlohmann::json& manifestEntry) { return KeywordRecord(b, StringOf(manifestEntry, "keyword")); }},
        {"shortObj",
         [](Builder& b, const nlohmann::json& manifestEntry) {
             SetHolderFromSpec(b, manifestEntry);
             return ShortObjRecord(IntOf(manifestEntry, "subKind", 1), DataOf(b, manifestEntry));
         }},
        {"dbloc",
         [](Builder& b, const nlohmann::json& manifestEntry) {
             const bool props = manifestEntry.value("propertyList", false);
             if (props)
                 b.Header().SetPropertyList(MakeReference(TOggettiHel::dbloc, b.Count(TOggettiHel::dbloc)));
             DataBlock block = AddBytes(b, FieldListBytes(b, FieldsOf(manifestEntry)));
             return DblocRecord(b, manifestEntry.contains("name") ? StringOf(manifestEntry, "name") : "db", block,
                                IntOf(manifestEntry, "iconSelector", props ? 1 : 0));
         }},
        {"speclink",
         [](Builder& b, const nlohmann::json& manifestEntry) {
             return SpeclinkRecord(b, IntOf(manifestEntry, "subKind", 1), IntOf(manifestEntry, "target", kNone),
                                   IntOf(manifestEntry, "mode", 0), StringOf(manifestEntry, "window"), DataOf(b, manifestEntry));
         }},
        {"stileParagrafo",
         [](Builder& b, const nlohmann::json& manifestEntry) {
             return ParagraphStyleRecord(b, StringOf(manifestEntry, "name"));
         }},
    };
    return templates;
}

} // namespace

Record PageRecord(const Builder& builder, std::string_view titleBytes) {
    const morvell::OVKHeader& h = builder.Header();
    Record r(Record::kDefaultSize, 0xFF);
    r.I32(page::kTextPosition, 0)
        .U8(page::kStatus, 0)
        .Str(page::kTitle, page::kTitleCapacity, titleBytes)
        .I16(page::kBrowseGroup, 0)
        .I16(page::kBrowsePosition, -1)
        .I32(page::kFrameMap, -1)
        .I32(page::kBackgroundPicture, h.NewPageBackgroundPicture())
        .U32(page::kTextColor, h.NewPageTextColor())
        .U32(page::kLinkColor, h.NewPageLinkColor())
        .U32(page::kLink2Color, h.NewPageLink2Color())
        .U32(page::kBackgroundColor, h.NewPageBackgroundColor());
    for (int i = 0; i < 20; ++i) r.I32(page::kKeywords + 4 * i, -1);
    r.I32(page::kTextLength, 0)
        .U8(page::kNotInBrowseSequence, 1)
        .I16(page::kLanguage, 1033)
        .U8(194, 0)
        .U8(page::kMarkupVersion, 2)
        .I32(page::kRevision, h.Revision())
        .U8(200, 0)
        .I16(page::kSlideDelay, 0)
        .I32(page::kNextSlide, -1)
        .I32(page::kHeaderPage, -1)
        .I32(page::kFooterPage, -1)
        .I32(page::kExtraPosition, 0)
        .I32(page::kExtraLength, 0)
        .U8(page::kBackgroundMode, 0);
    return r;
}

std::int32_t AddPage(Builder& builder, const std::string& titleUtf8, const std::string& textBytes) {
    Record r = PageRecord(builder, builder.Encode(titleUtf8));
    if (!textBytes.empty()) {
        DataBlock block = builder.AddData(textBytes);
        r.I32(page::kTextPosition, static_cast<std::int32_t>(block.offset));
        r.I32(page::kTextLength, static_cast<std::int32_t>(block.length));
    }
    builder.AddRecord(morvell::TOggettiHel::testoHtml, std::move(r));
    return builder.Count(morvell::TOggettiHel::testoHtml) - 1;
}

std::int32_t AddPage(Builder& builder, const std::string& titleUtf8, const std::string& textBytes,
                     const std::vector<std::int32_t>& keywords) {
    if (keywords.size() > 20) throw BuildError("a page has at most 20 keywords");
    const std::int32_t index = AddPage(builder, titleUtf8, textBytes);
    Record& r = builder.RecordAt(TOggettiHel::testoHtml, static_cast<std::size_t>(index));
    for (std::size_t i = 0; i < keywords.size(); ++i)
        r.I32(page::kKeywords + 4 * static_cast<int>(i), keywords[i]);
    return index;
}

namespace {
std::int32_t Added(Builder& builder, TOggettiHel kind, Record record) {
    builder.AddRecord(kind, std::move(record));
    return builder.Count(kind) - 1;
}
} // namespace

std::int32_t AddGenLink(Builder& builder, const std::string& storedNameUtf8, const std::string& fileBytes) {
    return Added(builder, TOggettiHel::genLink,
                 GenLinkRecord(builder, storedNameUtf8, AddBytes(builder, fileBytes)));
}

std::int32_t AddImmagine(Builder& builder, const std::string& nameUtf8, const std::string& storedNameUtf8,
                         const std::string& pictureBytes) {
    return Added(builder, TOggettiHel::immagine,
                 ImmagineRecord(builder, nameUtf8, storedNameUtf8, AddBytes(builder, pictureBytes)));
}

std::int32_t AddInternetLink(Builder& builder, const std::string& addressUtf8) {
    return Added(builder, TOggettiHel::internetLink, InternetLinkRecord(builder, addressUtf8));
}

std::int32_t AddKeyword(Builder& builder, const std::string& keywordUtf8) {
    return Added(builder, TOggettiHel::keyword, KeywordRecord(builder, keywordUtf8));
}

std::int32_t AddShortObj(Builder& builder, int subKind, const std::string& dataBytes) {
    return Added(builder, TOggettiHel::shortObj, ShortObjRecord(subKind, AddBytes(builder, dataBytes)));
}

std::int32_t AddNodeList(Builder& builder, const std::string& nodeList, bool custom) {
    const std::int32_t index = AddShortObj(builder, 1, nodeList);
    const std::int32_t ref = MakeReference(TOggettiHel::shortObj, index);
    if (custom)
        builder.Header().SetCustomTreeHolder(ref);
    else
        builder.Header().SetTreeHolder(ref);
    return index;
}

std::string FieldListBytes(const Builder& builder,
                           const std::vector<std::pair<std::string, std::string>>& fields) {
    std::vector<std::string> lines;
    for (const auto& [name, value] : fields) {
        lines.push_back(morvell::LowerAscii(builder.Encode(name)));
        lines.push_back(morvell::EncodeLineBreaks(builder.Encode(value)));
    }
    return morvell::JoinFieldLines(lines);
}

std::int32_t AddDbloc(Builder& builder, const std::string& nameUtf8,
                      const std::vector<std::pair<std::string, std::string>>& fields, int iconSelector) {
    DataBlock block = AddBytes(builder, FieldListBytes(builder, fields));
    return Added(builder, TOggettiHel::dbloc, DblocRecord(builder, nameUtf8, block, iconSelector));
}

std::int32_t AddPropertyList(Builder& builder,
                             const std::vector<std::pair<std::string, std::string>>& fields) {
    const std::int32_t index = AddDbloc(builder, "db", fields, 1);
    builder.Header().SetPropertyList(MakeReference(TOggettiHel::dbloc, index));
    return index;
}

std::int32_t AddSpeclink(Builder& builder, int subKind, std::int32_t target, int mode,
                         const std::string& windowNameUtf8, const std::string& dataBytes) {
    return Added(
        builder, TOggettiHel::speclink,
        SpeclinkRecord(builder, subKind, target, mode, windowNameUtf8, AddBytes(builder, dataBytes)));
}

Record ParagraphStyleRecord(const Builder& builder, const std::string& nameUtf8) {
    Record r(Record::kDefaultSize, 0);
    r.U8(4, 1).Str(5, 32, builder.Encode(nameUtf8)).Str(39, 32, "Arial").I16(72, 10).U32(74, 0).U8(78, 0);
    r.I16(79, -1).U32(81, 0xFF0000).U8(85, 4).I16(86, 10).I16(88, 10).I16(90, 0).I16(92, 0);
    r.I16(94, -32000).I16(96, 0).U8(98, 1).U8(99, 0).U8(100, 0).U8(101, 0).U8(102, 0);
    return r;
}

std::int32_t AddParagraphStyle(Builder& builder, const std::string& nameUtf8) {
    return Added(builder, TOggettiHel::stileParagrafo, ParagraphStyleRecord(builder, nameUtf8));
}

void AttachAttributes(Builder& builder, TOggettiHel kind, Record& record, const std::string& attributeBytes) {
    // Offsets of the extra block's position and length fields, by kind.
    static const std::map<TOggettiHel, std::pair<int, int>> kExtraFields = {
        {TOggettiHel::testoHtml, {239, 243}},  {TOggettiHel::tabellaHtml, {58, 62}},
        {TOggettiHel::speclink, {39, 43}},     {TOggettiHel::shortObj, {20, 24}},
        {TOggettiHel::custom, {72, 76}},       {TOggettiHel::dbloc, {38, 42}},
        {TOggettiHel::immagineNew, {61, 65}},  {TOggettiHel::inputStat, {184, 188}},
        {TOggettiHel::inputDin, {452, 456}},   {TOggettiHel::bottoneCGI, {195, 199}},
        {TOggettiHel::inizioForm, {356, 360}}, {TOggettiHel::multiMedia, {38, 42}},
    };
    auto it = kExtraFields.find(kind);
    if (it == kExtraFields.end())
        throw BuildError("objects of kind " + std::string(morvell::KindName(kind)) + " have no extra block");
    std::string extra(4, '\0'); // empty binary part
    extra += attributeBytes;
    DataBlock block = builder.AddData(extra);
    record.I32(it->second.first, I32Of(block.offset)).I32(it->second.second, I32Of(block.length));
}

const std::map<std::string, RecordTemplate>& RecordTemplates() { return Registry(); }

void RegisterRecordTemplate(const std::string& name, RecordTemplate make) {
    Registry()[name] = std::move(make);
}

} // namespace ovkbuild
