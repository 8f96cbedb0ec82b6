#include "PageCopyFixture.h"

#include "objects/OldMarkup.h"

namespace morvell::test {
namespace {

const std::string kZero(1, '\0');
// The fixture's pages: text colour 0x000080 (red 80), link colour 0xFF0000 (blue FF).
const std::string kStart = "<Z S0 C0000FF >";
std::string RunTag(const std::string& fields = "c800000 F\"Arial\" s10 y0") {
    return "<Y " + fields + " p0 >";
}
std::string Para(const std::string& fields = "S0 A0 ") { return "<Z " + fields + "C0000FF >" + RunTag(); }

class OldMarkupTest : public PageCopyTest {
protected:
    TOVKoggetto& OldPage(const std::string& text) {
        TOVKoggetto& page = AddPage(text);
        page.Record().SetU8(195, 1);
        return page;
    }
    std::string Converted(const std::string& text) {
        TOVKoggetto& page = OldPage(text);
        ConvertOldMarkup(page);
        EXPECT_EQ(page.Record().U8(195), 2);
        return page.DataBytes();
    }
};

TEST_F(OldMarkupTest, TextAndFormatting) {
    struct Case {
        const char* what;
        std::string in, out;
    };
    const Case cases[] = {
        {"plain text takes the page's colour", "ab" + kZero, kStart + RunTag() + "ab" + kZero},
        {"control bytes are dropped",
         "a\x01\x1f"
         "b",
         kStart + RunTag() + "ab"},
        {"font size 5 is 19 points", "<FONT SIZE=5>word",
         kStart + RunTag("c800000 F\"Arial\" s19 y0") + "word"},
        {"font colour", "<FONT COLOR=#00FF00>g", kStart + RunTag("c00FF00 F\"Arial\" s10 y0") + "g"},
        {"bold on and off", "a<B>b</B>c",
         kStart + RunTag() + "a" + RunTag("c800000 F\"Arial\" s10 y1") + "b" + RunTag() + "c"},
        {"italic", "<I>i", kStart + RunTag("c800000 F\"Arial\" s10 y2") + "i"},
        {"fixed font and back", "<PRE>p</PRE>q",
         kStart + RunTag("c800000 F\"Courier New\" s10 y0") + "p" + RunTag() + "q"},
        {"nested lists", "<UL><UL>x</UL>",
         kStart + Para("S0 A0 l40 ") + Para("S0 A0 l80 ") + "x" + Para("S0 A0 l40 ")},
        {"a closing list never goes below 0", "</UL>", kStart + Para()},
        {"centre and right", "<CENTER>c<DIV ALIGN=RIGHT>r",
         kStart + Para("S0 A2 ") + "c" + Para("S0 A1 ") + "r"},
        {"line break and list item", "<BR><LI>", kStart + Para() + Para()},
        {"entities are copied whole", "&amp;&#233;&x", kStart + RunTag() + "&amp;&#233;&x"},
        {"link end", "<%>", kStart + "<%>"},
        {"unknown tags stay", "<HR>a<FONT FACE=x>", kStart + "<HR>" + RunTag() + "a<FONT FACE=x>"},
        {"unresolved old file link", "<$02000005>", kStart + "<$00000000>"},
    };
    for (const Case& c : cases) EXPECT_EQ(Converted(c.in), c.out) << c.what;
}

TEST_F(OldMarkupTest, TablesOpenCellsAndRestoreTheAlignment) {
    TOVKoggetto& table = Add(K::tabellaHtml, 2, [](OVKRecord& r) {
        r.SetU8(93, 2); // rows
        r.SetU8(94, 1); // columns
        r.SetU8(95, 1); // right
    });
    const std::string tag = Tag(Ref(K::tabellaHtml, table.Index()));
    EXPECT_EQ(Converted("<CENTER>a" + tag + "x<TF>y<TE>z"),
              kStart + Para("S0 A2 ") + "a" + Para("S0 A2 ") + tag + Para("S1 A1 ") + "x<T>" +
                  Para("S1 A1 ") + "y<T>" + Para("S0 A2 ") + "z");
}

TEST_F(OldMarkupTest, OldObjectsAreConvertedOncePerDocument) {
    TOVKoggetto& picture = Add(K::immagine, 0, [](OVKRecord& r) {
        r.SetU16(85, 20);
        r.SetU16(87, 10);
        r.SetU8(89, 4);
    });
    TOVKoggetto& hidden = Add(K::inputStat, 11, [](OVKRecord& r) { r.SetStr(17, 79, "field"); });
    const int pictures = m_doc.Count(K::immagineNew);
    const int markers = m_doc.Count(K::shortObj);
    TOVKoggetto& page =
        OldPage(Tag(Ref(K::immagine, picture.Index())) + Tag(Ref(K::inputStat, hidden.Index())) + kZero);

    for (int display = 0; display < 2; ++display) {
        auto copy = MakeDisplayCopy(page, 0, nullptr, nullptr);
        EXPECT_EQ(copy->DataBytes(), kStart + RunTag() + "<$FF000000><$FF000001>" + kZero) << display;
        ASSERT_EQ(copy->Instances().size(), 2u);
        EXPECT_EQ(copy->Instances()[0]->Kind(), K::immagineNew);
        EXPECT_EQ(copy->Instances()[1]->Kind(), K::shortObj);
        EXPECT_EQ(copy->Instances()[1]->Record().Str(17, 79), "field");
    }
    EXPECT_EQ(m_doc.Count(K::immagineNew), pictures + 1);
    EXPECT_EQ(m_doc.Count(K::shortObj), markers + 1);
    EXPECT_TRUE(hidden.IsFree() || hidden.Record().U8(4) == 0);
    EXPECT_EQ(page.Record().U8(195), 2);
    EXPECT_EQ(page.DataBytes(), kStart + RunTag() + Tag(Ref(K::immagineNew, pictures)) +
                                    Tag(Ref(K::shortObj, markers)) + kZero);
}

} // namespace
} // namespace morvell::test
