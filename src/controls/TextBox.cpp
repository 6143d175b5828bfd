#include "controls/TextBox.h"

#include "system/FileSystem.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace {

// The local file a drag carries, or an empty string.
QString droppedFile(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls() || data->urls().isEmpty())
        return {};
    return FileSystem::localPath(data->urls().first());
}

} // namespace

void TextBox::dragEnterEvent(QDragEnterEvent* event)
{
    dragMoveEvent(event);
}

void TextBox::dragMoveEvent(QDragMoveEvent* event)
{
    if (droppedFile(event->mimeData()).isEmpty())
        event->ignore();
    else
        event->acceptProposedAction();
}

void TextBox::dropEvent(QDropEvent* event)
{
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty()) {
        event->ignore();
        return;
    }
    setText(path);
    event->acceptProposedAction();
}
