#pragma once

#include <QTabWidget>

// A tab widget whose pages cover the whole control, tab strip included, so that a control on a
// page is placed relative to the tab dialog's own top-left corner. The tab strip stays on top.
class TabDialog : public QTabWidget
{
    Q_OBJECT

public:
    explicit TabDialog(QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void coverWithPages();
};
