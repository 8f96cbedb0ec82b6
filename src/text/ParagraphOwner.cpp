#include "text/ParagraphOwner.h"

#include "objects/TOVKoggetto.h"

namespace morvell {

VisualSize ParagraphOwner::ObjectSize(TOVKoggetto& object, int availableWidth) {
    Visual* control = object.CurrentVisual();
    if (!control) return {0, 0};
    if (control->HiddenInMode(ReadOnly())) return {0, 10};
    VisualSize size = control->SetAvailableWidth(availableWidth);
    const TOggettiHel kind = object.Kind();
    if (kind == TOggettiHel::inputStat || kind == TOggettiHel::inputDin || kind == TOggettiHel::bottoneCGI)
        size.height += 2;
    return size;
}

void ParagraphOwner::HideObject(TOVKoggetto& object) {
    if (Visual* control = object.CurrentVisual()) control->Hide();
    object.SetWaitingToBePlaced(true);
}

void ParagraphOwner::PlaceObject(TOVKoggetto& object, int x, int y, bool selected) {
    if (Visual* control = object.CurrentVisual()) {
        control->Place(x, y);
        control->Show();
        control->SetHighlighted(selected);
    }
    object.SetWaitingToBePlaced(false);
}

int ObjectAlignment(const TOVKoggetto& object) {
    switch (object.Kind()) {
    case TOggettiHel::shortObj:
        return 5;
    case TOggettiHel::immagineNew:
        return object.Record().U8(13);
    default:
        return 4;
    }
}

} // namespace morvell
