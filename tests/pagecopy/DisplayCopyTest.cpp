#include "PageCopyFixture.h"

#include <gmock/gmock.h>

#include <cctype>

namespace morvell::test {
namespace {

using ::testing::ElementsAre;

const std::string kZero(1, '\0');

std::string LowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

TEST_F(PageCopyTest, TagsPointIntoTheCopysOwnLists) {
    TOVKoggetto& link = AddLink("http://example.org");
    TOVKoggetto& picture = AddPicture();
    TOVKoggetto& deleted = AddPicture();
    deleted.Record().SetU8(4, 0); // a deleted picture is an empty slot
    TOVKoggetto& marker = Add(K::shortObj, 14, [](OVKRecord& r) { r.SetI32(5, 3); });
    const std::string text = "<Z S0 >" + Tag(Ref(K::internetLink, link.Index())) + "go<%> " +
                             Tag(Ref(K::immagineNew, picture.Index())) +
                             Tag(Ref(K::immagineNew, picture.Index())) +
                             Tag(Ref(K::immagineNew, deleted.Index())) + Tag(Ref(K::immagineNew, 40)) +
                             "<$00000000>page<%>" + LowerCase(Tag(Ref(K::shortObj, marker.Index()))) + kZero;
    TOVKoggetto& page = AddPage(text);

    auto copy = MakeDisplayCopy(page, 0, nullptr, nullptr);

    EXPECT_EQ(copy->DataBytes(), "<Z S0 ><$6F000000>go<%> <$FF000000><$FF000001>!!!!!!!!!!!!!!!!!!!!!!"
                                 "<$00000000>page<%><$FF000002>" +
                                     kZero);
    ASSERT_EQ(copy->LocalLinks().size(), 1u);
    EXPECT_EQ(copy->LocalLinks()[0]->Record().Str(5, 127), "http://example.org");
    EXPECT_EQ(copy->LocalLinks()[0]->LocalReference(), 0x6F000000);
    EXPECT_EQ(copy->ResolveLocal(0x6F000000), copy->LocalLinks()[0].get());
    ASSERT_EQ(copy->Instances().size(), 3u);
    EXPECT_THAT(copy->TagPositions(), ElementsAre(25, 36, 87));
    // Two tags of one picture are two private objects; none of them is the document's.
    EXPECT_NE(copy->Instances()[0].get(), copy->Instances()[1].get());
    for (const auto& instance : copy->Instances()) {
        EXPECT_FALSE(instance->Registered());
        EXPECT_FALSE(instance->FromHeaderOrFooter());
        EXPECT_EQ(instance->OwnerText(), copy.get());
    }
    EXPECT_EQ(copy->Instances()[2]->Kind(), K::shortObj);
    EXPECT_EQ(copy->HeaderCopy(), nullptr);
    EXPECT_EQ(copy->FooterCopy(), nullptr);
    // The registered page keeps its text.
    EXPECT_EQ(page.DataBytes(), text);
}

TEST_F(PageCopyTest, TextsAreRepairedInTheCopyOnly) {
    struct Case {
        const char* what;
        std::optional<std::string> stored;
        std::string shown;
    };
    const Case cases[] = {
        {"no text", std::nullopt, "<Z S0 >" + kZero},
        {"empty text", std::string(), "<Z S0 >" + kZero},
        {"no final zero", "<Z S0 >abc", "<Z S0 >abc" + kZero},
        {"one byte", "x", "x"},
        {"tag cut short at the end", "<Z S0 >a<$10000000", "<Z S0 >a<$10000000" + kZero},
        {"tag without its closing bracket", "<Z S0 ><$10000000 >", "<Z S0 ><$10000000 >" + kZero},
    };
    AddPicture();
    for (const Case& c : cases) {
        TOVKoggetto& page = AddPage("");
        if (c.stored)
            page.SetData(*c.stored);
        else
            page.DropData();
        auto copy = MakeDisplayCopy(page, 0, nullptr, nullptr);
        EXPECT_EQ(copy->DataBytes(), c.shown) << c.what;
        EXPECT_TRUE(copy->Instances().empty()) << c.what;
        EXPECT_EQ(page.HasData(), c.stored.has_value()) << c.what;
    }
}

TEST_F(PageCopyTest, SpeclinkChainsAreCopiedFiveLevelsDeep) {
    // Eight special links, each naming the next; the last names page 0.
    const int first = m_doc.Count(K::speclink);
    for (int i = 0; i < 8; ++i)
        AddSpeclink(i < 7 ? MakeReference(K::speclink, first + i + 1) : MakeReference(K::testoHtml, 0));
    TOVKoggetto& page = AddPage("<Z S0 >" + Tag(Ref(K::speclink, first)) + "x<%>" + kZero);

    auto copy = MakeDisplayCopy(page, 0, nullptr, nullptr);

    // The deepest copy is entered first: chain member k sits at position 6 - k.
    ASSERT_EQ(copy->LocalLinks().size(), 7u);
    EXPECT_EQ(copy->DataBytes(), "<Z S0 ><$6F000006>x<%>" + kZero);
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(copy->LocalLinks()[static_cast<std::size_t>(6 - k)]->Record().I32(13), 0x6F000000 + 5 - k);
    // Member 6 lies beyond the depth limit and keeps its document reference.
    EXPECT_EQ(copy->LocalLinks()[0]->Record().I32(13), MakeReference(K::speclink, first + 7));
    EXPECT_EQ(copy->LocalLinks()[6]->Resolve(0x6F000005), copy->LocalLinks()[5].get());
    // The document's links are untouched.
    EXPECT_EQ(m_doc.Object(K::speclink, first)->Record().I32(13), MakeReference(K::speclink, first + 1));
}

TEST_F(PageCopyTest, ASpeclinkNamingItselfEnds) {
    const int self = m_doc.Count(K::speclink);
    AddSpeclink(MakeReference(K::speclink, self));
    TOVKoggetto& page = AddPage("<Z S0 >" + Tag(Ref(K::speclink, self)) + "loop<%>" + kZero);
    auto copy = MakeDisplayCopy(page, 0, nullptr, nullptr);
    EXPECT_EQ(copy->LocalLinks().size(), 7u);
    EXPECT_EQ(copy->DataBytes(), "<Z S0 ><$6F000006>loop<%>" + kZero);
}

TEST_F(PageCopyTest, EveryDisplayHasItsOwnCopiesOfASpeclinkAndItsTarget) {
    TOVKoggetto& target = AddLink("http://example.org/a");
    TOVKoggetto& special = AddSpeclink(target.Reference());
    TOVKoggetto& page =
        AddPage("<Z S0 >" + Tag(static_cast<std::uint32_t>(special.Reference())) + "a<%>" + kZero);
    for (int display = 0; display < 2; ++display) {
        auto copy = MakeDisplayCopy(page, 0, nullptr, nullptr);
        ASSERT_EQ(copy->LocalLinks().size(), 2u) << display;
        TOVKoggetto* shown = copy->ResolveLocal(0x6F000001);
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->Kind(), K::speclink);
        TOVKoggetto* followed = shown->Resolve(shown->Record().I32(13));
        ASSERT_NE(followed, nullptr) << display;
        EXPECT_NE(followed, &target);
        EXPECT_EQ(followed->Record().Str(5, 127), "http://example.org/a");
    }
    EXPECT_EQ(special.Record().I32(13), target.Reference());
}

TEST_F(PageCopyTest, NestedReferencesOfPicturesButtonsAndAutomaticLinks) {
    TOVKoggetto& link = AddLink("http://example.org");
    TOVKoggetto& toPage = AddSpeclink(MakeReference(K::testoHtml, 0));
    TOVKoggetto& picture = AddPicture(true);
    picture.Record().SetI32(73, toPage.Reference());                      // zone 0: a special link
    picture.Record().SetI32(73 + 16, link.Reference());                   // zone 1: a hyperlink
    picture.Record().SetI32(73 + 32, MakeReference(K::internetLink, 77)); // zone 2: nothing there
    picture.Record().SetI32(73 + 48, MakeReference(K::testoHtml, 0));     // zone 3: a page
    picture.Record().SetI32(69, link.Reference());                        // the floating picture's link
    TOVKoggetto& button = Add(K::bottoneCGI, 1, [&](OVKRecord& r) { r.SetI32(181, link.Reference()); });
    TOVKoggetto& automatic = Add(K::shortObj, 13, [&](OVKRecord& r) { r.SetI32(5, toPage.Reference()); });
    TOVKoggetto& anchor = Add(K::shortObj, 14, [&](OVKRecord& r) { r.SetI32(5, 2); });
    TOVKoggetto& page = AddPage(
        "<Z S0 >" + Tag(Ref(K::immagineNew, picture.Index())) + Tag(Ref(K::bottoneCGI, button.Index())) +
        Tag(Ref(K::shortObj, automatic.Index())) + Tag(Ref(K::shortObj, anchor.Index())) + kZero);

    auto copy = MakeDisplayCopy(page, 0, nullptr, nullptr);

    ASSERT_EQ(copy->Instances().size(), 4u);
    ASSERT_EQ(copy->LocalLinks().size(), 5u);
    const OVKRecord& pic = copy->Instances()[0]->Record();
    EXPECT_EQ(pic.I32(73), 0x6F000000);
    EXPECT_EQ(pic.I32(73 + 16), 0x6F000001);
    EXPECT_EQ(pic.I32(73 + 32), -1);
    EXPECT_EQ(pic.I32(73 + 48), 0);
    EXPECT_EQ(pic.I32(73 + 64), -1);
    EXPECT_EQ(pic.I32(69), 0x6F000002);
    // Zone links resolve through the copy the picture belongs to.
    EXPECT_EQ(copy->Instances()[0]->Resolve(pic.I32(73 + 16))->Record().Str(5, 127), "http://example.org");
    EXPECT_EQ(copy->Instances()[1]->Record().I32(181), 0x6F000003);
    EXPECT_EQ(copy->Instances()[2]->Record().I32(5), 0x6F000004);
    EXPECT_EQ(copy->Instances()[3]->Record().I32(5), 2); // an anchor number is no reference
    EXPECT_EQ(picture.Record().I32(73), toPage.Reference());
}

TEST_F(PageCopyTest, HeaderAndFooterCopiesShareThePagesLists) {
    TOVKoggetto& headerLink = AddLink("mailto:a@example.org");
    TOVKoggetto& headerPicture = AddPicture(true);
    TOVKoggetto& pagePicture = AddPicture();
    TOVKoggetto& header = AddPage("<Z S0 >" + Tag(Ref(K::immagineNew, headerPicture.Index())) +
                                  Tag(Ref(K::internetLink, headerLink.Index())) + "mail<%>" + kZero);
    TOVKoggetto& footer = AddPage("<Z S0 >end" + kZero);
    m_doc.MutableHeader().SetDefaultFooter(footer.Index());
    TOVKoggetto& page =
        AddPage("<Z S0 >" + Tag(Ref(K::immagineNew, pagePicture.Index())) + kZero, header.Index());

    auto copy = MakeDisplayCopy(page, 0, nullptr, nullptr);

    ASSERT_NE(copy->HeaderCopy(), nullptr);
    ASSERT_NE(copy->FooterCopy(), nullptr);
    EXPECT_EQ(copy->HeaderCopy()->DataBytes(), "<Z S0 ><$FF000001><$6F000000>mail<%>" + kZero);
    EXPECT_EQ(copy->FooterCopy()->DataBytes(), "<Z S0 >end" + kZero);
    ASSERT_EQ(copy->Instances().size(), 2u);
    EXPECT_FALSE(copy->Instances()[0]->FromHeaderOrFooter());
    EXPECT_TRUE(copy->Instances()[1]->FromHeaderOrFooter());
    EXPECT_TRUE(copy->LocalLinks()[0]->FromHeaderOrFooter());
    EXPECT_THAT(copy->TagTexts(), ElementsAre(copy.get(), copy->HeaderCopy()));
    EXPECT_THAT(copy->TagPositions(), ElementsAre(8, 8));
    EXPECT_TRUE(copy->HeaderCopy()->Instances().empty());
    EXPECT_TRUE(copy->HeaderCopy()->LocalLinks().empty());
    EXPECT_EQ(copy->HeaderCopy()->HeaderCopy(), nullptr);

    // A header that names a deleted page or no page at all is left out.
    header.Record().SetU8(4, 3);
    page.Record().SetI32(235, 999);
    auto second = MakeDisplayCopy(page, 0, nullptr, nullptr);
    EXPECT_EQ(second->HeaderCopy(), nullptr);
    EXPECT_EQ(second->FooterCopy(), nullptr);
}

TEST_F(PageCopyTest, AddToLocalLinks) {
    auto link = TOVKoggetto::Create(K::internetLink);
    EXPECT_EQ(AddToLocalLinks(link, nullptr), -1);
    EXPECT_EQ(m_messages.Texts(), std::vector<std::string>{"Bug calling IsContainedIn :( !"});
    EXPECT_NE(link, nullptr);

    TOVKtesto copy;
    std::unique_ptr<TOVKoggetto> picture = TOVKoggetto::Create(K::immagineNew);
    picture->SetIndex(4);
    EXPECT_EQ(AddToLocalLinks(picture, &copy), MakeReference(K::immagineNew, 4));
    EXPECT_NE(picture, nullptr);

    std::unique_ptr<TOVKoggetto> marker = TOVKoggetto::Create(K::shortObj);
    EXPECT_EQ(AddToLocalLinks(link, &copy), 0x6F000000);
    EXPECT_EQ(AddToLocalLinks(marker, &copy), 0x6F000001);
    EXPECT_EQ(link, nullptr);
    ASSERT_EQ(copy.LocalLinks().size(), 2u);
    EXPECT_EQ(copy.LocalLinks()[1]->OwnerText(), &copy);

    // An object already entered somewhere keeps its place.
    std::unique_ptr<TOVKoggetto> entered = TOVKoggetto::Create(K::speclink);
    entered->SetLocalReference(0x6F000009);
    EXPECT_EQ(AddToLocalLinks(entered, &copy), 0x6F000009);
    EXPECT_EQ(copy.LocalLinks().size(), 2u);
}

TEST_F(PageCopyTest, ACopyMayNotMultiplyALargeBlockWithoutBound) {
    // Forty tags of one comment with a 2 MB text: past the copy limit they show as lost.
    TOVKoggetto& comment = Add(K::shortObj, 10);
    comment.SetData(std::string(std::size_t{2} << 20, 'c'));
    std::string text = "<Z S0 >";
    for (int i = 0; i < 40; ++i) text += Tag(Ref(K::shortObj, comment.Index()));
    TOVKoggetto& page = AddPage(text + kZero);

    auto copy = MakeDisplayCopy(page, 0, nullptr, nullptr);

    const std::size_t kept = copy->Instances().size();
    EXPECT_GT(kept, 20u);
    EXPECT_LT(kept, 40u);
    const std::string shown = copy->DataBytes();
    EXPECT_EQ(shown.size(), text.size() + 1);
    EXPECT_EQ(shown.substr(7 + 11 * kept, 11), "!!!!!!!!!!!");
}

} // namespace
} // namespace morvell::test
