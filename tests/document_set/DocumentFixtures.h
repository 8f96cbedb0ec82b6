#pragma once
// Small helpers for the document tests: records of the kinds the tests store, a recorder of
// the document's events, and pictures the cache can hold.

#include "document/OVKKinds.h"
#include "document/PictureCache.h"
#include "ovkbuild/Builder.h"
#include "ovkbuild/Templates.h"

#include <string>
#include <vector>

namespace morvell::test {

inline constexpr std::int32_t Ref(TOggettiHel kind, std::int32_t index) { return MakeReference(kind, index); }

// A dbloc holding `fields` (name, value pairs) as its field list, in use.
inline std::int32_t StorePropertyList(ovkbuild::Builder& b,
                                      const std::vector<std::pair<std::string, std::string>>& fields) {
    std::string list;
    for (const auto& [name, value] : fields) list += name + "\r\n" + value + "\r\n";
    ovkbuild::DataBlock block = b.AddData(list);
    ovkbuild::Record rec(668, 0xFF);
    rec.I32(0, static_cast<std::int32_t>(block.offset))
        .U8(4, 7)
        .I32(13, static_cast<std::int32_t>(block.length));
    rec.I32(38, 0).I32(42, 0).U8(46, 1);
    b.AddRecord(TOggettiHel::dbloc, rec);
    const std::int32_t ref = Ref(TOggettiHel::dbloc, b.Count(TOggettiHel::dbloc) - 1);
    b.Header().SetPropertyList(ref);
    return ref;
}

// An in-use paragraph style record named `name`.
inline void StoreStyle(ovkbuild::Builder& b, const std::string& name) {
    ovkbuild::Record rec(668, 0);
    rec.U8(4, 1).Str(5, 32, name).Str(39, 32, "Arial").I16(72, 10);
    b.AddRecord(TOggettiHel::stileParagrafo, rec);
}

// An immagine record in use, its picture bytes in the data area.
inline void StorePicture(ovkbuild::Builder& b, const std::string& name, const std::string& bytes) {
    ovkbuild::DataBlock block = b.AddData(bytes);
    ovkbuild::Record rec(668, 0xFF);
    rec.I32(0, static_cast<std::int32_t>(block.offset)).U8(4, 0).Str(5, 71, name).Str(94, 75, name);
    rec.I32(174, static_cast<std::int32_t>(block.length)).I32(662, -1).U8(666, 0);
    b.AddRecord(TOggettiHel::immagine, rec);
}

struct FakePicture : CachedPicture {
    explicit FakePicture(int* destroyed = nullptr, bool gif = false) : m_destroyed(destroyed), m_gif(gif) {}
    ~FakePicture() override {
        if (m_destroyed) ++*m_destroyed;
    }
    bool IsGif() const override { return m_gif; }
    bool IsEmpty() const override { return false; }
    int Width() const override { return 1; }
    int Height() const override { return 1; }
    void Clear() override { m_cleared = true; }
    int* m_destroyed;
    bool m_gif;
    bool m_cleared = false;
};

struct FakeImageControl : ImageControl {
    const CachedPicture* ShownPicture() const override { return m_shown; }
    void DropPicture() override {
        ++m_drops;
        m_shown = nullptr;
    }
    const CachedPicture* m_shown = nullptr;
    int m_drops = 0;
};

} // namespace morvell::test
