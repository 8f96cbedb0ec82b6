#include "document/PictureCache.h"

#include "document/TOVKsetTexts.h"
#include "objects/TOVKoggetto.h"
#include "platform/Messages.h"

#include <algorithm>

namespace morvell {

PictureCache::~PictureCache() {
    // The controls that showed these pictures belong to windows that are gone or going; the
    // pictures are simply destroyed.
    m_controls.clear();
    m_entries.clear();
}

CachedPicture* PictureCache::Find(const TOVKoggetto* object) const {
    for (const Entry& e : m_entries)
        if (e.object == object) return e.picture.get();
    return nullptr;
}

CachedPicture* PictureCache::Add(TOVKoggetto* object, std::unique_ptr<CachedPicture> picture) {
    if (object == nullptr || object->Kind() != TOggettiHel::immagine) {
        Msg().Error(texts::kImageCacheBug);
        return nullptr;
    }
    if (CachedPicture* cached = Find(object)) return cached;
    if (!picture) return nullptr;
    m_entries.push_back({object, std::move(picture)});
    CachedPicture* added = m_entries.back().picture.get();
    // The caller is about to use the picture it just added, so a bound below 1 still keeps it.
    const int bound = std::max(1, m_maxCacheImg);
    if (Count() > bound) Evict(0);
    return added;
}

void PictureCache::Evict(std::size_t position) {
    if (position >= m_entries.size()) return;
    // Out of the list first, so that a control reacting to the drop sees a consistent cache;
    // the picture itself lives until every control has let go of it.
    std::unique_ptr<CachedPicture> picture = std::move(m_entries[position].picture);
    m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(position));
    const std::vector<ImageControl*> controls = m_controls;
    for (ImageControl* control : controls)
        if (IsRegistered(control) && control->ShownPicture() == picture.get()) control->DropPicture();
}

void PictureCache::Drop(const TOVKoggetto* object) {
    if (object == nullptr) return;
    for (std::size_t i = m_entries.size(); i-- > 0;)
        if (i < m_entries.size() && m_entries[i].object == object) Evict(i);
}

void PictureCache::ReleaseAll(bool programClosing) {
    if (m_releasing) return;
    m_releasing = true;
    struct Guard {
        bool& flag;
        ~Guard() { flag = false; }
    } guard{m_releasing};

    if (!programClosing) {
        const std::vector<ImageControl*> controls = m_controls;
        for (ImageControl* control : controls) {
            if (!IsRegistered(control)) continue;
            const CachedPicture* shown = control->ShownPicture();
            bool cached = std::any_of(m_entries.begin(), m_entries.end(),
                                      [&](const Entry& e) { return e.picture.get() == shown; });
            if (shown != nullptr && cached) {
                control->DropPicture();
                UnregisterControl(control);
            }
        }
    }
    std::vector<Entry> entries = std::move(m_entries);
    m_entries.clear();
    for (Entry& e : entries)
        if (e.picture) e.picture->Clear();
    entries.clear();
}

bool PictureCache::IsCachedGif(const CachedPicture* picture) const {
    if (picture == nullptr) return false;
    for (const Entry& e : m_entries)
        if (e.picture.get() == picture) return picture->IsGif();
    return false;
}

void PictureCache::RegisterControl(ImageControl* control) {
    if (control != nullptr && !IsRegistered(control)) m_controls.push_back(control);
}

void PictureCache::UnregisterControl(ImageControl* control) {
    m_controls.erase(std::remove(m_controls.begin(), m_controls.end(), control), m_controls.end());
}

bool PictureCache::IsRegistered(const ImageControl* control) const {
    return std::find(m_controls.begin(), m_controls.end(), control) != m_controls.end();
}

std::vector<const TOVKoggetto*> PictureCache::Objects() const {
    std::vector<const TOVKoggetto*> objects;
    objects.reserve(m_entries.size());
    for (const Entry& e : m_entries) objects.push_back(e.object);
    return objects;
}

} // namespace morvell
