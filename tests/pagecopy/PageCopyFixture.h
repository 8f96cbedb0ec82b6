#pragma once
// A small document built in memory for the page-copy tests: objects are registered slot by slot
// with their records set byte by byte, so each test shows the fields that matter.

#include "document/TOVKset.h"
#include "objects/PageCopy.h"
#include "objects/TOVKoggetto.h"
#include "objects/TOVKtesto.h"
#include "platform/Messages.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace morvell::test {

using K = TOggettiHel;

// The eleven characters of the tag naming `ref`.
inline std::string Tag(std::uint32_t ref) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "<$%08X>", ref);
    return buf;
}
inline std::uint32_t Ref(K kind, int index) { return static_cast<std::uint32_t>(MakeReference(kind, index)); }

class PageCopyTest : public ::testing::Test {
protected:
    PageCopyTest() {
        SetMessages(&m_messages);
        m_doc.New();
        m_doc.MutableHeader().SetDefaultHeader(-1);
        m_doc.MutableHeader().SetDefaultFooter(-1);
        m_messages.Clear();
    }
    ~PageCopyTest() override { SetMessages(nullptr); }

    // Registers a new object of `kind` in the next slot of its list; unset bytes are 0xFF.
    TOVKoggetto& Add(K kind, int status, const std::function<void(OVKRecord&)>& fill = {}) {
        std::unique_ptr<TOVKoggetto> object = TOVKoggetto::Create(kind);
        object->SetDocument(&m_doc);
        object->Record().SetU8(4, static_cast<std::uint8_t>(status));
        if (fill) fill(object->Record());
        TOVKoggetto* raw = object.release();
        m_doc.RegisterObject(raw, m_doc.Count(kind));
        return *raw;
    }

    // A current-markup page in no browse sequence, with the header and footer it names.
    TOVKoggetto& AddPage(const std::string& text, std::int32_t header = -1, std::int32_t footer = -1) {
        TOVKoggetto& page = Add(K::testoHtml, 0, [&](OVKRecord& r) {
            r.SetU8(195, 2);
            r.SetU8(189, 1);
            r.SetI32(231, header);
            r.SetI32(235, footer);
            r.SetU32(89, 0x000080);
            r.SetU32(93, 0xFF0000);
        });
        page.SetData(text);
        return page;
    }

    TOVKoggetto& AddLink(const std::string& address) {
        return Add(K::internetLink, 4, [&](OVKRecord& r) { r.SetStr(5, 127, address); });
    }
    TOVKoggetto& AddSpeclink(std::int32_t target) {
        return Add(K::speclink, 1, [&](OVKRecord& r) { r.SetI32(13, target); });
    }
    TOVKoggetto& AddPicture(bool floating = false) {
        return Add(K::immagineNew, 1, [&](OVKRecord& r) {
            r.SetU8(13, floating ? 254 : 4);
            r.SetI32(69, -1);
            for (int zone = 0; zone < 30; ++zone) r.SetI32(73 + 16 * zone, -1);
        });
    }

    RecordingMessages m_messages;
    TOVKset m_doc;
};

} // namespace morvell::test
