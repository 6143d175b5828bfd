// The ROM browser on real temporary folder trees: what the lists show, how they follow each other,
// what a click and a double-click put into the ROM path and start, and how a folder that cannot
// be read is reported.
#include "controls/DirList.h"
#include "controls/DriveList.h"
#include "controls/FileList.h"
#include "system/FileSystem.h"
#include "system/NamePattern.h"
#include "support/RecordingRuntime.h"
#include "window/Form1.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

QByteArray bytesOf(const QString& path)
{
    return FileSystem::encodeName(path);
}

bool makeFile(const QString& path)
{
    return ::close(::open(bytesOf(path).constData(), O_CREAT | O_WRONLY, 0644)) == 0;
}

bool makeFolder(const QString& path)
{
    return ::mkdir(bytesOf(path).constData(), 0755) == 0;
}

// Builds entries below `root` from a list such as "file a.pce", "dir b", "link c target",
// "fifo d"; names are taken as UTF-8 with \xNN for single raw bytes.
bool build(const QString& root, const QStringList& entries)
{
    for (const QString& entry : entries) {
        const QStringList word = entry.split(u'|');
        const QString path =
            root + u'/' + FileSystem::decodeName(QByteArray::fromPercentEncoding(word[1].toUtf8()));
        bool made = false;
        if (word[0] == "file")
            made = makeFile(path);
        else if (word[0] == "dir")
            made = makeFolder(path);
        else if (word[0] == "link")
            made = ::symlink(word[2].toUtf8().constData(), bytesOf(path).constData()) == 0;
        else if (word[0] == "fifo")
            made = ::mkfifo(bytesOf(path).constData(), 0644) == 0;
        if (!made)
            return false;
    }
    return true;
}

// What a hand does: press and release, then the second press that makes it a double-click.
void doubleClick(QAbstractItemView* view, QPoint place)
{
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, place);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, place);
}

QStringList rowsOf(const QAbstractItemView* view)
{
    QStringList rows;
    for (int row = 0; row < view->model()->rowCount(); ++row)
        rows << view->model()->index(row, 0).data().toString();
    return rows;
}

// Root can read any folder; permission checks need a process without that power.
void dropFileAccessOverride()
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (::syscall(SYS_capget, &header, data) != 0)
        return;
    for (int bit : {CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH})
        data[bit / 32].effective &= ~(1u << (bit % 32));
    ::syscall(SYS_capset, &header, data);
}

} // namespace

class TestBrowser : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void names_data();
    void names();
    void patterns_data();
    void patterns();
    void volumes_data();
    void volumes();

    void fileListShows_data();
    void fileListShows();
    void dirListShowsChainAndSubfolders();
    void startsInTheCurrentDirectory();
    void listsFollowEachOther();
    void openingWithKeyboardAndMouse();
    void clickSetsRomPath_data();
    void clickSetsRomPath();
    void keyboardSelectionIsAClick();
    void doubleClickAndEnterLaunch_data();
    void doubleClickAndEnterLaunch();
    void separatorIsAlwaysInserted();
    void browsingKeepsRomPath();
    void browsingNeverChangesCurrentDirectory();
    void unreadableFolderIsReported_data();
    void unreadableFolderIsReported();
    void unreadableDriveKeepsTheLists();
    void vanishedDriveMovesTheLists();

private:
    void waitListed(FileList* list);
    void waitListed(DirList* list);
    void openFolder(const QString& path);
    QString at(const QString& relative) const { return m_root->path() + u'/' + relative; }

    QTemporaryDir* m_root = nullptr;
    RecordingRuntime* m_runtime = nullptr;
    Form1* m_form = nullptr;
    DriveList* m_drive = nullptr;
    DirList* m_dir = nullptr;
    FileList* m_file = nullptr;
    QLineEdit* m_text = nullptr;
};

void TestBrowser::initTestCase()
{
    dropFileAccessOverride();
}

void TestBrowser::init()
{
    m_root = new QTemporaryDir;
    QVERIFY(m_root->isValid());
    m_runtime = new RecordingRuntime;
    m_form = new Form1(*m_runtime);
    m_drive = m_form->findChild<DriveList*>("Drive1");
    m_dir = m_form->findChild<DirList*>("Dir1");
    m_file = m_form->findChild<FileList*>("File1");
    m_text = m_form->findChild<QLineEdit*>("Text1");
    QVERIFY(m_drive && m_dir && m_file && m_text);
    m_form->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_form));
}

