#pragma once
// The display copy of a page. A registered page is never shown itself: every display works on
// a private copy that owns copies of the objects its text embeds and of the links it uses, with
// the text's tags rewritten to point into the copy's own lists, and with the page's header and
// footer pages brought in as copies of their own. The browse-sequence neighbours of a page live
// here too, since the special links that step through a sequence are followed from a copy.

#include "objects/TOVKtesto.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace morvell {

class TInsiemeCornici;

// Nested link references are followed this many levels below the object a tag names; deeper
// ones keep their document reference. This also ends reference loops.
inline constexpr int kMaxLinkDepth = 5;
// What one display copy may copy in all (records and blocks of every private copy, header and
// footer included). A hostile page repeating the tag of an object with a large block would
// otherwise multiply that block without bound; real pages stay far below it. Past it, further
// tags show as missing objects and nested references keep their document references.
inline constexpr std::size_t kMaxCopyBytes = std::size_t{64} << 20;

// Makes the display copy of `page`. `headerOrFooter` is 0 for a page shown in a frame and 1 for
// its header and footer copies; `owner` is the copy whose lists receive the instances and local
// links (nullptr: the new copy itself). The caller (the page view) owns the result.
std::unique_ptr<TOVKtesto> MakeDisplayCopy(TOVKoggetto& page, int headerOrFooter, TOVKtesto* owner,
                                           TInsiemeCornici* frameSet);

// Enters a working copy of a link object (internetLink, speclink or shortObj) in `copy`'s local
// link list and answers its local reference 0x6F000000 + position; the list then owns it and
// `object` is left empty. A registered object answers its document reference, an object that
// is already in a list its local reference, any other kind its document reference; in those
// cases `object` stays with the caller. Without a copy: an error box and -1.
std::int32_t AddToLocalLinks(std::unique_ptr<TOVKoggetto>& object, TOVKtesto* copy);

// Index of the page before / after `page` in its browse sequence (group at 77, position at 79);
// the page's own index when it is not in a sequence or has no neighbour there.
std::int32_t PreviousInSequence(const TOVKoggetto& page);
std::int32_t NextInSequence(const TOVKoggetto& page);

// --- tags -------------------------------------------------------------------------------------
// The reference of the object tag "<$" + 8 hex digits + ">" that starts at text[lt] == '<';
// nullopt when the eleven characters are not all there or do not end with '>'. Digits other
// than 0-9, A-F and a-f count as 0, as the paragraph reader counts them.
std::optional<std::uint32_t> ReadObjectTag(std::string_view text, std::size_t lt);
// Writes `ref` as 8 capital hex digits just after the '$' at text[dollar]; nothing when they
// would not fit.
void WriteTagReference(std::string& text, std::size_t dollar, std::uint32_t ref);

} // namespace morvell
