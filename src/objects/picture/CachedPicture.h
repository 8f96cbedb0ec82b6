#pragma once
// What the document's picture cache needs from a picture it holds. The cache owns its
// pictures through this interface, so it needs no decoder header; TOVKpicture implements it.

namespace morvell {

class CachedPicture {
public:
    virtual ~CachedPicture() = default;
    // A GIF picture: the cache keeps the image controls that animate it registered.
    virtual bool IsGif() const = 0;
    // Holds no graphic (the file could not be loaded).
    virtual bool IsEmpty() const = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Empties the picture; releasing the whole cache clears every picture before freeing it.
    virtual void Clear() = 0;
};

} // namespace morvell