void TestBrowser::cleanup()
{
    delete m_form;
    delete m_runtime;
    // Give back what a test took away, and remove names Qt cannot see, so that the folder goes.
    QProcess::execute("chmod", {"-R", "u+rwx", m_root->path()});
    QProcess::execute("rm", {"-rf", m_root->path()});
    delete m_root;
}

void TestBrowser::waitListed(FileList* list)
{
    QSignalSpy finished(list, &FileList::listingFinished);
    QVERIFY(finished.wait(10000));
}

void TestBrowser::waitListed(DirList* list)
{
    QSignalSpy finished(list, &DirList::listingFinished);
    QVERIFY(finished.wait(10000));
}

void TestBrowser::openFolder(const QString& path)
{
    QSignalSpy filesListed(m_file, &FileList::listingFinished);
    QSignalSpy foldersListed(m_dir, &DirList::listingFinished);
    QVERIFY(m_dir->setPath(path));
    QCOMPARE(m_file->path(), path);
    QTRY_VERIFY_WITH_TIMEOUT(filesListed.count() > 0 && foldersListed.count() > 0, 10000);
}

void TestBrowser::names_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << QByteArray("game.pce");
    QTest::newRow("utf-8") << QByteArray("R-Type ドラゴン é 😀.pce");
    QTest::newRow("stray bytes") << QByteArray("bad\xff\xfe.pce");
    QTest::newRow("truncated sequence") << QByteArray("a\xe3\x81");
    QTest::newRow("overlong slash") << QByteArray("\xc0\xaf");
    QTest::newRow("encoded surrogate") << QByteArray("\xed\xa0\x80x");
    QTest::newRow("above U+10FFFF") << QByteArray("\xf4\x90\x80\x80");
    QTest::newRow("latin-1") << QByteArray("Mus\xe9"
                                           "e.pce");
    QTest::newRow("byte-order mark first") << QByteArray("\xef\xbb\xbfname");
    QTest::newRow("byte-order mark after a stray byte") << QByteArray("a\xff\xef\xbb\xbf");
}

void TestBrowser::names()
{
    QFETCH(QByteArray, bytes);
    const QString name = FileSystem::decodeName(bytes);
    QCOMPARE(FileSystem::encodeName(name), bytes);
    if (QString::fromUtf8(bytes).toUtf8() == bytes)
        QCOMPARE(name, QString::fromUtf8(bytes)); // valid text is decoded as usual
}

void TestBrowser::patterns_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("matches");
    QTest::newRow("lower") << "*.pce" << QByteArray("a.pce") << true;
    QTest::newRow("upper") << "*.pce" << QByteArray("A.PCE") << true;
    QTest::newRow("mixed") << "*.pce" << QByteArray("a b.Pce") << true;
    QTest::newRow("other extension") << "*.pce" << QByteArray("a.pce.zip") << false;
    QTest::newRow("no name before") << "*.pce" << QByteArray(".pce") << false;
    QTest::newRow("hidden") << "*.pce" << QByteArray(".a.pce") << false;
    QTest::newRow("stray bytes in the name") << "*.pce" << QByteArray("\xff.pce") << true;
    QTest::newRow("several patterns") << "*.sgx; *.pce" << QByteArray("a.PCE") << true;
    QTest::newRow("general wildcard") << "a?c*" << QByteArray("ABCdef") << true;
    QTest::newRow("general wildcard misses") << "a?c*" << QByteArray("abd") << false;
}

void TestBrowser::patterns()
{
    QFETCH(QString, pattern);
    QFETCH(QByteArray, name);
    QFETCH(bool, matches);
    QCOMPARE(NamePattern(pattern).matches(name.constData(), std::size_t(name.size())), matches);
}

void TestBrowser::volumes_data()
{
    QTest::addColumn<QString>("root");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QByteArray>("device");
    QTest::addColumn<bool>("isDrive");
    QTest::newRow("root") << "/" << QByteArray("overlay") << QByteArray("overlay") << true;
    QTest::newRow("second disk") << "/data" << QByteArray("ext4") << QByteArray("/dev/sdb1")
                                 << true;
    QTest::newRow("usb stick") << "/media/me/STICK" << QByteArray("vfat") << QByteArray("/dev/sdc1")
                               << true;
    QTest::newRow("removable under /run/media")
        << "/run/media/me/CD" << QByteArray("iso9660") << QByteArray("/dev/sr0") << true;
    QTest::newRow("disk image") << "/media/me/GAMES" << QByteArray("iso9660")
                                << QByteArray("/dev/loop3") << true;
    QTest::newRow("network share")
        << "/mnt/roms" << QByteArray("cifs") << QByteArray("//nas/roms") << true;
    QTest::newRow("nfs") << "/net/roms" << QByteArray("nfs4") << QByteArray("nas:/roms") << true;
    QTest::newRow("snap") << "/snap/core/1" << QByteArray("squashfs") << QByteArray("/dev/loop0")
                          << false;
    QTest::newRow("boot") << "/boot/efi" << QByteArray("vfat") << QByteArray("/dev/sda1") << false;
    QTest::newRow("run-time state")
        << "/run/user/1000" << QByteArray("tmpfs") << QByteArray("tmpfs") << false;
    QTest::newRow("memory") << "/tmp" << QByteArray("tmpfs") << QByteArray("tmpfs") << false;
    QTest::newRow("kernel") << "/sys/fs/cgroup" << QByteArray("cgroup2") << QByteArray("cgroup2")
                            << false;
    QTest::newRow("container layers")
        << "/var/lib/docker/overlay2/x" << QByteArray("overlay") << QByteArray("overlay") << false;
}

