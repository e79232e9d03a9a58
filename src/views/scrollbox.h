#pragma once

#include <QScrollArea>

// A chart scroll box: a white, borderless scroll area whose client widget holds the
// charts of one report page, stacked top to bottom. The horizontal scroll bar never
// shows; the vertical one only when the stack is taller than the box.
class TScrollBox final : public QScrollArea
{
    Q_OBJECT

public:
    explicit TScrollBox(QWidget* parent);
    Q_DISABLE_COPY_MOVE(TScrollBox)

    // The widget the charts are children of.
    QWidget* Client() const { return client; }

    // Client size as the layout sees it, without any scroll bar.
    int ClientWidth() const;
    int ClientHeight() const;

    // Lays out the given charts: one fills the box and follows its size; two or more
    // share the height (at least 120 pixels each) at the box's width (at least 300),
    // with the vertical scroll bar shown when they do not fit.
    void LayoutCharts(const QList<QWidget*>& charts);

Q_SIGNALS:
    void Resized();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QWidget* client;
};
