// Element names, shown objects and the page-control seam.

#include "ObjectFixture.h"

#include "objects/TOVKtesto.h"
#include "objects/Visual.h"
#include "ovkbuild/Templates.h"

namespace morvell::test {
namespace {

TEST(ElementName, NamesAndNumbers) {
    auto edit = Loose(K::inputStat);
    edit->Record().SetU8(4, 1);
    edit->Record().SetStr(17, 79, "");
    edit->SetControlNumber(3);
    EXPECT_EQ(edit->ElementName(), "element3");
    edit->Record().SetStr(17, 79, "EMail");
    EXPECT_EQ(edit->ElementName(), "email");

    auto form = Loose(K::inizioForm);
    form->SetControlNumber(5);
    EXPECT_EQ(form->ElementName(), "formstart5");
    form->SetAttribute("name", "Order");
    EXPECT_EQ(form->ElementName(), "Order");

    EXPECT_EQ(Loose(K::speclink)->ElementName(), "");
}

class Shown : public ObjectTest {};

TEST_F(Shown, ObjectsShownByEachKind) {
    ovkbuild::Builder b;
    ovkbuild::AddPage(b, "Page 0");
    b.AddRecord(K::genLink, FfRecord().U8(4, 4).Str(5, 78, "media.mp3"));
    b.AddRecord(K::immagine, FfRecord().U8(4, 0).Str(94, 75, "a.gif"));
    b.AddRecord(K::immagine, FfRecord().U8(4, 0).Str(94, 75, "b.gif"));
    Open(b);
    TOVKoggetto* pic1 = m_doc.Object(K::immagine, 1);

    auto table = Loose(K::tabellaHtml, &m_doc);
    table->Record().SetU32(207, 0x03000001);
    EXPECT_EQ(table->ShownObject(), pic1);
    table->Record().SetU32(207, 0x00FF00);
    EXPECT_EQ(table->ShownObject(), nullptr);

    auto button = Loose(K::bottoneCGI, &m_doc);
    button->Record().SetI32(177, MakeReference(K::immagine, 1));
    EXPECT_EQ(button->ShownObject(), pic1);
    button->Record().SetI32(177, -1);
    EXPECT_EQ(button->ShownObject(), nullptr);

    auto floating = Loose(K::inputStat, &m_doc);
    floating->Record().SetU8(4, 18);
    floating->Record().SetI32(108, 0);
    EXPECT_EQ(floating->ShownObject(), m_doc.Object(K::testoHtml, 0));
    floating->Record().SetU8(4, 1);
    EXPECT_EQ(floating->ShownObject(), nullptr);

    auto page = Loose(K::testoHtml, &m_doc);
    page->Record().SetI32(85, 99);
    EXPECT_EQ(page->ShownObject(), nullptr);

    auto media = Loose(K::multiMedia, &m_doc);
    media->Record().SetI32(17, MakeReference(K::genLink, 0));
    EXPECT_EQ(media->ShownObject(), m_doc.Object(K::genLink, 0));
    EXPECT_TRUE(m_messages.Entries().empty());
    // A media reference that escaped the upgrade (kind byte 0) is told about, then used.
    media->Record().SetI32(17, 0);
    EXPECT_EQ(media->ShownObject(), m_doc.Object(K::testoHtml, 0));
    EXPECT_EQ(m_messages.Texts(), std::vector<std::string>{"bug in aux"});
}

class FakeVisual : public Visual {
public:
    explicit FakeVisual(int number) : m_number(number) {}
    VisualSize SetAvailableWidth(int width) override { return {width, 10}; }
    bool HiddenInMode(bool) const override { return false; }
    void Place(int, int) override {}
    void Show() override {}
    void Hide() override {}
    int Number() const override { return m_number; }

private:
    int m_number;
};

class FakeFactory : public VisualFactory {
public:
    Visual* MakeVisual(TOVKoggetto&, TOVKpage*) override {
        m_made.push_back(std::make_unique<FakeVisual>(static_cast<int>(m_made.size()) + 7));
        return m_made.back().get();
    }
    void DestroyVisual(Visual* v) override { ++m_destroyed, (void)v; }
    Printual* MakePrintual(TOVKoggetto&, TPrintOwner*) override { return nullptr; }
    std::vector<std::unique_ptr<FakeVisual>> m_made;
    int m_destroyed = 0;
};

TEST(Controls, FactorySeam) {
    RecordingMessages messages;
    ScopedMessages scoped(messages);
    auto edit = Loose(K::inputStat);
    edit->Record().SetU8(4, 1);
    edit->Record().SetStr(17, 79, "");
    EXPECT_EQ(edit->CreateVisual(nullptr), nullptr); // no factory: no control

    FakeFactory factory;
    SetVisualFactory(&factory);
    Visual* first = edit->CreateVisual(nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(edit->WaitingToBePlaced());
    EXPECT_EQ(edit->ElementName(), "element7");
    Visual* second = edit->CreateVisual(nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(factory.m_destroyed, 1);
    edit->ForgetVisual(second);
    EXPECT_EQ(edit->CurrentVisual(), nullptr);

    auto marker = Loose(K::shortObj);
    marker->Record().SetU8(4, 16);
    EXPECT_EQ(marker->CreateVisual(nullptr), nullptr);

    auto plainPage = Loose(K::speclink);
    plainPage->SetKind(K::testoHtml); // a plain object of kind testoHtml, not a TOVKtesto
    EXPECT_EQ(plainPage->CreateVisual(nullptr), nullptr);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"Non si deve usare questo!"});
    SetVisualFactory(nullptr);
}

TEST(Controls, ControlClassesBySubKind) {
    struct Case {
        K kind;
        int sub;
        VisualClass visual;
        PrintualClass print;
    };
    const Case cases[] = {
        {K::inputStat, 2, VisualClass::Edit, PrintualClass::Rectangle},
        {K::inputStat, 5, VisualClass::BelPanel, PrintualClass::None},
        {K::inputStat, 18, VisualClass::Floating, PrintualClass::Rectangle},
        {K::inputStat, 10, VisualClass::None, PrintualClass::None},
        {K::inputDin, 12, VisualClass::BelPanel, PrintualClass::Rectangle},
        {K::inputDin, 3, VisualClass::None, PrintualClass::None},
        {K::shortObj, 21, VisualClass::BelPanel, PrintualClass::None},
        {K::shortObj, 14, VisualClass::BelPanel, PrintualClass::Rectangle},
        {K::dbloc, 7, VisualClass::Multimedia, PrintualClass::None},
        {K::multiMedia, 3, VisualClass::Multimedia, PrintualClass::Rectangle},
        {K::tabellaHtml, 2, VisualClass::Table, PrintualClass::Table},
        {K::immagineNew, 1, VisualClass::Image, PrintualClass::Image},
        {K::genLink, 4, VisualClass::None, PrintualClass::None},
    };
    for (const auto& c : cases) {
        auto o = Loose(c.kind);
        o->Record().SetU8(4, static_cast<std::uint8_t>(c.sub));
        EXPECT_EQ(VisualClassOf(*o), c.visual) << KindName(c.kind) << " " << c.sub;
        EXPECT_EQ(PrintualClassOf(*o), c.print) << KindName(c.kind) << " " << c.sub;
    }
}

} // namespace
} // namespace morvell::test