void TestBrowser::volumes()
{
    QFETCH(QString, root);
    QFETCH(QByteArray, type);
    QFETCH(QByteArray, device);
    QFETCH(bool, isDrive);
    QCOMPARE(DriveList::isUserVolume(root, type, device), isDrive);
}

void TestBrowser::fileListShows_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("listed");

    QTest::newRow("any case of the extension, sorted without regard to case")
        << QStringList{"file|b.PCE", "file|A.pce", "file|c.Pce", "file|a2.pCe"}
        << QStringList{"A.pce", "a2.pCe", "b.PCE", "c.Pce"};
    QTest::newRow("other files and folders are not listed")
        << QStringList{"file|a.pce", "file|a.pce.bak", "file|readme.txt", "dir|folder.pce",
                       "file|pce"}
        << QStringList{"a.pce"};
    QTest::newRow("no images") << QStringList{"file|a.txt", "dir|b"} << QStringList{};
    QTest::newRow("links to files count, links to folders and nowhere do not")
        << QStringList{"file|real", "link|to-file.pce|real", "dir|d", "link|to-dir.pce|d",
                       "link|dangling.pce|missing"}
        << QStringList{"to-file.pce"};
    QTest::newRow("a pipe named like an image is listed, never opened")
        << QStringList{"fifo|pipe.pce"} << QStringList{"pipe.pce"};
    QTest::newRow("hidden files are not listed")
        << QStringList{"file|.hidden.pce", "file|shown.pce"} << QStringList{"shown.pce"};
    QTest::newRow("awkward names")
        << QStringList{"file|with space.pce",       "file|quote\".pce",
                       "file|$(x);a&b*.pce",        "file|-dash.pce",
                       "file|Ｒ-Type ドラゴン.pce", "file|tab%09and%0Anewline.pce"}
        << QStringList{"$(x);a&b*.pce",         "-dash.pce",      "quote\".pce",
                       "tab\tand\nnewline.pce", "with space.pce", "Ｒ-Type ドラゴン.pce"};
    QTest::newRow("bytes that are not UTF-8")
        << QStringList{"file|bad%FF%FE.pce"}
        << QStringList{FileSystem::decodeName("bad\xff\xfe.pce")};
}

void TestBrowser::fileListShows()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, listed);
    QVERIFY(build(m_root->path(), entries));
    m_file->setPath(m_root->path());
    waitListed(m_file);
    QCOMPARE(rowsOf(m_file), listed);
}

void TestBrowser::dirListShowsChainAndSubfolders()
{
    QVERIFY(build(m_root->path(),
                  {"dir|top", "dir|top/b", "dir|top/A", "dir|top/c.pce", "file|top/file",
                   "dir|top/.hidden", "link|top/to-dir|A", "link|top/nowhere|missing"}));
    QVERIFY(m_dir->setPath(at("top")));
    waitListed(m_dir);
    const QStringList rows = rowsOf(m_dir);
    const QStringList chain = m_root->path().split(u'/', Qt::SkipEmptyParts);
    QCOMPARE(rows.first(), QString("/"));
    QCOMPARE(rows.mid(1, chain.size()), chain);
    QCOMPARE(rows.mid(chain.size() + 1), (QStringList{"top", "A", "b", "c.pce", "to-dir"}));
    // The open folder is the current row, and each row stands for its folder.
    QCOMPARE(m_dir->currentIndex().row(), chain.size() + 1);
    QCOMPARE(m_dir->pathOfRow(0), QString("/"));
    QCOMPARE(m_dir->pathOfRow(chain.size()), m_root->path());
    QCOMPARE(m_dir->pathOfRow(rows.size() - 1), at("top/to-dir"));
}

