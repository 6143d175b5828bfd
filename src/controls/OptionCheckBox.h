#pragma once

#include <QCheckBox>

// A check box for the options page. Its caption, a sentence or more, wraps within the box's
// width; a click anywhere on it, caption included, toggles it.
class OptionCheckBox : public QCheckBox
{
    Q_OBJECT

public:
    explicit OptionCheckBox(QWidget* parent = nullptr);

protected:
    bool hitButton(const QPoint& pos) const override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Where the caption goes: right of the tick box.
    QRect captionRect() const;
};
