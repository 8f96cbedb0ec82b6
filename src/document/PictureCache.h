#pragma once
// The document's cache of decoded pictures. Decoding a picture is the expensive step of
// showing a page, so every control that shows the same `immagine` shares one decoded
// picture; the cache bounds how many it keeps (MaxCacheImg) and evicts the oldest first.
// The cache owns the pictures. Image controls that currently show a cached picture enter
// the registry, so that an evicted picture is first taken away from whoever paints it.

#include "objects/picture/CachedPicture.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace morvell {

class TOVKoggetto;

// What the cache needs from an image control: which picture it shows, and a way to make it
// let go of that picture (stop its animation, wait for it, forget the picture).
class ImageControl {
public:
    virtual ~ImageControl() = default;
    virtual const CachedPicture* ShownPicture() const = 0;
    virtual void DropPicture() = 0;
};

class PictureCache {
public:
    static constexpr int kDefaultMaxCacheImg = 20;

    PictureCache() = default;
    ~PictureCache();
    PictureCache(const PictureCache&) = delete;
    PictureCache& operator=(const PictureCache&) = delete;

    int MaxCacheImg() const { return m_maxCacheImg; }
    void SetMaxCacheImg(int max) { m_maxCacheImg = max; }

    // The cached picture of `object`, or nullptr.
    CachedPicture* Find(const TOVKoggetto* object) const;
    // Adds the picture of an `immagine` object and returns the cached picture. Another kind
    // shows the "image cache bug" error box and caches nothing (nullptr; the picture is
    // destroyed). An object already cached keeps its picture, which is returned. At most one
    // entry, the oldest, is evicted per addition, and never the one just added.
    CachedPicture* Add(TOVKoggetto* object, std::unique_ptr<CachedPicture> picture);
    // Evicts the entries of `object`.
    void Drop(const TOVKoggetto* object);
    // Empties the cache. Unless the program is closing, registered controls showing a
    // cached picture first drop it and leave the registry; every picture is cleared before
    // it is destroyed. Re-entry does nothing.
    void ReleaseAll(bool programClosing);

    // True when `picture` is in the cache and is a GIF picture.
    bool IsCachedGif(const CachedPicture* picture) const;

    void RegisterControl(ImageControl* control);
    void UnregisterControl(ImageControl* control);
    bool IsRegistered(const ImageControl* control) const;

    int Count() const { return static_cast<int>(m_entries.size()); }
    // Objects in cache order, oldest first (tests, diagnostics).
    std::vector<const TOVKoggetto*> Objects() const;

private:
    struct Entry {
        const TOVKoggetto* object;
        std::unique_ptr<CachedPicture> picture;
    };
    void Evict(std::size_t position);

    std::vector<Entry> m_entries;
    std::vector<ImageControl*> m_controls;
    int m_maxCacheImg = kDefaultMaxCacheImg;
    bool m_releasing = false;
};

} // namespace morvell
