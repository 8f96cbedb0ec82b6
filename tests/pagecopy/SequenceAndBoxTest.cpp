#include "PageCopyFixture.h"

#include "objects/PageTextBox.h"
#include "objects/Visual.h"

#include <gmock/gmock.h>

#include <vector>

namespace morvell::test {
namespace {

using ::testing::ElementsAre;

const std::string kZero(1, '\0');

TEST_F(PageCopyTest, BrowseSequenceNeighbours) {
    struct PageSpec {
        int group, position, optOut;
        bool deleted;
    };
    // Index:                 0           1           2           3           4
    const PageSpec pages[] = {{1, 0, 0, false},
                              {1, 1, 0, false},
                              {1, 2, 0, false},
                              {1, 5, 0, false},
                              {2, 3, 0, false},
                              // 5: not in a sequence; 6: opted out; 7: deleted; 8: ties with page 3
                              {1, -1, 0, false},
                              {1, 4, 1, false},
                              {1, 3, 0, true},
                              {1, 5, 0, false}};
    for (const PageSpec& p : pages) {
        TOVKoggetto& page = AddPage("<Z S0 >" + kZero);
        page.Record().SetI16(77, static_cast<std::int16_t>(p.group));
        page.Record().SetI16(79, static_cast<std::int16_t>(p.position));
        page.Record().SetU8(189, static_cast<std::uint8_t>(p.optOut));
        if (p.deleted) page.Record().SetU8(4, 3);
    }
    struct Case {
        int page, previous, next;
    };
    const Case cases[] = {
        {0, 0, 1}, // first of its group: no previous
        {2, 1, 3}, // after position 2 comes 5 (4 opted out, 3 deleted); the tie goes to the lower index
        {3, 2, 3}, // before 5 comes 2; nothing after
        {4, 4, 4}, // alone in its group
        {5, 5, 5}, // negative position: not in a sequence
        {6, 6, 6}, // opted out itself
    };
    for (const Case& c : cases) {
        const TOVKoggetto& page = *m_doc.Object(K::testoHtml, c.page);
        EXPECT_EQ(PreviousInSequence(page), c.previous) << "page " << c.page;
        EXPECT_EQ(NextInSequence(page), c.next) << "page " << c.page;
    }
}

// Controls numbered from 7 up; markers (shortObj) have none.
class NumberedVisual : public Visual {
public:
    explicit NumberedVisual(int number) : m_number(number) {}
    VisualSize SetAvailableWidth(int) override { return {}; }
    bool HiddenInMode(bool) const override { return false; }
    void Place(int, int) override {}
    void Show() override {}
    void Hide() override {}
    int Number() const override { return m_number; }

private:
    int m_number;
};

class Controls : public VisualFactory {
public:
    Visual* MakeVisual(TOVKoggetto& object, TOVKpage*) override {
        if (object.Kind() == K::shortObj) return nullptr;
        m_made.push_back(std::make_unique<NumberedVisual>(m_next++));
        return m_made.back().get();
    }
    void DestroyVisual(Visual*) override {}
    Printual* MakePrintual(TOVKoggetto&, TPrintOwner*) override { return nullptr; }

    int m_next = 7;
    std::vector<std::unique_ptr<Visual>> m_made;
};

class Boxes : public TextBoxFactory {
public:
    Visual* MakeTextBox(TOVKtesto&, TOVKpage*, const TextBoxBackground& background) override {
        m_background = background;
        m_boxes.push_back(std::make_unique<NumberedVisual>(1));
        return m_boxes.back().get();
    }
    void DestroyTextBox(Visual*) override { ++m_destroyed; }
    void AddHeaderFooterFloating(TOVKpage*, TOVKoggetto& picture) override { m_floating.push_back(&picture); }
    void ReadTexts(Visual*, TOVKtesto& copy, std::vector<std::unique_ptr<TOVKoggetto>> objects) override {
        m_texts = {copy.HeaderCopy() ? copy.HeaderCopy()->DataBytes() : "", copy.DataBytes()};
        m_objects = std::move(objects);
    }

    TextBoxBackground m_background;
    std::vector<std::unique_ptr<Visual>> m_boxes;
    int m_destroyed = 0;
    std::vector<TOVKoggetto*> m_floating;
    std::vector<std::string> m_texts;
    std::vector<std::unique_ptr<TOVKoggetto>> m_objects;
};

TEST_F(PageCopyTest, TextBoxNumbersTheControlsIntoTheTags) {
    TOVKoggetto& picture = AddPicture();
    TOVKoggetto& floating = AddPicture(true);
    TOVKoggetto& marker = Add(K::shortObj, 15);
    TOVKoggetto& header = AddPage("<Z S0 >" + Tag(Ref(K::immagineNew, floating.Index())) + kZero);
    TOVKoggetto& page = AddPage("<Z S0 >" + Tag(Ref(K::immagineNew, picture.Index())) +
                                    Tag(Ref(K::shortObj, marker.Index())) + kZero,
                                header.Index());
    page.Record().SetU32(101, 0x00C0FFEE);
    page.Record().SetU8(288, 2);
    auto copy = MakeDisplayCopy(page, 0, nullptr, nullptr);

    // Without a text box factory the page has no control and keeps its lists.
    EXPECT_EQ(copy->CreateVisual(nullptr), nullptr);
    EXPECT_EQ(copy->Instances().size(), 3u);

    Controls controls;
    Boxes boxes;
    SetVisualFactory(&controls);
    SetTextBoxFactory(&boxes);
    Visual* box = copy->CreateVisual(nullptr);
    SetTextBoxFactory(nullptr);
    SetVisualFactory(nullptr);

    ASSERT_NE(box, nullptr);
    EXPECT_EQ(copy->CurrentVisual(), box);
    EXPECT_EQ(boxes.m_background.colour, 0x00C0FFEEu);
    EXPECT_EQ(boxes.m_background.pictureMode, 2);
    EXPECT_THAT(boxes.m_texts,
                ElementsAre("<Z S0 ><$FF000008>" + kZero, "<Z S0 ><$FF000007><$FFFFFFFF>" + kZero));
    ASSERT_EQ(boxes.m_objects.size(), 3u);
    EXPECT_EQ(boxes.m_objects[0]->ControlNumber(), 7);
    EXPECT_EQ(boxes.m_objects[2]->Kind(), K::immagineNew);
    EXPECT_THAT(boxes.m_floating, ElementsAre(boxes.m_objects[2].get()));
    EXPECT_TRUE(copy->Instances().empty());
    EXPECT_TRUE(copy->TagPositions().empty());
}

} // namespace
} // namespace morvell::test
