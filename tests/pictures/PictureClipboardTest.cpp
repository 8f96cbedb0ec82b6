// What copying a picture object puts in its private clipboard block, read back object by
// object through the memory-form reader the paste side uses.
#include "objects/picture/PictureClipboard.h"

#include "PictureFixtures.h"
#include "document/TOVKset.h"
#include "objects/PageCopy.h"
#include "objects/TOVKoggetto.h"
#include "objects/TOVKpicture.h"
#include "objects/TOVKtesto.h"
#include "objects/Visual.h"
#include "ovkbuild/Builder.h"
#include "ovkbuild/Templates.h"
#include "pagecopy/PageCopyFixture.h"
#include "platform/LittleEndian.h"
#include "platform/Messages.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace morvell {
namespace {

using K = TOggettiHel;
using namespace std::string_literals;

test::Rgb Teal(int, int) { return {0, 128, 128}; }

// The block split into its sections; `complete` is false when it ends early or runs on.
struct ParsedBlock {
    struct Link {
        std::int32_t kind = 0;
        std::int32_t localReference = 0;
        std::unique_ptr<TOVKoggetto> object;
    };
    struct Support {
        std::int32_t kind = 0;
        std::unique_ptr<TOVKoggetto> object;
    };
    std::int32_t version = 0;
    std::vector<Link> links;
    std::vector<Support> support;
    std::int32_t instanceCount = 0;
    std::int32_t instanceKind = 0;
    std::int32_t instanceNumber = 0;
    std::unique_ptr<TOVKoggetto> instance;
    std::int32_t paragraphs = 0;
    std::string text;
    bool complete = false;
};

ParsedBlock Parse(const std::string& block) {
    ParsedBlock out;
    const ByteSpan in(reinterpret_cast<const std::uint8_t*>(block.data()), block.size());
    std::size_t pos = 0;
    auto i32 = [&](std::int32_t& v) {
        if (block.size() - pos < 4) return false;
        v = le::I32(in, static_cast<std::int64_t>(pos));
        pos += 4;
        return true;
    };
    auto form = [&](std::unique_ptr<TOVKoggetto>& object) {
        object = std::make_unique<TOVKoggetto>();
        return object->ReadFromStream(in, pos);
    };
    std::int32_t count = 0;
    if (!i32(out.version) || !i32(count)) return out;
    for (std::int32_t i = 0; i < count; ++i) {
        ParsedBlock::Link& link = out.links.emplace_back();
        if (!i32(link.kind) || !i32(link.localReference) || !form(link.object)) return out;
    }
    if (!i32(count)) return out;
    for (std::int32_t i = 0; i < count; ++i) {
        ParsedBlock::Support& support = out.support.emplace_back();
        if (!i32(support.kind) || !form(support.object)) return out;
    }
    if (!i32(out.instanceCount) || !i32(out.instanceKind) || !i32(out.instanceNumber) ||
        !form(out.instance) || !i32(out.paragraphs))
        return out;
    out.text = block.substr(pos);
    out.complete = true;
    return out;
}

const std::string kInstanceText = "<Z S0 ><$FF000001>\0"s;

class ControlStub : public Visual {
public:
    VisualSize SetAvailableWidth(int) override { return {}; }
    bool HiddenInMode(bool) const override { return false; }
    void Place(int, int) override {}
    void Show() override {}
    void Hide() override {}
    int Number() const override { return 3; }
};

// Gives every object it is asked for a control, as a page view would.
class Controls : public VisualFactory {
public:
    Visual* MakeVisual(TOVKoggetto&, TOVKpage*) override {
        m_made.push_back(std::make_unique<ControlStub>());
        return m_made.back().get();
    }
    void DestroyVisual(Visual*) override {}
    Printual* MakePrintual(TOVKoggetto&, TPrintOwner*) override { return nullptr; }

private:
    std::vector<std::unique_ptr<Visual>> m_made;
};

void GiveControl(TOVKoggetto& object) {
    static Controls controls;
    SetVisualFactory(&controls);
    object.CreateVisual(nullptr);
    SetVisualFactory(nullptr);
}

// Copying a page's background picture, from an ebook on disk: the picture's bytes come from
// the file, its size from decoding it during the copy.
TEST(PictureClipboard, ImmagineCopyCarriesThePictureAndANewNamedInstance) {
    struct Case {
        std::string pictureName;
        std::string instanceName;
    };
    const Case cases[] = {
        {"sfondo", "sfondo="},
        // The record keeps 32 characters, so a long name loses its equals sign too.
        {std::string(40, 'a'), std::string(32, 'a')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pictureName);
        test::TempHome home;
        RecordingMessages messages;
        ScopedMessages scoped(messages);
        const std::string bmp = test::MakeBmp(7, 3, Teal);
        ovkbuild::Builder b;
        ovkbuild::AddPage(b, "Cover");
        ovkbuild::AddImmagine(b, "other", "other.bmp", test::MakeBmp(2, 2, Teal));
        ovkbuild::AddImmagine(b, c.pictureName, "sfondo.bmp", bmp);
        const auto path = home.Path() / "copy.ovk";
        b.Write(path);
        TOVKset doc;
        ASSERT_TRUE(doc.SetOVKFileName(path.string()));
        // The page's background, as the copy command finds it.
        TOVKoggetto* page = doc.Object(K::testoHtml, 0);
        ASSERT_NE(page, nullptr);
        page->Record().SetI32(85, 1);
        TOVKoggetto* immagine = page->ShownObject();
        ASSERT_NE(immagine, nullptr);
        // A size left from before the picture was decoded must not reach the instance.
        immagine->Record().SetU16(85, 1);
        immagine->Record().SetU16(87, 1);

        const auto contents = AssemblePictureClipboard(*immagine);
        ASSERT_TRUE(contents.has_value());
        ASSERT_NE(contents->picture, nullptr);
        EXPECT_EQ(contents->picture->width, 7);
        EXPECT_EQ(contents->picture->height, 3);

        const ParsedBlock block = Parse(contents->block);
        ASSERT_TRUE(block.complete);
        EXPECT_EQ(block.version, 3);
        EXPECT_TRUE(block.links.empty());
        ASSERT_EQ(block.support.size(), 1u);
        EXPECT_EQ(block.support[0].kind, 5);
        const TOVKoggetto& picture = *block.support[0].object;
        EXPECT_EQ(picture.Kind(), K::immagine);
        EXPECT_EQ(picture.Index(), 1);
        EXPECT_EQ(picture.Record().U16(85), 7);
        EXPECT_EQ(picture.Record().U16(87), 3);
        EXPECT_EQ(picture.DataBytes(), bmp);

        EXPECT_EQ(block.instanceCount, 1);
        EXPECT_EQ(block.instanceKind, 16);
        EXPECT_EQ(block.instanceNumber, 1);
        const OVKRecord& r = block.instance->Record();
        EXPECT_EQ(block.instance->Kind(), K::immagineNew);
        EXPECT_EQ(r.U8(4), 1);
        EXPECT_EQ(r.Str(28, 32), c.instanceName);
        EXPECT_EQ(r.I32(0), 1);
        EXPECT_EQ(r.I32(5), -1);
        EXPECT_EQ(r.I32(9), -1);
        EXPECT_EQ(r.I32(73), -1) << "no zones";
        EXPECT_EQ(r.I16(15), 7);
        EXPECT_EQ(r.I16(17), 3);
        EXPECT_EQ(r.I16(19), 7);
        EXPECT_EQ(r.I16(21), 3);
        EXPECT_EQ(block.paragraphs, 1);
        EXPECT_EQ(block.text, kInstanceText);
        EXPECT_TRUE(messages.Entries().empty());
    }
}

// A document built in memory, objects registered slot by slot.
class PlacedPictureCopy : public test::PageCopyTest {
protected:
    TOVKoggetto& AddImmagine(const std::string& storedName, const std::string& bytes) {
        TOVKoggetto& immagine = Add(K::immagine, 0, [&](OVKRecord& r) {
            r.SetStr(5, 71, "pic");
            r.SetStr(94, 75, storedName);
        });
        immagine.SetData(bytes);
        return immagine;
    }
    // A placed picture; `zones` are the link references of its first zones, and a floating
    // link makes it a floating picture.
    TOVKoggetto& AddPlaced(std::int32_t picture, std::int32_t rollover,
                           const std::vector<std::int32_t>& zones, std::int32_t floatingLink = -1) {
        TOVKoggetto& placed = AddPicture(floatingLink != -1);
        OVKRecord& r = placed.Record();
        r.SetI32(0, picture);
        r.SetI32(5, 40); // an index that names no picture
        r.SetI32(9, rollover);
        r.SetI32(69, floatingLink);
        for (std::size_t zone = 0; zone < zones.size(); ++zone)
            r.SetI32(73 + 16 * static_cast<int>(zone), zones[zone]);
        return placed;
    }
    // Two special links that lead to each other.
    std::pair<TOVKoggetto*, TOVKoggetto*> AddSpeclinkLoop() {
        TOVKoggetto& there = AddSpeclink(-1);
        TOVKoggetto& back = AddSpeclink(there.Reference());
        there.Record().SetI32(13, back.Reference());
        return {&there, &back};
    }
    // Copies `object` and reads the block back; `picture` receives the picture beside it.
    ParsedBlock Copied(TOVKoggetto& object, std::shared_ptr<const DecodedPicture>* picture = nullptr) {
        const auto contents = AssemblePictureClipboard(object);
        if (!contents) {
            ADD_FAILURE() << "refused";
            return {};
        }
        if (picture) *picture = contents->picture;
        return Parse(contents->block);
    }
};

TEST_F(PlacedPictureCopy, LinksArePassedOnceEachAndALoopOfSpecialLinksEnds) {
    TOVKoggetto& shown = AddImmagine("a.bmp", test::MakeBmp(4, 2, Teal));
    TOVKoggetto& rollover = AddImmagine("b.bmp", test::MakeBmp(1, 1, Teal));
    TOVKoggetto& address = AddLink("http://x.org");
    auto [there, back] = AddSpeclinkLoop();
    TOVKoggetto& placed =
        AddPlaced(shown.Index(), rollover.Index(),
                  {there->Reference(), address.Reference(), address.Reference(), -1}, back->Reference());
    GiveControl(placed);

    std::shared_ptr<const DecodedPicture> picture;
    const ParsedBlock block = Copied(placed, &picture);
    ASSERT_TRUE(block.complete);
    ASSERT_EQ(block.links.size(), 3u);
    const std::int32_t wantRefs[] = {there->Reference(), back->Reference(), address.Reference()};
    const std::int32_t wantKinds[] = {10, 10, 1};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(block.links[i].kind, wantKinds[i]) << i;
        EXPECT_EQ(block.links[i].localReference, wantRefs[i]) << i;
        EXPECT_EQ(block.links[i].object->Reference(), wantRefs[i]) << i;
    }
    EXPECT_EQ(block.links[2].object->Record().Str(5, 127), "http://x.org");

