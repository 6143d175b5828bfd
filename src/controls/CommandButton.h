#pragma once

#include <QPushButton>

// A push button that Enter presses as well as Space, as on Windows, when it has the focus.
class CommandButton : public QPushButton
{
    Q_OBJECT

public:
    using QPushButton::QPushButton;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
