#include "text/qt/TWQzSplit.h"

namespace morvell {

TWQzSplit::TWQzSplit(QWidget* parent) : TSplitterBehaviour<TXPPanel>(parent) {
    // A new bar takes its parent's colour, not the dialog colour.
    SetDefaultToXColor(false);
}

} // namespace morvell
