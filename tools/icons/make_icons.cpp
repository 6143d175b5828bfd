// Renders the program icon from its pixel source, RurevAR.xpm, into the files committed next to
// it: the 32-pixel PNG the program embeds, the ICO of the Windows executable, and pixel-doubled
// PNGs for the desktop's icon theme, so that the larger sizes stay sharp.
//
// Usage: make_icons RESOURCES_DIRECTORY
#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QTextStream>

namespace {

bool save(const QImage& image, const QString& path)
{
    if (!QDir().mkpath(QFileInfo(path).path()) || !image.save(path)) {
        QTextStream(stderr) << "cannot write " << path << '\n';
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: make_icons RESOURCES_DIRECTORY\n";
        return 2;
    }
    const QDir resources(QString::fromLocal8Bit(argv[1]));
    const QImage icon(resources.filePath(QStringLiteral("RurevAR.xpm")));
    if (icon.isNull()) {
        QTextStream(stderr) << "cannot read " << resources.filePath("RurevAR.xpm") << '\n';
        return 1;
    }

    bool ok = save(icon, resources.filePath(QStringLiteral("RurevAR.png"))) &&
              save(icon, resources.filePath(QStringLiteral("RurevAR.ico")));
    for (int factor : {1, 2, 4, 8}) {
        const int size = icon.width() * factor;
        const QString path = QStringLiteral("icons/hicolor/%1x%1/apps/RurevAR.png").arg(size);
        ok = ok && save(icon.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation),
                        resources.filePath(path));
    }
    return ok ? 0 : 1;
}
