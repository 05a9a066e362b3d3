#include "playlist/ui/file_browser.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHBoxLayout>
#include <QListWidget>
#include <QMouseEvent>
#include <QSignalBlocker>
#include <QStorageInfo>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "playlist/paths.h"

namespace corvane::editor {

namespace {

constexpr int kFolderRole = Qt::UserRole;

// Kernel and memory file systems hold no music.
bool IsPseudoFileSystem(const QByteArray& type) {
    static const QList<QByteArray> kPseudo = {
        "proc",       "sysfs",       "devtmpfs", "devpts",     "cgroup",  "cgroup2",
        "securityfs", "pstore",      "bpf",      "debugfs",    "tracefs", "mqueue",
        "hugetlbfs",  "configfs",    "fusectl",  "autofs",     "nsfs",    "overlay",
        "squashfs",   "binfmt_misc", "efivarfs", "rpc_pipefs", "tmpfs"};
    return kPseudo.contains(type);
}

QString AsFolder(const QString& path) {
    return WithBackslash(QDir::cleanPath(QDir(path).absolutePath()));
}

// Right-button releases open the Edit menu, as they do on the playlist side.
class MenuFilter : public QObject {
public:
    MenuFilter(FileBrowser* browser) : QObject(browser), browser_(browser) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
            Q_EMIT browser_->MenuRequested();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    FileBrowser* browser_;
};

}  // namespace

QStringList FileBrowser::Drives() {
    QStringList drives{QStringLiteral("/")};
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady() || IsPseudoFileSystem(volume.fileSystemType()))
            continue;
        const QString root = WithBackslash(volume.rootPath());
        if (!drives.contains(root)) drives.append(root);
    }
    return drives;
}

FileBrowser::FileBrowser(QWidget* parent) : QWidget(parent) {
    drive1_ = new QComboBox(this);
    drive1_->setObjectName(QStringLiteral("Drive1"));
    drive1_->addItems(Drives());
    dir1_ = new QListWidget(this);
    dir1_->setObjectName(QStringLiteral("Dir1"));
    command1_ = new QToolButton(this);
    command1_->setObjectName(QStringLiteral("Command1"));
    command1_->setIcon(style()->standardIcon(QStyle::SP_FileDialogToParent));
    command1_->setToolTip(QStringLiteral("Parent Directory"));
    file1_ = new QListWidget(this);
    file1_->setObjectName(QStringLiteral("File1"));
    file1_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    file1_->setUniformItemSizes(true);
    file1_->viewport()->installEventFilter(new MenuFilter(this));
    combo1_ = new QComboBox(this);
    combo1_->setObjectName(QStringLiteral("Combo1"));
    combo1_->addItems(FilterNames());

    auto* driveRow = new QHBoxLayout;
    driveRow->addWidget(drive1_, 1);
    driveRow->addWidget(command1_);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(driveRow);
    column->addWidget(dir1_, 2);
    column->addWidget(file1_, 3);
    column->addWidget(combo1_);

    connect(drive1_, &QComboBox::activated, this, &FileBrowser::Drive1Change);
    connect(dir1_, &QListWidget::itemActivated, this, &FileBrowser::Dir1Activated);
    connect(command1_, &QToolButton::clicked, this,
            [this] { SetFolder(folder_ + QStringLiteral("..")); });
    connect(combo1_, &QComboBox::activated, this,
            [this](int index) { SetFilter(FileFilter(index)); });
    connect(file1_, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* item) { Q_EMIT FileClicked(folder_ + item->text()); });
    connect(file1_, &QListWidget::itemActivated, this,
            [this](QListWidgetItem* item) { Q_EMIT FileActivated(item->text()); });
}

bool FileBrowser::SetFolder(const QString& folder) {
    const QString target = AsFolder(folder);
    if (!QDir(target).isReadable()) return false;
    const bool moved = target != folder_;
    folder_ = target;
    SelectDriveOf(folder_);
    FillFolders();
    RefreshFiles();
    if (moved) Q_EMIT FolderChanged(folder_);
    return true;
}

void FileBrowser::SetFilter(FileFilter filter) {
    filter_ = filter;
    const QSignalBlocker quiet(combo1_);
    combo1_->setCurrentIndex(int(filter));
    RefreshFiles();
}

void FileBrowser::Drive1Change(int index) {
    // A mount point is its own root: the folder list moves to its top.
    if (!SetFolder(drive1_->itemText(index))) SelectDriveOf(folder_);
}

void FileBrowser::SelectDriveOf(const QString& folder) {
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < drive1_->count(); ++i) {
        const QString root = drive1_->itemText(i);
        if (folder.startsWith(root) && root.size() > bestLength) {
            best = i;
            bestLength = root.size();
        }
    }
    const QSignalBlocker quiet(drive1_);
    drive1_->setCurrentIndex(best);
}

void FileBrowser::Dir1Activated(QListWidgetItem* item) {
    SetFolder(item->data(kFolderRole).toString());
}

void FileBrowser::FillFolders() {
    dir1_->clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirIcon);
    // The chain from the root down to the folder, each one step further in.
    const QStringList parts = folder_.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString path = QStringLiteral("/");
    auto* root = new QListWidgetItem(open, path, dir1_);
    root->setData(kFolderRole, path);
    QListWidgetItem* current = root;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        path += parts[i] + QLatin1Char('/');
        current =
            new QListWidgetItem(open, QString(int(i + 1) * 2, QLatin1Char(' ')) + parts[i], dir1_);
        current->setData(kFolderRole, path);
    }
    const QString indent(int(parts.size() + 1) * 2, QLatin1Char(' '));
    const QStringList subfolders =
        QDir(folder_).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase);
    for (const QString& name : subfolders) {
        auto* item = new QListWidgetItem(closed, indent + name, dir1_);
        item->setData(kFolderRole, folder_ + name + QLatin1Char('/'));
    }
    dir1_->setCurrentItem(current);
}

void FileBrowser::RefreshFiles() {
    file1_->clear();
    if (folder_.isEmpty()) return;
    // Name patterns match without regard to case, as the file list always has.
    file1_->addItems(QDir(folder_).entryList(FilterPatterns(filter_), QDir::Files,
                                             QDir::Name | QDir::IgnoreCase));
}

QStringList FileBrowser::SelectedFiles() const {
    QStringList names;
    for (int i = 0; i < file1_->count(); ++i) {
        if (file1_->item(i)->isSelected()) names.append(file1_->item(i)->text());
    }
    return names;
}

QStringList FileBrowser::AllFiles() const {
    QStringList names;
    for (int i = 0; i < file1_->count(); ++i) names.append(file1_->item(i)->text());
    return names;
}

}  // namespace corvane::editor
