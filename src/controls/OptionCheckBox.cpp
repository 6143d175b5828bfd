#include "controls/OptionCheckBox.h"

#include <QAccessibleWidget>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace {

// The caption is centred vertically beside the tick box, as Windows draws a check box of several
// lines.
constexpr int CaptionFlags =
    Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;

// What a screen reader is told about an option box. Qt's own check box gives as its extent only
// the tick box and one line of caption; this one's is the whole box, which is what a click takes.
class AccessibleOptionBox : public QAccessibleWidget
{
public:
    explicit AccessibleOptionBox(OptionCheckBox* box)
        : QAccessibleWidget(box, QAccessible::CheckBox)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        QString own = QAccessibleWidget::text(kind);
        if (kind != QAccessible::Name || !own.isEmpty())
            return own;
        return box()->text();
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = box()->isChecked();
        return state;
    }

    QStringList actionNames() const override { return {toggleAction()}; }

    void doAction(const QString& action) override
    {
        if (action == toggleAction() || action == pressAction())
            box()->click();
    }

private:
    OptionCheckBox* box() const { return static_cast<OptionCheckBox*>(widget()); }
};

QAccessibleInterface* accessibleOptionBox(const QString& className, QObject* object)
{
    if (className == QLatin1String("OptionCheckBox") && object != nullptr && object->isWidgetType())
        return new AccessibleOptionBox(static_cast<OptionCheckBox*>(object));
    return nullptr;
}

} // namespace

OptionCheckBox::OptionCheckBox(QWidget* parent) : QCheckBox(parent)
{
    static const bool accessibilityInstalled =
        (QAccessible::installFactory(accessibleOptionBox), true);
    Q_UNUSED(accessibilityInstalled)
}

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
