#pragma once
// The splitter bar of the dialogs: behaves like TOVKSplit, drawn as a flat dialog panel.

#include "text/qt/TSplitterBehaviour.h"
#include "text/qt/TXPPanel.h"

namespace morvell {

class TWQzSplit : public TSplitterBehaviour<TXPPanel> {
    Q_OBJECT
public:
    explicit TWQzSplit(QWidget* parent = nullptr);
};

} // namespace morvell
