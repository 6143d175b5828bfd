#pragma once

#include <QCheckBox>

// A check box for the options page; a click anywhere on it toggles it.
class OptionCheckBox : public QCheckBox
{
    Q_OBJECT

public:
    explicit OptionCheckBox(QWidget* parent = nullptr);

protected:
    bool hitButton(const QPoint& pos) const override;
};
