#include "ovkbuild/Templates.h"

namespace ovkbuild {

namespace {

std::map<std::string, RecordTemplate>& Registry() {
    static std::map<std::string, RecordTemplate> templates = {
        {"page",
         [](Builder& b, const nlohmann::json& spec) {
             std::string title = spec.contains("title") ? spec.at("title").get<std::string>() : "";
             Record r = PageRecord(b, b.Encode(title));
             if (spec.contains("text")) {
                 DataBlock block = b.AddData(b.Encode(spec.at("text").get<std::string>()));
                 r.I32(page::kTextPosition, static_cast<std::int32_t>(block.offset));
                 r.I32(page::kTextLength, static_cast<std::int32_t>(block.length));
             }
             return r;
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

const std::map<std::string, RecordTemplate>& RecordTemplates() { return Registry(); }

void RegisterRecordTemplate(const std::string& name, RecordTemplate make) {
    Registry()[name] = std::move(make);
}

} // namespace ovkbuild