void TestBrowser::startsInTheCurrentDirectory()
{
    QCOMPARE(m_dir->path(), FileSystem::currentDirectory());
    QCOMPARE(m_file->path(), m_dir->path());
    QVERIFY(m_text->text().isEmpty());
    QVERIFY(!m_drive->drive().isEmpty());
    QVERIFY(m_dir->path().startsWith(m_drive->drive()));
}

void TestBrowser::listsFollowEachOther()
{
    QVERIFY(build(m_root->path(), {"dir|roms", "file|roms/a.pce", "file|top.pce"}));
    openFolder(at("roms"));
    QCOMPARE(rowsOf(m_file), QStringList{"a.pce"});

    // A new drive moves the directory list to it, which moves the file list.
    m_drive->addItem("test drive", m_root->path());
    QSignalSpy listed(m_file, &FileList::listingFinished);
    m_drive->setCurrentIndex(m_drive->count() - 1);
    QCOMPARE(m_dir->path(), m_root->path());
    QCOMPARE(m_file->path(), m_root->path());
    QVERIFY(listed.wait(10000));
    QCOMPARE(rowsOf(m_file), QStringList{"top.pce"});
}

void TestBrowser::openingWithKeyboardAndMouse()
{
    QVERIFY(build(m_root->path(), {"dir|a", "dir|a/b", "file|a/b/x.pce"}));
    openFolder(at("a"));
    const int sub = m_dir->model()->rowCount() - 1;

    m_dir->setFocus();
    m_dir->setCurrentIndex(m_dir->model()->index(sub, 0));
    QTest::keyClick(m_dir, Qt::Key_Return);
    QCOMPARE(m_dir->path(), at("a/b"));
    QTRY_COMPARE(rowsOf(m_file), QStringList{"x.pce"});

    // A double-click on the parent in the chain goes back up.
    const int parent = m_dir->model()->rowCount() - 2;
    const QRect place = m_dir->visualRect(m_dir->model()->index(parent, 0));
    doubleClick(m_dir, place.center());
    QCOMPARE(m_dir->path(), at("a"));
}

void TestBrowser::clickSetsRomPath_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "game.pce";
    QTest::newRow("blanks and quotes") << "my \"best\" game.pce";
    QTest::newRow("non-ascii") << "ドラゴン.PCE";
    QTest::newRow("stray bytes") << FileSystem::decodeName("bad\xff.pce");
}

void TestBrowser::clickSetsRomPath()
{
    QFETCH(QString, name);
    QVERIFY(makeFile(at(name)));
    openFolder(m_root->path());
    const QRect place = m_file->visualRect(m_file->model()->index(0, 0));
    QTest::mouseClick(m_file->viewport(), Qt::LeftButton, {}, place.center());
    QCOMPARE(m_text->text(), at(name));
    QVERIFY(m_runtime->starts.isEmpty());
}

void TestBrowser::keyboardSelectionIsAClick()
{
    QVERIFY(build(m_root->path(), {"file|a.pce", "file|b.pce"}));
    openFolder(m_root->path());
    m_file->setFocus();
    QVERIFY(m_text->text().isEmpty()); // taking the focus chooses nothing
    QTest::keyClick(m_file, Qt::Key_Down);
    QCOMPARE(m_text->text(), at("a.pce"));
    QTest::keyClick(m_file, Qt::Key_End);
    QCOMPARE(m_text->text(), at("b.pce"));
    QTest::keyClick(m_file, Qt::Key_Home);
    QCOMPARE(m_text->text(), at("a.pce"));
    QVERIFY(m_runtime->starts.isEmpty());
}

void TestBrowser::doubleClickAndEnterLaunch_data()
{
    QTest::addColumn<bool>("useKeyboard");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("romArgument");
    QTest::newRow("double-click") << false << "game.pce"
                                  << "game.pce";
    QTest::newRow("enter") << true << "game.pce"
                           << "game.pce";
    QTest::newRow("double-click on a name with blanks") << false << "my game.pce"
                                                        << "\"my game.pce\"";
}

void TestBrowser::doubleClickAndEnterLaunch()
{
    QFETCH(bool, useKeyboard);
    QFETCH(QString, name);
    QFETCH(QString, romArgument);
    QVERIFY(makeFile(at(name)));
    openFolder(m_root->path());
    m_form->findChild<QAbstractButton*>("CheckSound")->setChecked(true);

    if (useKeyboard) {
        m_file->setFocus();
        QTest::keyClick(m_file, Qt::Key_Home);
        QTest::keyClick(m_file, Qt::Key_Return);
    } else {
        const QRect place = m_file->visualRect(m_file->model()->index(0, 0));
        doubleClick(m_file, place.center());
    }
    QCOMPARE(m_text->text(), at(name));
    QCOMPARE(m_runtime->starts.size(), 1);
    const QString quotedRoot = romArgument.startsWith(u'"')
                                   ? "\"" + m_root->path() + "/" + romArgument.mid(1)
                                   : m_root->path() + "/" + romArgument;
    QCOMPARE(m_runtime->starts[0].commandLine, "PCE.EXE -nosound " + quotedRoot);
}