    // The shown and the rollover picture, in record order; the index naming nothing is left out.
    ASSERT_EQ(block.support.size(), 2u);
    EXPECT_EQ(block.support[0].kind, 5);
    EXPECT_EQ(block.support[0].object->Index(), shown.Index());
    EXPECT_EQ(block.support[0].object->Record().U16(85), 4) << "decoded before it was written";
    EXPECT_EQ(block.support[1].object->Index(), rollover.Index());
    EXPECT_EQ(block.instance->Reference(), placed.Reference());
    EXPECT_EQ(block.instance->Record().I32(69), back->Reference());
    EXPECT_EQ(block.text, kInstanceText);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->width, 4);
    EXPECT_TRUE(m_messages.Entries().empty());
}

TEST_F(PlacedPictureCopy, LinksOfAShownPictureComeFromItsPageCopy) {
    AddImmagine("a.bmp", test::MakeBmp(4, 2, Teal));
    auto [there, back] = AddSpeclinkLoop();
    TOVKoggetto& placed = AddPlaced(0, -1, {there->Reference()});
    TOVKoggetto& page = AddPage("<Z S0 >" + test::Tag(test::Ref(K::immagineNew, placed.Index())) + "\0"s);
    std::unique_ptr<TOVKtesto> copy = MakeDisplayCopy(page, 0, nullptr, nullptr);
    ASSERT_EQ(copy->Instances().size(), 1u);
    TOVKoggetto& shownCopy = *copy->Instances()[0];
    GiveControl(shownCopy);

    const ParsedBlock block = Copied(shownCopy);
    ASSERT_TRUE(block.complete);
    // The page copy holds the loop as a chain of private copies; the zone's own link and five
    // levels of targets below it are passed, under the references the copied page uses.
    ASSERT_EQ(block.links.size(), 6u);
    EXPECT_EQ(block.links[0].localReference, shownCopy.Record().I32(73));
    for (const ParsedBlock::Link& link : block.links) {
        EXPECT_EQ(link.kind, 10);
        EXPECT_EQ(static_cast<std::uint32_t>(link.localReference) >> 24, 0x6Fu);
    }
    for (std::size_t i = 1; i < block.links.size(); ++i)
        EXPECT_EQ(block.links[i - 1].object->Record().I32(13), block.links[i].localReference) << i;
    EXPECT_TRUE(m_messages.Entries().empty());
}

