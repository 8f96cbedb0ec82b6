#pragma once
// The cut bars of the frames: a dialog splitter striped with grooves across it.

#include "text/qt/TWQzSplit.h"

namespace morvell {

enum class TBevel { bvNone, bvLowered, bvRaised, bvSpace };

class TTigerSplit : public TWQzSplit {
    Q_OBJECT
public:
    static constexpr int kDefaultLineStep = 10;

    explicit TTigerSplit(QWidget* parent = nullptr);

    bool Tiger() const { return m_tiger; }
    void SetTiger(bool on);
    TBevel TigerBevel() const { return m_tigerBevel; }
    void SetTigerBevel(TBevel bevel);
    int LineStep() const { return m_lineStep; }
    // Only positive steps are taken.
    void SetLineStep(int step);
    // Offset along the bar where the filled area and the stripes begin.
    int Trucco() const { return m_trucco; }
    void SetTrucco(int offset);

    // Bars of left/right targets run vertically; detached bars go by their shape.
    bool IsVerticalBar() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_tiger = true;
    TBevel m_tigerBevel = TBevel::bvNone;
    int m_lineStep = kDefaultLineStep;
    int m_trucco = 0;
};

} // namespace morvell
