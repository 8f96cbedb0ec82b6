#pragma once
// The flat speed button of the dialogs: flat in the dialog colour, lit while the mouse is
// over it.

#include <QToolButton>

namespace morvell {

class TXPspeedButton : public QToolButton {
    Q_OBJECT
public:
    explicit TXPspeedButton(QWidget* parent = nullptr);

    bool DefaultToXColor() const { return m_defaultToXColor; }
    void SetDefaultToXColor(bool on);
    bool Hot() const { return m_hot; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool m_defaultToXColor = true;
    bool m_hot = false;
};

} // namespace morvell
