#pragma once
// The splitter bar between the frames of a page: a plain bar in its parent's colour (or the
// colour the frame layout gives it) that resizes its target when dragged.

#include "text/qt/TSplitterBehaviour.h"

#include <QColor>
#include <QWidget>

namespace morvell {

class TOVKSplit : public TSplitterBehaviour<QWidget> {
    Q_OBJECT
public:
    explicit TOVKSplit(QWidget* parent = nullptr);

    QColor Color() const;
    void SetColor(const QColor& color);
};

} // namespace morvell
