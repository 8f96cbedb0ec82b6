#pragma once
// What the core needs from the control that shows an embedded object on a page, and the seam
// through which the UI layer makes those controls. Until a factory is installed every object
// answers "no control", which is what layout and printing see in headless use.

namespace morvell {

class TOVKoggetto;
class TOVKpage;    // page view that owns the controls of a page
class TPrintOwner; // print layout that owns the print objects of a page

struct VisualSize {
    int width = 0;
    int height = 0;
    bool operator==(const VisualSize&) const = default;
};

// A page control. It is owned by the page view (or the paragraph) that holds it, never by the
// object it shows; the object only remembers it so that a new control replaces the old one.
class Visual {
public:
    virtual ~Visual() = default;
    // Lays the control out for the width the line offers and answers the size it takes.
    virtual VisualSize SetAvailableWidth(int width) = 0;
    // True when the control is not shown at all in the given mode (read-only or editing).
    virtual bool HiddenInMode(bool readOnly) const = 0;
    virtual void Place(int x, int y) = 0;
    virtual void Show() = 0;
    virtual void Hide() = 0;
    // Number of the control in its page view's control index list; -1 when it has none.
    virtual int Number() const = 0;
    // The object's character lies inside the text box's shown selection: the control shows
    // its selection border while it does.
    virtual void SetHighlighted(bool highlighted) { (void)highlighted; }
};

// A print object made for an embedded object by the print layout.
class Printual {
public:
    virtual ~Printual() = default;
};

class VisualFactory {
public:
    virtual ~VisualFactory() = default;
    // Makes the control for `object` (kind and sub-kind decide which), owned by `pageView`;
    // nullptr when the kind has no control.
    virtual Visual* MakeVisual(TOVKoggetto& object, TOVKpage* pageView) = 0;
    // Destroys a control made earlier, before a new one is made for the same object.
    virtual void DestroyVisual(Visual* visual) = 0;
    // Makes the print object for `object`, owned by `owner`; nullptr when the kind has none.
    virtual Printual* MakePrintual(TOVKoggetto& object, TPrintOwner* owner) = 0;
};

// Which control shows an object, by kind and sub-kind; None for objects without one.
enum class VisualClass {
    None,
    TextBox,
    Table,
    BelPanel,
    Multimedia,
    Image,
    Edit,
    Memo,
    RadioButton,
    CheckBox,
    ListBox,
    ComboBox,
    Floating,
    Button,
    InizioForm,
};
enum class PrintualClass { None, TextBox, Table, Image, Rectangle };

VisualClass VisualClassOf(const TOVKoggetto& object);
PrintualClass PrintualClassOf(const TOVKoggetto& object);

// The factory in force (not owned); nullptr when none is installed.
VisualFactory* CurrentVisualFactory();
void SetVisualFactory(VisualFactory* factory);

} // namespace morvell
