#pragma once
// The seam through which the UI makes the text box of a page display copy. Core runs the
// steps that are data (numbering the embedded objects' controls into their tags, handing the
// objects over); the installed factory does what needs widgets. Until one is installed a page
// answers "no control", which is what headless layout and the tests see.

#include <cstdint>
#include <memory>
#include <vector>

namespace morvell {

class TOVKoggetto;
class TOVKtesto;
class TOVKpage;
class Visual;

// Background of a page's text box.
struct TextBoxBackground {
    TOVKoggetto* picture = nullptr; // the page's immagine at 85; nullptr = none
    std::uint32_t colour = 0;       // offset 101
    int pictureMode = -1;           // offset 288 when below 4, else -1 (not given)
};

class TextBoxFactory {
public:
    virtual ~TextBoxFactory() = default;
    // Creates the text box of `copy` on `pageView`: numbered in the view's control index list,
    // filling the view's client area, read-only as the view is, with `background`. nullptr when
    // no box can be made.
    virtual Visual* MakeTextBox(TOVKtesto& copy, TOVKpage* pageView, const TextBoxBackground& background) = 0;
    // Destroys a box made earlier, before a new one is made for the same copy.
    virtual void DestroyTextBox(Visual* box) = 0;
    // A floating picture of the header or footer copy, for the view's list of such objects.
    virtual void AddHeaderFooterFloating(TOVKpage* pageView, TOVKoggetto& picture) = 0;
    // The box takes over the embedded objects (their tags now carry 0xFF000000 + control
    // number, 0xFFFFFFFF for objects without a control) and reads the texts in order: the
    // page's object holders, the header copy's paragraphs, the page's, the footer copy's.
    virtual void ReadTexts(Visual* box, TOVKtesto& copy,
                           std::vector<std::unique_ptr<TOVKoggetto>> objects) = 0;
};

// The factory in force (not owned); nullptr when none is installed.
TextBoxFactory* CurrentTextBoxFactory();
void SetTextBoxFactory(TextBoxFactory* factory);

} // namespace morvell