void TestBrowser::separatorIsAlwaysInserted()
{
    QVERIFY(makeFile(at("a.pce")));
    QVERIFY(m_file->setPath(m_root->path() + "/"));
    waitListed(m_file);
    m_file->setCurrentIndex(m_file->model()->index(0, 0));
    emit m_file->click();
    QCOMPARE(m_text->text(), m_root->path() + "//a.pce");
}

void TestBrowser::browsingKeepsRomPath()
{
    QVERIFY(build(m_root->path(), {"dir|empty", "dir|other", "file|other/x.pce"}));
    QTest::keyClicks(m_text, "/typed/by hand.pce");
    openFolder(at("empty"));
    QCOMPARE(rowsOf(m_file), QStringList{});
    openFolder(at("other"));
    QCOMPARE(m_text->text(), QString("/typed/by hand.pce"));
    m_form->findChild<QAbstractButton*>("Pce")->click();
    QCOMPARE(m_runtime->starts[0].commandLine, QString("PCE.EXE \"/typed/by hand.pce\""));
}

void TestBrowser::browsingNeverChangesCurrentDirectory()
{
    const QString before = FileSystem::currentDirectory();
    QVERIFY(build(m_root->path(), {"dir|a", "file|a/x.pce"}));
    openFolder(at("a"));
    m_drive->addItem("test drive", m_root->path());
    m_drive->setCurrentIndex(m_drive->count() - 1);
    QCOMPARE(FileSystem::currentDirectory(), before);
}

void TestBrowser::unreadableFolderIsReported_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("no read permission") << "chmod";
    QTest::newRow("removed while shown") << "remove";
    QTest::newRow("not a folder") << "file";
}

void TestBrowser::unreadableFolderIsReported()
{
    QFETCH(QString, how);
    QVERIFY(build(m_root->path(), {"dir|shown", "file|shown/x.pce", "dir|shown/bad"}));
    openFolder(at("shown"));
    QString target = at("shown/bad");
    if (how == "chmod") {
        QCOMPARE(::chmod(bytesOf(target).constData(), 0), 0);
    } else if (how == "remove") {
        QCOMPARE(::rmdir(bytesOf(target).constData()), 0);
    } else {
        target = at("shown/x.pce");
    }

    QSignalSpy changed(m_dir, &DirList::change);
    QVERIFY(!m_dir->setPath(target));
    QCOMPARE(m_runtime->errors.size(), 1);
    QVERIFY2(m_runtime->errors[0].contains(target), qPrintable(m_runtime->errors[0]));
    QCOMPARE(changed.count(), 0);
    QCOMPARE(m_dir->path(), at("shown"));
    QCOMPARE(m_file->path(), at("shown"));
    QCOMPARE(rowsOf(m_file), QStringList{"x.pce"});

    // The lists still work.
    openFolder(m_root->path());
    QCOMPARE(m_runtime->errors.size(), 1);
}

void TestBrowser::unreadableDriveKeepsTheLists()
{
    QVERIFY(build(m_root->path(), {"dir|a"}));
    openFolder(at("a"));
    const QString drive = m_drive->drive();
    m_drive->addItem("empty drive", at("no medium"));
    m_drive->setCurrentIndex(m_drive->count() - 1);
    QCOMPARE(m_runtime->errors.size(), 1);
    QVERIFY(m_runtime->errors[0].contains(at("no medium")));
    QCOMPARE(m_dir->path(), at("a"));
    QCOMPARE(m_drive->drive(), drive);
}

void TestBrowser::vanishedDriveMovesTheLists()
{
    // A drive chosen earlier that is gone when the list is opened again: the list shows another
    // drive, and the directory list must follow it.
    m_drive->addItem("removed stick", m_root->path());
    m_drive->setCurrentIndex(m_drive->count() - 1);
    QCOMPARE(m_dir->path(), m_root->path());
    m_drive->showPopup();
    m_drive->hidePopup();
    QVERIFY(m_drive->findData(m_root->path()) < 0);
    QCOMPARE(m_dir->path(), m_drive->drive());
}

QTEST_MAIN(TestBrowser)
#include "tst_browser.moc"
