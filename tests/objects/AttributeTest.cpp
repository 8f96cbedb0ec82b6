// Attribute text of extra blocks, the field list of data objects, entities.

#include "ObjectFixture.h"

#include "objects/AttributeText.h"
#include "objects/Entities.h"

namespace morvell::test {
namespace {

std::unique_ptr<TOVKoggetto> WithAttributes(K kind, const std::string& text) {
    auto o = Loose(kind);
    o->SetExtra(std::string("\0\0\0\0", 4) + text);
    return o;
}

TEST(Attributes, Scanning) {
    struct Case {
        const char* text;
        const char* name;
        const char* value;
        bool found;
    };
    const Case cases[] = {
        {"name=\"a\" NAME=\"b\"", "name", "b", true},        // last match wins, any case
        {"name = \"spaced\"", "NAME", "spaced", true},       // spaces around "="
        {"title=\"it's\"", "title", "it's", true},           // single quote inside double
        {"title='say \"hi\"'", "title", "say \"hi\"", true}, // and the reverse
        {"a=\"1\"\r\nb=\"2\"\r\n", "b", "2", true},
        {"a=\"1\"", "b", "", false},
        {"onclick=\"window.print()\" x=\"y\"", "onclick", "window.print()", true},
        {"v=\"line\x02\x03next\"", "v", "linenext", true}, // bytes below 32 never collected
        {"w=plain next=\"x\"", "w", "plain", true},
        {"flag other=\"1\"", "flag", "", true},
        {"tail=", "tail", "", true},
        {"", "x", "", false},
    };
    for (const auto& c : cases) {
        auto o = WithAttributes(K::immagineNew, c.text);
        bool found = !c.found;
        EXPECT_EQ(o->GetAttribute(c.name, &found), c.value) << c.text;
        EXPECT_EQ(found, c.found) << c.text;
    }
}

TEST(Attributes, AllFieldsAndBinaryPartAndMissingBlock) {
    auto o = Loose(K::inizioForm);
    bool found = true;
    EXPECT_EQ(o->GetAttribute("name", &found), "");
    EXPECT_FALSE(found);

    o->SetExtra(std::string("\x03\0\0\0", 4) + "n=\"" + "name=\"x\"");
    EXPECT_EQ(o->GetAttribute("ALLFIELDS", &found), "name=\"x\"");
    EXPECT_TRUE(found);
    EXPECT_EQ(o->GetAttribute("name"), "x");

    // A binary length that does not fit leaves no attribute text at all.
    for (std::string bad : {std::string("\xff\xff\xff\x7f", 4) + "name=\"x\"",
                            std::string("\xfe\xff\xff\xff", 4) + "name=\"x\"", std::string("ab")}) {
        o->SetExtra(bad);
        EXPECT_EQ(o->GetAttribute("name", &found), "");
        EXPECT_FALSE(found);
    }
}

TEST(Attributes, SetAttributeReplacesTheLineOrAppends) {
    auto o = Loose(K::immagineNew);
    o->SetAttribute("Name", "first");
    EXPECT_EQ(o->Extra(), std::string("\0\0\0\0", 4) + "name=\"first\"");

    o->SetExtra(std::string("\x02\0\0\0BB", 6) + "alt=\"x\"\r\nNAME=\"old\"\r\nz=\"1\"");
    o->SetAttribute("name", "two\r\nlines");
    EXPECT_EQ(o->Extra(),
              std::string("\x02\0\0\0BB", 6) + "alt=\"x\"\r\nname=\"two\x02\x03lines\"\r\nz=\"1\"");
    EXPECT_EQ(o->GetAttribute("name"), "twolines"); // bytes below 32 are never collected
    o->SetAttribute("extra", "v");
    EXPECT_EQ(o->AttributeText(), "alt=\"x\"\r\nname=\"two\x02\x03lines\"\r\nz=\"1\"extra=\"v\"");
    EXPECT_EQ(o->GetAttribute("extra"), "v");
    EXPECT_EQ(o->GetAttribute("z"), "1");

    auto custom = Loose(K::custom);
    custom->SetAttribute("name", "x");
    EXPECT_FALSE(custom->HasExtra());
}

TEST(Fields, GetAndSet) {
    auto o = Loose(K::dbloc);
    o->Reset();
    o->InitNew();
    o->SetData("charset\r\nwindows-1250\r\ntwo\r\nline\x02\x03two\r\n");
    EXPECT_EQ(o->GetField("CharSet"), "windows-1250");
    EXPECT_EQ(o->GetField("two"), "line\r\ntwo");
    EXPECT_EQ(o->GetField("missing"), "");

    o->SetField("Note", "a\r\nb");
    EXPECT_EQ(o->GetField("note"), "a\r\nb");
    EXPECT_EQ(o->DataBytes(), "charset\r\nwindows-1250\r\ntwo\r\nline\x02\x03two\r\nnote\r\na\x02\x03"
                              "b\r\n");

    o->SetField("CHARSET", "");
    EXPECT_EQ(o->GetField("charset"), "");
    EXPECT_EQ(o->DataBytes(), "two\r\nline\x02\x03two\r\nnote\r\na\x02\x03"
                              "b\r\n");
    o->SetField("two", "2");
    EXPECT_EQ(o->DataBytes(), "two\r\n2\r\nnote\r\na\x02\x03"
                              "b\r\n");
    o->SetField("absent", "");
    EXPECT_EQ(o->DataBytes(), "two\r\n2\r\nnote\r\na\x02\x03"
                              "b\r\n");

    auto notData = Loose(K::shortObj);
    notData->SetField("a", "b");
    EXPECT_FALSE(notData->HasData());
}

class DocumentProperties : public ObjectTest {};

TEST_F(DocumentProperties, PropertyListGoesThroughTheFieldList) {
    ovkbuild::Builder b;
    auto list = b.AddData("charset\r\nwindows-1251\r\n");
    b.AddRecord(K::dbloc, FfRecord()
                              .U8(4, 7)
                              .U8(46, 1)
                              .I32(0, static_cast<std::int32_t>(list.offset))
                              .I32(13, static_cast<std::int32_t>(list.length)));
    b.Header().SetPropertyList(MakeReference(K::dbloc, 0));
    Open(b);
    EXPECT_EQ(m_doc.CharSet(), "windows-1251");
    m_doc.SetProperty("delonex", "0");
    EXPECT_EQ(Obj(K::dbloc, 0).GetField("DELONEX"), "0");
}

TEST(Entities, Decoding) {
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"a&amp;b", "a&b"},
        {"&lt;tag&gt;", "<tag>"},
        {"&QUOT;x&quot", "\"x\""},
        {"&#65;&#066&#9;", "AB\t"},
        {"&#;", "A"},
        {"&#300;", ","}, // 300 mod 256 = 44
        {"&eacute;t&eacute", "\xe9t\xe9"},
        {"&hibar;", "\xaf"},
        {"&yuml", "\xff"},
        {"&notin;", "\xacin;"},
        {"&zzz;", " zzz;"},
        {"end&", "end "},
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeEntities(c.in), c.out) << c.in;
}

} // namespace
} // namespace morvell::test
