#pragma once
// What the document needs from a frame set that shows it. A frame set registers itself with
// its document when it is linked to it and unregisters when it is unlinked or destroyed; the
// document resets every registered frame set when it closes (nothing it shows survives the
// close) and asks them for frames by name when a link targets a named frame.

#include <string>

namespace morvell {

class FrameSetLink {
public:
    virtual ~FrameSetLink() = default;
    // Show no page and forget the active control: the document is about to close.
    virtual void ResetView() = 0;
    // True when the frame set has a frame of that name (names compare ignoring case).
    virtual bool HasFrameNamed(const std::string& name) const = 0;
};

} // namespace morvell
