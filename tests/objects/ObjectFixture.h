#pragma once
// Fixture ebooks for the object tests: records are set byte by byte with the builder's Record,
// the file is written to a temporary folder and opened through a real document.

#include "document/TOVKset.h"
#include "objects/TOVKoggetto.h"
#include "ovkbuild/Builder.h"
#include "platform/Messages.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace morvell::test {

using ovkbuild::Record;
using K = TOggettiHel;

// A record as the authoring tool stores it: every byte not set is 0xFF.
inline Record FfRecord(std::size_t size = 668) { return Record(size, 0xFF); }

class ObjectTest : public ::testing::Test {
protected:
    ObjectTest() : m_scoped(m_messages) {}

    // Writes `builder` as book.ovk and opens it; the boxes of the open are then forgotten.
    void Open(const ovkbuild::Builder& builder, const std::string& name = "book.ovk") {
        m_path = (m_dir / name).string();
        builder.Write(m_path);
        ASSERT_TRUE(m_doc.SetOVKFileName(m_path)) << ::testing::PrintToString(m_messages.Texts());
        m_messages.Clear();
    }

    TOVKoggetto& Obj(K kind, int index) {
        TOVKoggetto* o = m_doc.Object(kind, index);
        EXPECT_NE(o, nullptr);
        return *o;
    }

    TempDir m_dir;
    RecordingMessages m_messages;
    ScopedMessages m_scoped;
    TOVKset m_doc;
    std::string m_path;
};

// A free-standing object of `kind` belonging to `doc`, not registered.
inline std::unique_ptr<TOVKoggetto> Loose(K kind, TOVKset* doc = nullptr) {
    auto o = TOVKoggetto::Create(kind);
    o->SetDocument(doc);
    return o;
}

} // namespace morvell::test