TEST_F(PlacedPictureCopy, WithoutAControlTheCopyGoesWithoutLinksAfterSayingSo) {
    AddImmagine("a.bmp", test::MakeBmp(4, 2, Teal));
    TOVKoggetto& placed = AddPlaced(0, -1, {AddLink("http://x.org").Reference()});

    std::shared_ptr<const DecodedPicture> picture;
    const ParsedBlock block = Copied(placed, &picture);
    ASSERT_EQ(m_messages.Entries().size(), 1u);
    EXPECT_EQ(m_messages.Entries()[0].kind, MessageKind::Information);
    EXPECT_EQ(m_messages.Entries()[0].text, "Mah.Occorre salvare oggetti reg?");
    ASSERT_TRUE(block.complete);
    EXPECT_TRUE(block.links.empty());
    EXPECT_EQ(block.support.size(), 1u);
    EXPECT_EQ(block.instance->Reference(), placed.Reference());
    EXPECT_NE(picture, nullptr);
}

TEST_F(PlacedPictureCopy, APictureThatDoesNotDecodeStillGivesTheBlockAndNoMessage) {
    struct Case {
        const char* what;
        std::string storedName;
        std::string bytes;
    };
    const Case cases[] = {
        {"damaged bitmap", "a.bmp", "BM not really"},
        {"no bytes at all", "a.bmp", ""},
        {"a format that is not loaded", "a.png", test::MakePng(2, 2, {1, 2, 3}, 255)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        m_messages.Clear();
        TOVKoggetto& immagine = AddImmagine(c.storedName, c.bytes);
        TOVKoggetto& placed = AddPlaced(immagine.Index(), -1, {});
        GiveControl(placed);
        for (TOVKoggetto* object : {&immagine, &placed}) {
            std::shared_ptr<const DecodedPicture> picture;
            const ParsedBlock block = Copied(*object, &picture);
            EXPECT_EQ(picture, nullptr);
            ASSERT_TRUE(block.complete);
            ASSERT_EQ(block.support.size(), 1u);
            EXPECT_EQ(block.support[0].object->Index(), immagine.Index());
            if (object == &immagine) {
                EXPECT_EQ(block.instance->Record().I16(19), 0);
                EXPECT_EQ(block.instance->Record().I16(21), 0);
            }
        }
        EXPECT_TRUE(m_messages.Entries().empty());
    }
}

TEST_F(PlacedPictureCopy, AnExternalPictureTravelsByItsPath) {
    test::TempDir dir;
    const auto file = dir.Path() / "outside.bmp";
    test::WriteFile(file, test::MakeBmp(3, 5, Teal));
    TOVKoggetto& placed = AddPlaced(-1, -1, {});
    auto own = std::make_unique<TOVKpicture>();
    own->SetImageNameL(file.string());
    ASSERT_FALSE(own->IsEmpty());
    placed.SetOwnPicture(std::move(own));
    GiveControl(placed);

    std::shared_ptr<const DecodedPicture> picture;
    const ParsedBlock block = Copied(placed, &picture);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->height, 5);
    ASSERT_TRUE(block.complete);
    EXPECT_TRUE(block.support.empty());
    EXPECT_EQ(block.instance->GetAttribute("externalfile"), file.string());
}

TEST_F(PlacedPictureCopy, OtherKindsAreRefused) {
    for (K kind : {K::testoHtml, K::speclink, K::genLink, K::bottoneCGI}) {
        m_messages.Clear();
        TOVKoggetto& object = Add(kind, 1);
        EXPECT_FALSE(AssemblePictureClipboard(object).has_value()) << static_cast<int>(kind);
        ASSERT_EQ(m_messages.Entries().size(), 1u);
        EXPECT_EQ(m_messages.Entries()[0].kind, MessageKind::Error);
        EXPECT_EQ(m_messages.Entries()[0].text, "Allowed only for immagine");
    }
}

} // namespace
} // namespace morvell
