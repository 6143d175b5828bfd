#include "controls/OptionCheckBox.h"

#include <QStyleOptionButton>
#include <QStylePainter>

namespace {

// The caption is centred vertically beside the tick box, as a multi-line check box is drawn on
// the system the layout comes from.
constexpr int CaptionFlags =
    Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;

} // namespace

OptionCheckBox::OptionCheckBox(QWidget* parent) : QCheckBox(parent) {}

QRect OptionCheckBox::captionRect() const
{
    QStyleOptionButton option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_CheckBoxContents, &option, this);
}

bool OptionCheckBox::hitButton(const QPoint& pos) const
{
    return rect().contains(pos);
}

void OptionCheckBox::paintEvent(QPaintEvent* /*event*/)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);

    QStyleOptionButton tickBox = option;
    tickBox.rect = style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, this);
    painter.drawPrimitive(QStyle::PE_IndicatorCheckBox, tickBox);

    const QRect caption = captionRect();
    painter.drawItemText(caption, CaptionFlags, palette(), isEnabled(), text(),
                         QPalette::WindowText);

    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.QStyleOption::operator=(option);
        focus.rect = style()
                         ->itemTextRect(fontMetrics(), caption, CaptionFlags, isEnabled(), text())
                         .adjusted(-1, 0, 1, 0)
                         .intersected(rect());
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}
