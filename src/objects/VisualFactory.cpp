#include "objects/TOVKoggetto.h"
#include "objects/Visual.h"

namespace morvell {
namespace {
VisualFactory* g_factory = nullptr;
}

VisualFactory* CurrentVisualFactory() { return g_factory; }
void SetVisualFactory(VisualFactory* factory) { g_factory = factory; }

VisualClass VisualClassOf(const TOVKoggetto& object) {
    const int sub = object.Record().U8(4);
    switch (object.Kind()) {
    case TOggettiHel::testoHtml:
        return VisualClass::TextBox;
    case TOggettiHel::tabellaHtml:
        return VisualClass::Table;
    case TOggettiHel::shortObj:
        if (sub == 5 || (sub >= 10 && sub <= 15) || (sub >= 21 && sub <= 28)) return VisualClass::BelPanel;
        return VisualClass::None;
    case TOggettiHel::dbloc:
    case TOggettiHel::multiMedia:
        return VisualClass::Multimedia;
    case TOggettiHel::immagineNew:
        return VisualClass::Image;
    case TOggettiHel::inputStat:
        switch (sub) {
        case 1:
        case 2:
        case 3:
            return VisualClass::Edit;
        case 4:
            return VisualClass::Memo;
        case 5:
            return VisualClass::BelPanel;
        case 6:
            return VisualClass::RadioButton;
        case 7:
            return VisualClass::CheckBox;
        case 8:
            return VisualClass::ListBox;
        case 9:
            return VisualClass::ComboBox;
        case 18:
            return VisualClass::Floating;
        default:
            return VisualClass::None;
        }
    case TOggettiHel::inputDin:
        switch (sub) {
        case 2:
            return VisualClass::Memo;
        case 6:
            return VisualClass::ListBox;
        case 7:
            return VisualClass::ComboBox;
        case 11:
        case 12:
            return VisualClass::BelPanel;
        default:
            return VisualClass::None;
        }
    case TOggettiHel::bottoneCGI:
        return VisualClass::Button;
    case TOggettiHel::inizioForm:
        return VisualClass::InizioForm;
    default:
        return VisualClass::None;
    }
}

PrintualClass PrintualClassOf(const TOVKoggetto& object) {
    const int sub = object.Record().U8(4);
    switch (object.Kind()) {
    case TOggettiHel::testoHtml:
        return PrintualClass::TextBox;
    case TOggettiHel::tabellaHtml:
        return PrintualClass::Table;
    case TOggettiHel::immagineNew:
        return PrintualClass::Image;
    case TOggettiHel::shortObj:
        return sub == 5 || (sub >= 10 && sub <= 15) ? PrintualClass::Rectangle : PrintualClass::None;
    case TOggettiHel::bottoneCGI:
    case TOggettiHel::inizioForm:
    case TOggettiHel::multiMedia:
        return PrintualClass::Rectangle;
    case TOggettiHel::inputStat:
        return (sub >= 1 && sub <= 4) || (sub >= 6 && sub <= 9) || sub == 18 ? PrintualClass::Rectangle
                                                                             : PrintualClass::None;
    case TOggettiHel::inputDin:
        return sub == 2 || sub == 6 || sub == 7 || sub == 11 || sub == 12 ? PrintualClass::Rectangle
                                                                          : PrintualClass::None;
    default:
        return PrintualClass::None;
    }
}

} // namespace morvell
