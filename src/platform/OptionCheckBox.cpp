#include "platform/OptionCheckBox.h"

OptionCheckBox::OptionCheckBox(QWidget* parent) : QCheckBox(parent) {}

bool OptionCheckBox::hitButton(const QPoint& pos) const
{
    return rect().contains(pos);
}
