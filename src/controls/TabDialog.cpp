#include "controls/TabDialog.h"

#include <QShortcut>
#include <QStackedWidget>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>

namespace {

// A tab strip whose tabs each take an equal share of the dialog's width.
class TabStrip : public QTabBar
{
public:
    explicit TabStrip(TabDialog* dialog) : QTabBar(dialog), m_dialog(dialog)
    {
        setExpanding(false);
        setUsesScrollButtons(false);
        setElideMode(Qt::ElideRight);
        setDrawBase(false);
    }

protected:
    QSize tabSizeHint(int index) const override
    {
        // The row's width divided without a pixel left over: the shares differ by one at most.
        const int perRow = qMax(1, m_dialog->tabsPerRow());
        const int width = m_dialog->width();
        const int column = index % perRow;
        return {(column + 1) * width / perRow - column * width / perRow, m_dialog->tabHeight()};
    }
    QSize minimumTabSizeHint(int index) const override { return tabSizeHint(index); }
    // The tabs stand on the dialog's frame, as a QTabWidget's do: styles fill the selected tab
    // with the frame's colour then, so that it and its page read as one.
    void initStyleOption(QStyleOptionTab* option, int index) const override
    {
        QTabBar::initStyleOption(option, index);
        option->features |= QStyleOptionTab::HasFrame;
    }

private:
    TabDialog* m_dialog;
};

} // namespace

TabDialog::TabDialog(QWidget* parent)
    : QWidget(parent), m_tabs(new TabStrip(this)), m_pages(new QStackedWidget(this))
{
    // The tabs take the focus, as a tab control does, and pass it on to the page with Tab.
    m_tabs->setFocusPolicy(Qt::TabFocus);
    setFocusProxy(m_tabs);
    m_tabs->raise();
    connect(m_tabs, &QTabBar::currentChanged, m_pages, &QStackedWidget::setCurrentIndex);
    connect(m_tabs, &QTabBar::currentChanged, this, &TabDialog::currentChanged);
    // Shortcuts rather than key handling, so that no control on a page can keep the keys for
    // itself (a drop-down list takes Ctrl+Tab as a letter to look for). One shortcut for each
    // way: X tells Ctrl+Shift+Tab both as itself and as Ctrl+Backtab, and a press that matches
    // two keys comes as ambiguous, which is still a press of this shortcut.
    const auto turnOn = [this](const QList<QKeySequence>& keys, int step) {
        auto* shortcut = new QShortcut(this);
        shortcut->setKeys(keys);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, step] { turn(step); });
        connect(shortcut, &QShortcut::activatedAmbiguously, this, [this, step] { turn(step); });
    };
    turnOn({Qt::CTRL | Qt::Key_Tab, Qt::CTRL | Qt::Key_PageDown}, 1);
    turnOn({Qt::CTRL | Qt::SHIFT | Qt::Key_Tab, Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab,
            Qt::CTRL | Qt::Key_Backtab, Qt::CTRL | Qt::Key_PageUp},
           -1);
}

int TabDialog::addTab(QWidget* page, const QString& caption)
{
    m_pages->addWidget(page);
    return m_tabs->addTab(caption);
}

int TabDialog::indexOf(const QWidget* page) const
{
    return m_pages->indexOf(page);
}

void TabDialog::setTabText(int index, const QString& caption)
{
    m_tabs->setTabText(index, caption);
}

int TabDialog::count() const
{
    return m_tabs->count();
}

QWidget* TabDialog::widget(int index) const
{
    return m_pages->widget(index);
}

int TabDialog::currentIndex() const
{
    return m_tabs->currentIndex();
}

void TabDialog::setCurrentIndex(int index)
{
    m_tabs->setCurrentIndex(index);
}

void TabDialog::setTabsPerRow(int count)
{
    m_tabsPerRow = count;
    m_tabs->updateGeometry();
}

void TabDialog::setTabHeight(int pixels)
{
    m_tabHeight = pixels;
    m_tabs->resize(width(), m_tabHeight);
}

void TabDialog::turn(int step)
{
    if (count() > 0)
        setCurrentIndex((currentIndex() + step + count()) % count());
}

void TabDialog::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_tabs->setGeometry(0, 0, width(), m_tabHeight);
    m_pages->setGeometry(rect());
}

void TabDialog::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event)
    // The frame around the pages, below the tab strip; the pages paint no background of their
    // own, so it shows through them. The style places it as it does a QTabWidget's, reaching as
    // far up into the strip as the selected tab covers, which joins that tab to its page.
    QStyleOptionTabWidgetFrame frame;
    frame.initFrom(this);
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
    frame.shape = QTabBar::RoundedNorth;
    frame.tabBarSize = m_tabs->size();
    frame.tabBarRect = m_tabs->geometry();
    frame.rightCornerWidgetSize = QSize(0, 0);
    frame.leftCornerWidgetSize = QSize(0, 0);
    frame.selectedTabRect = m_tabs->tabRect(m_tabs->currentIndex());
    frame.rect = style()->subElementRect(QStyle::SE_TabWidgetTabPane, &frame, this);
    QStylePainter painter(this);
    painter.drawPrimitive(QStyle::PE_FrameTabWidget, frame);
}
