// The selection serialiser: the internal clipboard format and the plain characters.

#include "../text/TextFixture.h"

#include "objects/TOVKTextAttributes.h"
#include "platform/LittleEndian.h"

namespace morvell::test {
namespace {

using namespace std::string_literals;

class ModelSource : public SelectionSource {
public:
    explicit ModelSource(TextModel& model) : m_model(model) {}
    const ParagraphList& SourceParagraphs() const override { return m_model.Paragraphs(); }
    TextPoint SourceSelectionStart() const override { return from; }
    TextPoint SourceSelectionEnd() const override { return to; }
    TextPoint SourceCaret() const override { return from; }
    TOVKtesto* SourceTextObject() const override { return nullptr; }
    TOVKset* SourceDocument() const override { return m_model.Document(); }
    TextPoint from, to;

private:
    TextModel& m_model;
};

class TextAttributesTest : public TextTest {
protected:
    std::int32_t AddLink(const std::string& address) {
        auto link = TOVKoggetto::Create(TOggettiHel::internetLink);
        link->SetDocument(&doc);
        link->Record().SetU8(4, 4);
        link->Record().SetStr(5, 127, address);
        const std::int32_t index = doc.RegisterObject(link.release(), -1);
        return MakeReference(TOggettiHel::internetLink, index);
    }
    static std::string Hex(std::int32_t ref) {
        std::string s;
        paragraphstream::AppendHex(s, static_cast<std::uint32_t>(ref), 8);
        return s;
    }
};

TEST_F(TextAttributesTest, InternalFormatCarriesLinksStylesAndTheRange) {
    const std::int32_t ref = AddLink("http://example.org");
    model->Load("<Z S0 >one <$"s + Hex(ref) + ">two<%> three<Z S0 >Hello world\0"s);
    model->LayOut();
    ModelSource source(*model);
    source.from = {0, 4};
    source.to = {1, 5};
    TOVKTextAttributes attributes(&source);

    std::string out;
    EXPECT_EQ(attributes.WriteSelection(out, 0), nullptr);
    ASSERT_GE(out.size(), 8u);
    std::size_t pos = 0;
    auto i32 = [&] {
        const std::int32_t v = le::I32(AsBytes(out), static_cast<std::int64_t>(pos));
        pos += 4;
        return v;
    };
    EXPECT_EQ(i32(), 1);
    ASSERT_EQ(i32(), 1); // the one link the selection uses
    EXPECT_EQ(i32(), static_cast<std::int32_t>(TOggettiHel::internetLink));
    EXPECT_EQ(i32(), ref);
    ASSERT_EQ(attributes.LinkObjects().size(), 1u);
    std::string linkForm;
    attributes.LinkObjects()[0]->WriteToStream(linkForm);
    EXPECT_EQ(out.substr(pos, linkForm.size()), linkForm);
    pos += linkForm.size();
    // Style 0, once although both paragraphs use it.
    ASSERT_EQ(i32(), 1);
    EXPECT_EQ(i32(), static_cast<std::int32_t>(TOggettiHel::stileParagrafo));
    std::string styleForm;
    attributes.SupportObjects()[0]->WriteToStream(styleForm);
    pos += styleForm.size();
    EXPECT_EQ(i32(), 0); // no embedded objects
    EXPECT_EQ(i32(), 2); // paragraphs
    std::string range;
    WriteRange(range, model->Paragraphs(), source.from, source.to, 0);
    EXPECT_EQ(out.substr(pos), range);
    EXPECT_EQ(out.back(), '\0');

    EXPECT_EQ(attributes.WritePlainText(), "two three\nHello");
    EXPECT_EQ(attributes.WriteRtf(), "{\\rtf1\\ansi\\deff0 two three\\par\nHello}");
}

TEST_F(TextAttributesTest, NothingWithoutASelectionStartAndConvertersWhenInstalled) {
    model->Load("<Z S0 >a{b}\xe9\0"s);
    ModelSource source(*model);
    TOVKTextAttributes attributes(&source);
    std::string out;
    attributes.WriteSelection(out, 0);
    EXPECT_TRUE(out.empty());

    source.from = {0, 0};
    source.to = {0, 5};
    // RTF specials are escaped and high bytes written as hex in the fallback.
    EXPECT_EQ(attributes.WriteRtf(), "{\\rtf1\\ansi\\deff0 a\\{b\\}\\'e9}");

    std::string seen;
    TOVKTextAttributes::SetPlainTextConverter([&](std::string_view stream, TOVKset*) {
        seen = std::string(stream);
        return std::string("converted");
    });
    EXPECT_EQ(attributes.WritePlainText(), "converted");
    EXPECT_EQ(seen, attributes.SelectionStream());
    EXPECT_EQ(seen.back(), '\0');
    TOVKTextAttributes::SetPlainTextConverter(nullptr);
}

} // namespace
} // namespace morvell::test
