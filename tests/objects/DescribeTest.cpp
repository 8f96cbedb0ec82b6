// Display names and hint texts.

#include "ObjectFixture.h"

#include "objects/TOVKtesto.h"
#include "ovkbuild/Templates.h"

namespace morvell::test {
namespace {

std::unique_ptr<TOVKoggetto> Link(const std::string& address) {
    auto o = Loose(K::internetLink);
    o->Record().SetU8(4, 4);
    o->Record().SetStr(5, 127, address);
    return o;
}

TEST(Describe, AddressesAndPages) {
    EXPECT_EQ(Link("mailto:someone@example.org")->Describe(),
              "someone@example.org|Collegamento a e-mail: someone@example.org");
    EXPECT_EQ(Link("run:notepad.exe")->Describe(), "");
    EXPECT_EQ(Link("prog:HKCU\\x")->Describe(), "");
    EXPECT_EQ(Link("http://example.org")->Describe(),
              "http://example.org|Collegamento a: http://example.org");

    auto page = Loose(K::testoHtml);
    page->Record().SetU8(4, 0);
    page->Record().SetStr(5, 71, "{sort}Title proper");
    EXPECT_EQ(page->Describe(), "Title proper|Collegamento a: {sort}Title proper");
    page->Record().SetStr(5, 71, " {x}Second char");
    EXPECT_EQ(page->Describe(), "Second char|Collegamento a:  {x}Second char");
    page->Record().SetStr(5, 71, "{unclosed");
    EXPECT_EQ(page->Describe(), "{unclosed|Collegamento a: {unclosed");
    page->Record().SetStr(5, 71, "ab{c}");
    EXPECT_EQ(page->Describe(), "ab{c}|Collegamento a: ab{c}");

    page->Reset();
    EXPECT_EQ(page->Describe(), "Non definito.");
    auto freeLink = Link("http://x");
    freeLink->Record().SetU8(4, 5);
    EXPECT_EQ(freeLink->Describe(), "Non definito.");
}

TEST(Describe, FilesPicturesCustomAndComments) {
    auto file = Loose(K::genLink);
    file->Record().SetU8(4, 4);
    file->Record().SetStr(5, 78, "docs\\manual.pdf");
    EXPECT_EQ(file->Describe(), "manual.pdf|Collegamento a file: manual.pdf");

    auto picture = Loose(K::immagine);
    picture->Record().SetU8(4, 0);
    picture->Record().SetStr(5, 71, "Logo");
    EXPECT_EQ(picture->Describe(), "Logo");

    auto custom = Loose(K::custom);
    custom->Record().SetU8(4, 1);
    custom->Record().SetStr(17, 40, "Proto");
    EXPECT_EQ(custom->Describe(), "Proto|Custom  Proto");

    auto comment = Loose(K::shortObj);
    comment->Record().SetU8(4, 10);
    comment->SetData("caf&eacute; &amp; co");
    EXPECT_EQ(comment->DisplayName(), "caf\xe9 & co");
    comment->Record().SetU8(17, 0);
    EXPECT_EQ(comment->Describe(), "");
    comment->Record().SetU8(17, 1);
    EXPECT_EQ(comment->Describe(), "caf\xe9 & co");

    auto other = Loose(K::keyword);
    other->Record().SetStr(0, 79, "word");
    EXPECT_EQ(other->DisplayName(), "word");
    EXPECT_EQ(other->Describe(), "");
}

TEST(Describe, SpecialLinkSubKinds) {
    struct Case {
        int sub;
        const char* name; // offset 19
        const char* data; // nullptr: no data block
        const char* display;
        const char* hint;
    };
    const Case cases[] = {
        {2, "win", nullptr, "Chiudi finestra: win", ""},
        {3, "", nullptr, "finestra parole chiave", "Parole chiave|Collegamento a: finestra parole chiave"},
        {4, "", nullptr, "pagina precedente", "pagina precedente|Collegamento a: pagina precedente"},
        {5, "", nullptr, "pagina successiva", "pagina successiva|Collegamento a: pagina successiva"},
        {6, "", "T", "Auto import", "T|Auto import:T"},
        {6, "", nullptr, "Auto import", "Auto import"},
        {7, "", "item", "Aggiungi nel carrello della spesa: ",
         "Aggiungi nel carrello della spesa: item|Aggiungi nel carrello della spesa: item"},
        {7, "", nullptr, "Aggiungi nel carrello della spesa: ", ""},
        {8, "", nullptr, "Stampa la corrente cornice/frame/finestra.",
         "Stampa la corrente cornice/frame/finestra.|Stampa la corrente cornice/frame/finestra."},
        {9, "_ShowPrint", nullptr, "Stampa la cornice/frame: _ShowPrint", "Stampa la cornice/frame: "},
        {9, "right", nullptr, "Stampa la cornice/frame: right",
         "Stampa la cornice/frame: right|Stampa la cornice/frame: right"},
        {10, "", "a$$qelb-heads$$b",
         "Collegamento \"plugin\": ", "Collegamento \"plugin\": ab|Collegamento \"plugin\": ab"},
        {10, "", nullptr, "Collegamento \"plugin\": ", ""},
        {11, "", nullptr, "", ""},
        {0, "", nullptr, "", "Non definito."},
    };
    for (const auto& c : cases) {
        auto o = Loose(K::speclink);
        o->Record().SetU8(4, static_cast<std::uint8_t>(c.sub));
        o->Record().SetStr(19, 19, c.name);
        if (c.data) o->SetData(c.data);
        EXPECT_EQ(o->DisplayName(), c.display) << c.sub;
        EXPECT_EQ(o->Describe(), c.hint) << c.sub;
    }
    // Long window names are cut: 36 characters for closing, 44 for printing.
    auto close = Loose(K::speclink);
    close->Record().SetU8(4, 2);
    close->Record().SetStr(19, 60, std::string(60, 'w'));
    EXPECT_EQ(close->DisplayName(), "Chiudi finestra: " + std::string(36, 'w'));
    close->Record().SetU8(4, 9);
    EXPECT_EQ(close->DisplayName(), "Stampa la cornice/frame: " + std::string(44, 'w'));
}

TEST(Describe, MarkerNames) {
    auto anchor = Loose(K::shortObj);
    anchor->Record().SetU8(4, 14);
    anchor->Record().SetI32(5, 12);
    EXPECT_EQ(anchor->DisplayName(), "Ancora: a12");

    auto html = Loose(K::shortObj);
    html->Record().SetU8(4, 11);
    html->SetExtra(std::string("\0\0\0\0", 4) + std::string(500, 'h'));
    EXPECT_EQ(html->DisplayName(), std::string(400, 'h'));

    auto file = Loose(K::shortObj);
    file->Record().SetU8(4, 27);
    file->Record().SetI32(5, 4);
    EXPECT_EQ(file->DisplayName(), "File #4");
    file->SetData("data text");
    EXPECT_EQ(file->DisplayName(), "data text");

    auto size = Loose(K::shortObj);
    size->Record().SetU8(4, 25);
    EXPECT_EQ(size->DisplayName(), "Qui verr\xe0 riportata la dimensione X");
}

class DescribeInBook : public ObjectTest {};

TEST_F(DescribeInBook, LinksFollowTheirTargetsWithoutLooping) {
    ovkbuild::Builder b;
    auto text = b.AddData("<Z S0 >x");
    b.AddRecord(K::testoHtml, FfRecord()
                                  .U8(4, 0)
                                  .Str(5, 71, "Home")
                                  .I32(0, static_cast<std::int32_t>(text.offset))
                                  .I32(185, static_cast<std::int32_t>(text.length)));
    // 0: go to page 0; 1: only scroll; 2 and 3 point at each other through markers.
    b.AddRecord(K::speclink, FfRecord().U8(4, 1).U8(18, 0).I32(13, 0));
    b.AddRecord(K::speclink, FfRecord().U8(4, 1).U8(18, 6).I32(13, 0));
    b.AddRecord(K::speclink, FfRecord().U8(4, 1).U8(18, 5).I32(13, MakeReference(K::speclink, 3)));
    b.AddRecord(K::speclink, FfRecord().U8(4, 1).U8(18, 5).I32(13, MakeReference(K::speclink, 2)));
    b.AddRecord(K::speclink, FfRecord().U8(4, 1).U8(18, 7).I32(13, 0));
    b.AddRecord(K::shortObj, FfRecord().U8(4, 13).I32(5, MakeReference(K::shortObj, 0)));
    b.AddRecord(K::shortObj, FfRecord().U8(4, 22).I32(5, 0));
    Open(b);

    EXPECT_EQ(Obj(K::speclink, 0).DisplayName(), "Home");
    EXPECT_EQ(Obj(K::speclink, 0).Describe(), "Home|Collegamento a: Home");
    EXPECT_EQ(Obj(K::speclink, 1).DisplayName(), "--");
    EXPECT_EQ(Obj(K::speclink, 1).Describe(), ""); // only scrolls: no target hint
    EXPECT_EQ(Obj(K::speclink, 2).DisplayName(), "");
    EXPECT_EQ(Obj(K::speclink, 2).Describe(), "");
    EXPECT_EQ(Obj(K::speclink, 4).Describe(), ""); // mouse-over pop-ups have no hint
    EXPECT_EQ(Obj(K::shortObj, 0).DisplayName(), "");
    EXPECT_EQ(Obj(K::shortObj, 1).DisplayName(), "Riferimento a pagina o link: Home");
}

TEST_F(DescribeInBook, LocalReferencesResolveThroughThePageCopy) {
    ovkbuild::Builder b;
    ovkbuild::AddPage(b, "Home");
    Open(b);
    TOVKtesto copy;
    copy.SetDocument(&m_doc);
    auto target = Loose(K::internetLink, &m_doc);
    target->Record().SetU8(4, 4);
    target->Record().SetStr(5, 127, "http://local");
    const std::int32_t local = copy.AddLocalLink(std::move(target));
    EXPECT_EQ(local, 0x6F000000);
    auto link = Loose(K::speclink, &m_doc);
    link->Record().SetU8(4, 1);
    link->Record().SetU8(18, 0);
    link->Record().SetI32(13, local);
    const std::int32_t own = copy.AddLocalLink(std::move(link));
    EXPECT_EQ(copy.ResolveLocal(own)->Describe(), "http://local|Collegamento a: http://local");
    EXPECT_EQ(copy.ResolveLocal(0x6F000005), nullptr);
    EXPECT_EQ(copy.ResolveLocal(0x08000000), nullptr);
    EXPECT_EQ(copy.ResolveLocal(0)->DisplayName(), "Home");
}

TEST_F(DescribeInBook, OtherEbookPagesShowTheirTitle) {
    ovkbuild::Builder other;
    ovkbuild::AddPage(other, "Cover");
    ovkbuild::AddPage(other, "Second");
    other.Header().SetCoverPage(1);
    other.Write(m_dir / "other.ovk");

    ovkbuild::Builder b;
    ovkbuild::AddPage(b, "Home");
    Open(b);
    const std::string dir = m_dir.Path().string();
    struct Case {
        std::string address;
        std::string hint;
    };
    const Case cases[] = {
        {"vosk:other.ovk|0", "Cover|Collegamento a: Cover"},
        {"vosk://" + dir + "/other.ovk|1", "Second|Collegamento a: Second"},
        {"vosk:other.ovk", "Second|Collegamento a: Second"}, // no page: its cover page
        {"vosk:other.ovk|9", "other.ovk (9)|Collegamento a: other.ovk (9)"},
        {"vosk:missing.ovk|abc", "missing.ovk (0)|Collegamento a: missing.ovk (0)"},
        {"vosk:" + m_path + "|0", "vosk:" + m_path + "|0|Collegamento a: vosk:" + m_path + "|0"},
    };
    for (const auto& c : cases) {
        auto link = Link(c.address);
        link->SetDocument(&m_doc);
        EXPECT_EQ(link->Describe(), c.hint) << c.address;
    }
}

} // namespace
} // namespace morvell::test
