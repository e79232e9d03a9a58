#pragma once

#include <QLabel>

// The maker's name at the right of the status bar: dark blue under the mouse, and a
// click opens the maker's web site in the browser.
class TLogoPanel final : public QLabel
{
    Q_OBJECT

public:
    explicit TLogoPanel(QWidget* parent);
    Q_DISABLE_COPY_MOVE(TLogoPanel)

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void SetColour(const QColor& clr);
};
