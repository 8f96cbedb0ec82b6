// The object helpers and manifest templates, read back through the document as the reader
// reads them: the objects must be in use, named, and carry their blocks.
#include "ovkbuild/Templates.h"
#include "document/TOVKset.h"
#include "objects/TOVKoggetto.h"
#include "ovkbuild/Manifest.h"
#include "platform/Messages.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace ovkbuild {
namespace {

using morvell::TOggettiHel;
using morvell::TOVKoggetto;

// The same ebook from the library calls and from a manifest.
Builder FromHelpers() {
    Builder b;
    AddPropertyList(b, {{"CharSet", "iso-8859-1"}, {"Author", "Ada"}});
    AddKeyword(b, "alpha");
    AddPage(b, "Home", b.Encode("<Z S0 >Hi"), {0});
    AddGenLink(b, "notes.txt", "file bytes");
    AddImmagine(b, "Logo", "logo.gif", "GIF89a");
    AddInternetLink(b, "mailto:a@b.c");
    AddNodeList(b, "a0,-2,Root\r\na1,0,x\r\n");
    AddDbloc(b, "data", {{"Key", "v"}});
    AddSpeclink(b, 1, 0, 5);
    AddParagraphStyle(b, "Body");
    return b;
}

Builder FromManifest() {
    return BuildFromManifest(nlohmann::json::parse(R"({
        "records": {
            "dbloc": [{"template": "dbloc", "propertyList": true,
                       "fields": [["CharSet", "iso-8859-1"], ["Author", "Ada"]]},
                      {"template": "dbloc", "name": "data", "fields": {"Key": "v"}}],
            "keyword": [{"template": "keyword", "keyword": "alpha"}],
            "testoHtml": [{"template": "page", "title": "Home", "text": "<Z S0 >Hi", "keywords": [0]}],
            "genLink": [{"template": "genLink", "fileName": "notes.txt", "text": "file bytes"}],
            "immagine": [{"template": "immagine", "name": "Logo", "fileName": "logo.gif", "hex": "474946383961"}],
            "internetLink": [{"template": "internetLink", "address": "mailto:a@b.c"}],
            "shortObj": [{"template": "shortObj", "treeHolder": true, "text": "a0,-2,Root\r\na1,0,x\r\n",
                          "attributes": "name=\"holder\""}],
            "speclink": [{"template": "speclink", "subKind": 1, "target": 0, "mode": 5}],
            "stileParagrafo": [{"template": "stileParagrafo", "name": "Body"}]
        }})"),
                             ".");
}

TEST(Templates, HelpersAndManifestMakeObjectsTheReaderReads) {
    for (bool manifest : {false, true}) {
        morvell::test::TempDir dir;
        Builder b = manifest ? FromManifest() : FromHelpers();
        b.Write(dir / "t.ovk");
        morvell::RecordingMessages messages;
        morvell::ScopedMessages scoped(messages);
        morvell::TOVKset doc;
        ASSERT_TRUE(doc.SetOVKFileName((dir / "t.ovk").string())) << manifest;
        EXPECT_TRUE(messages.Entries().empty()) << manifest;

        auto object = [&](TOggettiHel kind, int i) -> TOVKoggetto& {
            TOVKoggetto* o = doc.Object(kind, i);
            EXPECT_NE(o, nullptr);
            EXPECT_FALSE(o->IsFree()) << morvell::KindName(kind);
            return *o;
        };
        EXPECT_EQ(doc.Property("author"), "Ada") << manifest;
        EXPECT_EQ(object(TOggettiHel::keyword, 0).DisplayName(), "alpha");
        TOVKoggetto& page = object(TOggettiHel::testoHtml, 0);
        EXPECT_EQ(page.DisplayName(), "Home");
        EXPECT_EQ(page.Record().I32(105), 0) << "first keyword slot";
        EXPECT_EQ(page.Record().I32(109), -1);
        TOVKoggetto& file = object(TOggettiHel::genLink, 0);
        EXPECT_EQ(file.StoredFileName(), "notes.txt");
        EXPECT_EQ(file.DataBytes(), "file bytes");
        TOVKoggetto& picture = object(TOggettiHel::immagine, 0);
        EXPECT_EQ(picture.StoredFileName(), "logo.gif");
        EXPECT_EQ(picture.DataBytes(), "GIF89a");
        EXPECT_EQ(object(TOggettiHel::internetLink, 0).Record().U8(4), 8) << "an e-mail address";
        EXPECT_EQ(doc.TreeHolder()->DataBytes(), "a0,-2,Root\r\na1,0,x\r\n");
        if (manifest) EXPECT_EQ(doc.TreeHolder()->GetAttribute("name"), "holder");
        EXPECT_EQ(object(TOggettiHel::dbloc, 1).GetField("key"), "v");
        EXPECT_EQ(object(TOggettiHel::speclink, 0).Record().U8(18), 5);
        TOVKoggetto& style = object(TOggettiHel::stileParagrafo, 0);
        EXPECT_EQ(style.DisplayName(), "Body");
        EXPECT_EQ(style.Record().I16(94), -32000);
        EXPECT_EQ(style.Record().Str(39, 32), "Arial");
    }
}

TEST(Templates, Refusals) {
    Builder b;
    Record r;
    EXPECT_THROW(AttachAttributes(b, TOggettiHel::keyword, r, "a=\"b\""), BuildError);
    EXPECT_THROW(AddPage(b, "p", "", std::vector<std::int32_t>(21, 0)), BuildError);
    EXPECT_THROW(
        BuildFromManifest(
            nlohmann::json::parse(R"({"records": {"genLink": [{"template": "genLink", "data": "nope"}]}})"),
            "."),
        BuildError);
}

} // namespace
} // namespace ovkbuild
