#pragma once
// Pages written with the first markup version hold HTML-like text. The reader turns it into
// the paragraph stream when a page is shown or exported; the stored file is never touched.

namespace morvell {

class TOVKoggetto;

// Converts the text of `page` (a testoHtml whose markup version byte 195 is below 2 and that
// has a text) to the current markup in place and sets the version byte to 2. Old pictures and
// old form markers named by the text are turned into their current kinds and registered in
// the page's document, as the current markup needs them.
void ConvertOldMarkup(TOVKoggetto& page);

// The converter copies of pages run (installed into Assign). A copy of a registered page whose
// text is still old converts that page once and takes its result, so that the objects the
// conversion registers are made once per document, not once per display.
void ConvertOldMarkupOfCopy(TOVKoggetto& copy);

// Installs ConvertOldMarkupOfCopy as the old-markup converter of Assign.
void InstallOldMarkupConverter();

} // namespace morvell
