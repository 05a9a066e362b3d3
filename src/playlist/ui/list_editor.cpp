#include "playlist/ui/list_editor.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QListView>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QVBoxLayout>
#include <algorithm>

#include "appearance/ui/units.h"
#include "ombrel/factory.h"
#include "playlist/editor_texts.h"
#include "playlist/entry_text.h"
#include "playlist/playlist.h"
#include "playlist/song_finder.h"
#include "playlist/song_rows.h"
#include "playlist/ui/file_browser.h"
#include "settings/settings.h"

namespace corvane::editor {

namespace {

// Right-button releases on the playlist open the Edit menu.
class MenuOnRelease : public QObject {
public:
    MenuOnRelease(QObject* parent, QMenu* menu) : QObject(parent), menu_(menu) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonRelease &&
            static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
            menu_->popup(QCursor::pos());
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QMenu* menu_;
};

QPushButton* Button(const QString& caption, const QString& tip, const char* name, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(tip);
    return button;
}

}  // namespace

template <typename Command>
void ListEditor::Busy(Command command) {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    command();
    QGuiApplication::restoreOverrideCursor();
    ListChanged();
}

ListEditor::ListEditor(Playlist& playlist, Settings& settings, EditorCallbacks callbacks,
                       QWidget* parent)
    : QMainWindow(parent, Qt::Window),
      playlist_(playlist),
      settings_(settings),
      rows_(std::make_unique<SongRows>()) {
    setObjectName(QStringLiteral("ListEditor"));
    setWindowTitle(kCaption);
    FillStandardDialogs(callbacks, this);
    // Prog shows the long operations; the commands run without nested event loops, so it
    // shows a save's end at the least.
    callbacks.progressStart = [this](int min, int max) {
        if (prog_ == nullptr) return;
        prog_->SetMin(min);
        prog_->SetValue(min);
        prog_->SetMax(std::max(max, min + 1));
        prog_->show();
    };
    callbacks.progress = [this](int value) {
        if (prog_ != nullptr) prog_->SetValue(value);
    };
    callbacks.progressEnd = [this] {
        if (prog_ != nullptr) prog_->SetValue(prog_->Min());
    };
    editing_ = std::make_unique<ListEditing>(playlist, settings, *rows_, std::move(callbacks));
    BuildWindow();
    BuildMenus();
    saveButt_->setEnabled(false);
    mnuSave_->setEnabled(false);
}

ListEditor::~ListEditor() = default;

void ListEditor::BuildWindow() {
    auto* central = new QWidget(this);
    browser_ = new FileBrowser(central);

    auto* addSel = Button(QStringLiteral("Add >"), QStringLiteral("Add the selected files"),
                          "AddSel", central);
    auto* addAll = Button(QStringLiteral("Add All >>"), QStringLiteral("Add every file shown"),
                          "AddAll", central);
    auto* remSel = Button(QStringLiteral("< Remove"), QStringLiteral("Remove the selected songs"),
                          "RemSel", central);
    auto* remAll = Button(QStringLiteral("<< Remove All"), QStringLiteral("Remove every song"),
                          "RemAll", central);
    auto* middle = new QVBoxLayout;
    middle->addStretch(1);
    for (QPushButton* button : {addSel, addAll, remSel, remAll}) middle->addWidget(button);
    middle->addStretch(1);

    listTitle_ = new QLabel(kFirstTitle, central);
    listTitle_->setObjectName(QStringLiteral("ListTitle"));
    listTitle_->setStyleSheet(QStringLiteral("font-weight: bold"));
    list1_ = new QListView(central);
    list1_->setObjectName(QStringLiteral("List1"));
    list1_->setModel(rows_.get());
    list1_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // One row height for all: the view never measures 100,000 rows one by one.
    list1_->setUniformItemSizes(true);
    list1_->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* cmdClear = Button(QStringLiteral("&New"), QStringLiteral("Start a new playlist file"),
                            "cmdClear", central);
    auto* openButt = Button(QStringLiteral("&Open"), QString(), "OpenButt", central);
    saveButt_ =
        Button(QStringLiteral("&Save"), QStringLiteral("Save the playlist"), "SaveButt", central);
    auto* command2 =
        Button(QStringLiteral("Save &As"),
               QStringLiteral("Save the playlist as a different filename"), "Command2", central);
    auto* command6 = Button(QStringLiteral("&Done"), QStringLiteral("Exit the playlist editor"),
                            "Command6", central);
    auto* fileRow = new QHBoxLayout;
    for (QPushButton* button : {cmdClear, openButt, saveButt_, command2, command6})
        fileRow->addWidget(button);

    auto* right = new QVBoxLayout;
    right->addWidget(listTitle_);
    right->addWidget(list1_, 1);
    right->addLayout(fileRow);

    auto* row = new QHBoxLayout(central);
    row->addWidget(browser_, 1);
    row->addLayout(middle);
    row->addLayout(right, 1);
    setCentralWidget(central);

    pathPanel_ = new QLabel(this);
    pathPanel_->setObjectName(QStringLiteral("Stat1Path"));
    sizePanel_ = new QLabel(this);
    sizePanel_->setObjectName(QStringLiteral("Stat1Size"));
    sizePanel_->setMinimumWidth(90);
    statusBar()->addWidget(pathPanel_, 1);
    statusBar()->addWidget(sizePanel_);
    // Made by its class identifier, as every host of the control library does.
    prog_ = qobject_cast<ombrel::FlatProg*>(
        ombrel::CreateControl(QString::fromLatin1(ombrel::kFlatProgClassId), this));
    if (prog_ != nullptr) {
        prog_->setObjectName(QStringLiteral("Prog"));
        prog_->setFixedSize(120, 12);
        prog_->SetValue(0);
        statusBar()->addPermanentWidget(prog_);
    }
    resize(720, 460);

    connect(addSel, &QPushButton::clicked, this, &ListEditor::AddSelClick);
    connect(addAll, &QPushButton::clicked, this, &ListEditor::AddAllClick);
    connect(remSel, &QPushButton::clicked, this, &ListEditor::RemSelClick);
    connect(remAll, &QPushButton::clicked, this, &ListEditor::RemAllClick);
    connect(cmdClear, &QPushButton::clicked, this, &ListEditor::NewClick);
    connect(openButt, &QPushButton::clicked, this, &ListEditor::OpenClick);
    connect(saveButt_, &QPushButton::clicked, this, &ListEditor::SaveClick);
    connect(command2, &QPushButton::clicked, this, &ListEditor::SaveAsClick);
    connect(command6, &QPushButton::clicked, this, &QWidget::close);
    connect(browser_, &FileBrowser::FileClicked, this, &ListEditor::ShowFileInfo);
    connect(browser_, &FileBrowser::FileActivated, this, &ListEditor::File1DblClick);
    connect(browser_, &FileBrowser::FolderChanged, this, [this](const QString& folder) {
        if (open_) settings_.SavePref(keys::kSongPath, folder);
    });
    connect(list1_, &QListView::clicked, this,
            [this](const QModelIndex& index) { ShowEntryInfo(index.row()); });
    connect(list1_, &QListView::doubleClicked, this,
            [this](const QModelIndex& index) { List1DblClick(index.row()); });
}

void ListEditor::BuildMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    const auto item = [this](QMenu* menu, const char* name, const QString& text, auto slot) {
        QAction* action = menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    item(file, "mnuNew", QStringLiteral("&New"), &ListEditor::NewClick);
    item(file, "mnuOpen", QStringLiteral("&Open"), &ListEditor::OpenClick);
    mnuSave_ = item(file, "mnuSave", QStringLiteral("&Save"), &ListEditor::SaveClick);
    item(file, "mnuAs", QStringLiteral("Save &As"), &ListEditor::SaveAsClick);
    file->addSeparator();
    item(file, "mnuExit", QStringLiteral("E&xit"), &QWidget::close);

    mnuEdit_ = menuBar()->addMenu(QStringLiteral("&Edit"));
    mnuEdit_->setObjectName(QStringLiteral("mnuEdit"));
    item(mnuEdit_, "mnuAddSel", QStringLiteral("Add &Selected"), &ListEditor::AddSelClick);
    item(mnuEdit_, "mnuAddAll", QStringLiteral("Add &All"), &ListEditor::AddAllClick);
    item(mnuEdit_, "mnuRemSel", QStringLiteral("Remove S&elected"), &ListEditor::RemSelClick);
    item(mnuEdit_, "mnuRemAll", QStringLiteral("&Remove All"), &ListEditor::RemAllClick);

    list1_->viewport()->installEventFilter(new MenuOnRelease(this, mnuEdit_));
    connect(browser_, &FileBrowser::MenuRequested, this,
            [this] { mnuEdit_->popup(QCursor::pos()); });
}

void ListEditor::OpenEditor() {
    if (open_) {
        raise();
        activateWindow();
        return;
    }
    open_ = true;
    const QSize size = frameGeometry().size();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QPoint at((screen.width() - size.width()) / 2, (screen.height() - size.height()) / 2);
    if (settings_.Has(keys::kListLeft) && settings_.Has(keys::kListTop)) {
        at = QPoint(appearance::TwipsToPixels(settings_.GetInt(keys::kListLeft)),
                    appearance::TwipsToPixels(settings_.GetInt(keys::kListTop)));
    }
    move(at);
    browser_->SetFilter(FileFilter::SoundFiles);
    show();
    if (!browser_->SetFolder(settings_.GetText(keys::kSongPath)))
        browser_->SetFolder(QDir::homePath());
    Refresh1();
    Q_EMIT Opened();
}

void ListEditor::Refresh1() {
    Busy([this] {
        if (prog_ != nullptr) {
            prog_->SetMin(0);
            prog_->SetValue(0);
            if (!playlist_.SongList.isEmpty()) prog_->SetMax(int(playlist_.SongList.size()));
            prog_->show();
        }
        editing_->Refresh1();
    });
}

void ListEditor::closeEvent(QCloseEvent* event) {
    if (!editing_->MayClose()) {
        event->ignore();
        ListChanged();
        return;
    }
    settings_.SavePref(keys::kListLeft, appearance::PixelsToTwips(x()));
    settings_.SavePref(keys::kListTop, appearance::PixelsToTwips(y()));
    const bool wasOpen = open_;
    open_ = false;
    event->accept();
    if (wasOpen) Q_EMIT Closed();
}

QList<qsizetype> ListEditor::SelectedRows() const {
    QList<qsizetype> rows;
    for (const QModelIndex& index : list1_->selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

qsizetype ListEditor::InsertRow() const {
    const QModelIndex current = list1_->currentIndex();
    if (current.isValid() && list1_->selectionModel()->isSelected(current)) return current.row();
    const QList<qsizetype> rows = SelectedRows();
    return rows.isEmpty() ? -1 : rows.first();
}

void ListEditor::SelectOnly(qsizetype row) {
    list1_->clearSelection();
    if (row < 0) return;
    const QModelIndex index = rows_->index(int(row));
    list1_->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
}

void ListEditor::AddSelClick() {
    Busy([this] {
        SelectOnly(editing_->AddFiles(browser_->Folder(), browser_->SelectedFiles(), InsertRow()));
    });
}

void ListEditor::File1DblClick(const QString& name) {
    Busy(
        [this, &name] { SelectOnly(editing_->AddFiles(browser_->Folder(), {name}, InsertRow())); });
}

void ListEditor::AddAllClick() {
    Busy([this] { editing_->AddAll(browser_->Folder(), browser_->AllFiles()); });
}

void ListEditor::RemSelClick() {
    Busy([this] { editing_->RemoveRows(SelectedRows()); });
}

void ListEditor::RemAllClick() {
    Busy([this] { editing_->RemoveAll(); });
}

void ListEditor::List1DblClick(qsizetype row) {
    Busy([this, row] { editing_->RemoveAt(row); });
}

void ListEditor::NewClick() {
    Busy([this] { editing_->New(); });
}

void ListEditor::OpenClick() {
    Busy([this] { editing_->Open(); });
}

void ListEditor::SaveClick() {
    Busy([this] {
        if (editing_->Save()) browser_->RefreshFiles();
    });
}

void ListEditor::SaveAsClick() {
    Busy([this] {
        editing_->SaveAs();
        browser_->RefreshFiles();
    });
}

void ListEditor::ShowFileInfo(const QString& path) {
    if (path.isEmpty()) return;
    pathPanel_->setText(path);
    const QFileInfo info(path);
    sizePanel_->setText(info.isFile() ? SizeText(info.size()) : QString());
}

void ListEditor::ShowEntryInfo(qsizetype row) {
    const QString entry = editing_->EntryPath(row);
    if (entry::IsNetworkUrl(entry)) {
        pathPanel_->setText(entry::NetworkStreamStatus(entry));
        sizePanel_->clear();
        return;
    }
    const QString found = editing_->FoundPath(row);
    ShowFileInfo(found.isEmpty() ? entry : found);
}

void ListEditor::SetFinder(SongFinder* finder) {
    editing_->SetFinder(finder);
    if (finder != nullptr)
        connect(finder, &SongFinder::IndexReady, rows_.get(), &SongRows::RefreshMarks);
}

void ListEditor::ListChanged() {
    listTitle_->setText(editing_->Title());
    listTitle_->setToolTip(editing_->TitleToolTip());
    saveButt_->setEnabled(editing_->Changed());
    mnuSave_->setEnabled(editing_->Changed());
}

}  // namespace corvane::editor
