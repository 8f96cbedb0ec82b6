#pragma once
// Shared pieces of the text tests: a real document with styles, a text model measuring with
// FixedMetrics (size 10: every character 6 wide, text 16 high, ascent 13), and helpers to
// make styles and embedded objects.

#include "document/TOVKset.h"
#include "objects/TOVKFontStyle.h"
#include "objects/TOVKoggetto.h"
#include "objects/Visual.h"
#include "platform/Messages.h"
#include "text/Measurer.h"
#include "text/RecordingCanvas.h"
#include "text/TextModel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace morvell::test {

// A control of fixed size, remembering where layout and drawing put it.
class FakeVisual : public Visual {
public:
    FakeVisual(int w, int h, bool hidden = false) : m_size{w, h}, m_hidden(hidden) {}
    VisualSize SetAvailableWidth(int width) override {
        lastAvailable = width;
        return m_size;
    }
    bool HiddenInMode(bool) const override { return m_hidden; }
    void Place(int x, int y) override {
        placedX = x;
        placedY = y;
    }
    void Show() override { shown = true; }
    void Hide() override { shown = false; }
    int Number() const override { return -1; }

    int lastAvailable = -1;
    int placedX = -99999, placedY = -99999;
    bool shown = false;

private:
    VisualSize m_size;
    bool m_hidden;
};

// Text model whose objects have fake controls of given sizes.
class FakeControlModel : public TextModel {
public:
    using TextModel::TextModel;
    std::unordered_map<const TOVKoggetto*, FakeVisual*> controls;
    VisualSize ObjectSize(TOVKoggetto& object, int availableWidth) override {
        auto it = controls.find(&object);
        if (it == controls.end()) return {0, 0};
        if (it->second->HiddenInMode(ReadOnly())) return {0, 10};
        return it->second->SetAvailableWidth(availableWidth);
    }
    void HideObject(TOVKoggetto& object) override {
        if (auto it = controls.find(&object); it != controls.end()) it->second->Hide();
    }
    void PlaceObject(TOVKoggetto& object, int x, int y, bool) override {
        if (auto it = controls.find(&object); it != controls.end()) {
            it->second->Place(x, y);
            it->second->Show();
        }
    }
};

class TextTest : public ::testing::Test {
protected:
    TextTest() : m_scoped(messages) {
        doc.New();
        model = std::make_unique<FakeControlModel>(&doc, &metrics);
    }

    // Registers a new paragraph style with the record defaults; `edit` changes its record.
    template <class Edit> std::int32_t AddStyle(Edit edit) {
        std::unique_ptr<TOVKoggetto> style = TOVKoggetto::Create(TOggettiHel::stileParagrafo);
        style->SetDocument(&doc);
        stylerec::ApplyDefaults(style->Record());
        style->Record().SetU8(stylerec::kStatus, 1);
        edit(style->Record());
        return doc.RegisterObject(style.release(), -1);
    }
    std::int32_t AddStyle() {
        return AddStyle([](OVKRecord&) {});
    }

    // An embedded object of `kind` with a fake control of w x h, known to the page as `id`.
    TOVKoggetto* AddObject(std::int32_t id, TOggettiHel kind, int w, int h, bool hidden = false) {
        objects.push_back(TOVKoggetto::Create(kind));
        TOVKoggetto* o = objects.back().get();
        visuals.push_back(std::make_unique<FakeVisual>(w, h, hidden));
        model->controls[o] = visuals.back().get();
        model->AddPageObject(id, o);
        return o;
    }

    TOVKparag& Para(std::size_t i = 0) { return *model->Paragraphs().at(i); }
    TOVKparag& Load(const std::string& bytes) {
        model->Load(bytes);
        return Para(0);
    }

    RecordingMessages messages;
    ScopedMessages m_scoped;
    TOVKset doc;
    FixedMetrics metrics;
    std::vector<std::unique_ptr<TOVKoggetto>> objects;
    std::vector<std::unique_ptr<FakeVisual>> visuals;
    std::unique_ptr<FakeControlModel> model;
};

} // namespace morvell::test
