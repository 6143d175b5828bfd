#include "controls/DriveList.h"

#include "system/Background.h"
#include "system/Volumes.h"

#include <QAccessibleWidget>
#include <QSignalBlocker>

namespace {

// What a screen reader is told about the drive list. Qt's own combo box gives its chosen text as
// its name on Linux, so that a reader would say "/" instead of what the list is for; here the name
// is the control's accessible name, and the chosen drive's caption is its value and its text, which
// is how a reader learns it over AT-SPI.
class AccessibleDriveList : public QAccessibleWidget, public QAccessibleTextInterface
{
public:
    explicit AccessibleDriveList(DriveList* list) : QAccessibleWidget(list, QAccessible::ComboBox)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name && !list()->accessibleName().isEmpty())
            return list()->accessibleName();
        if (kind == QAccessible::Name || kind == QAccessible::Value)
            return list()->currentText();
        return QAccessibleWidget::text(kind);
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // The chosen drive's caption as read-only text, with no selection and the cursor at its start.
    QString text(int startOffset, int endOffset) const override
    {
        return list()->currentText().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(list()->currentText().size()); }
    void selection(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* startOffset, int* endOffset) const override
    {
        *startOffset = *endOffset = 0;
        return {};
    }

private:
    const DriveList* list() const { return static_cast<const DriveList*>(widget()); }
};

QAccessibleInterface* accessibleDriveList(const QString& className, QObject* object)
{
    if (className == QLatin1String("DriveList") && object != nullptr && object->isWidgetType())
        return new AccessibleDriveList(static_cast<DriveList*>(object));
    return nullptr;
}

} // namespace

DriveList::DriveList(QWidget* parent) : QComboBox(parent)
{
    static const bool accessibilityInstalled =
        (QAccessible::installFactory(accessibleDriveList), true);
    Q_UNUSED(accessibilityInstalled)
    // Filled before the Change event is connected: the first drive shown is no choice.
    showDrive(refresh().current);
    connect(this, &QComboBox::currentIndexChanged, this, &DriveList::change);
}

QString DriveList::drive() const
{
    return currentData().toString();
}

void DriveList::showDrive(const QString& root)
{
    const QSignalBlocker quiet(this);
    const int index = findData(root);
    if (index >= 0)
        setCurrentIndex(index);
}

void DriveList::showPopup()
{
    // A drive mounted since the list was last filled appears; the choice stays, unless its drive
    // is gone: then the first drive is chosen, and that is a change like any other.
    const QString chosen = drive();
    refresh();
    const int index = findData(chosen);
    showDrive(index < 0 ? itemData(0).toString() : chosen);
    if (index < 0)
        emit change();
    QComboBox::showPopup();
}

Volumes::Drives DriveList::refresh()
{
    // The blocker keeps filling the list from counting as a choice.
    const QSignalBlocker quiet(this);
    clear();
    Volumes::Drives drives = Volumes::drives();
    for (const Volumes::Drive& volume : drives.list) {
        addItem(Volumes::caption(volume), volume.root);
        if (!volume.labelToAsk)
            continue;
        // A label that must be asked of the drive arrives when the drive answers, unless the list
        // has gone since. Without a thread for it, the drive simply stays without its label.
        auto* asking = new QFutureWatcher<QString>(this);
        connect(asking, &QFutureWatcherBase::finished, asking, &QObject::deleteLater);
        connect(asking, &QFutureWatcherBase::resultReadyAt, this, [this, asking, volume] {
            const QString label = asking->result();
            const int index = findData(volume.root);
            if (index >= 0 && !label.isEmpty())
                setItemText(index, Volumes::caption(Volumes::Drive{volume.root, label, false}));
        });
        (void)Background::start<QString>(*asking, [root = volume.root](QPromise<QString>& answer) {
            answer.addResult(Volumes::askLabel(root));
        });
    }
    return drives;
}
