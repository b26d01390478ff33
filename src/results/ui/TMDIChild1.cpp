#include "results/ui/TMDIChild1.h"

#include "components/platform/FileBytes.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "components/text/TextOps.h"
#include "components/ui/SheetView.h"
#include "exchange/PopupGeometry.h"
#include "results/Filter.h"
#include "results/Marks.h"
#include "results/ui/ArgumentBarWidget.h"
#include "results/ui/QuickSumPanel.h"
#include "shell/AppSettings.h"
#include "shell/ChildRegistry.h"
#include "shell/ServerMessages.h"
#include "shell/ShellHost.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDateTime>
#include <QDesktopServices>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace fc {

namespace {

QString q(std::string_view cp1251) { return cp1251::toQString(cp1251); }
std::string s(const QString& text) { return cp1251::fromQString(text); }

constexpr Color kTeal = rgb(0, 128, 128);
constexpr Color kMaroon = rgb(128, 0, 0);
constexpr int kInputTop = 22;

} // namespace

SharedRunState& sharedRunState() {
    static SharedRunState state;
    return state;
}

// What answers ask of the desktop: programs start detached, documents open with the desktop's
// "open", error lines go to the designer that ran the template.
class TMDIChild1::World : public OutsideWorld {
public:
    explicit World(TMDIChild1& w) : w_(w) {}
    bool run(const std::string& commandLine) override {
        QStringList parts = QProcess::splitCommand(q(commandLine));
        if (parts.isEmpty()) {
            return false;
        }
        const QString program = parts.takeFirst();
        return QProcess::startDetached(program, parts);
    }
    bool open(const std::string& path) override {
        const QString p = q(path);
        const QUrl url = p.contains(QLatin1String("://")) ? QUrl(p) : QUrl::fromLocalFile(p);
        return QDesktopServices::openUrl(url);
    }
    void showTemplateLine(int line, int position) override {
        w_.shell_.showErrorInDesigner(w_.designerHandle_, line, position);
    }
    void menusChanged() override { w_.shell_.updateMenuItems(); }
    void autoMessage(const std::string& text) override { w_.shell_.showAutoMessage(text); }
    void closeWindowTitled(const std::string& title) override {
        w_.shell_.closeOtherInstances(title);
    }

private:
    TMDIChild1& w_;
};

TMDIChild1::TMDIChild1(ShellHost& shell, long long designerHandle, Prompter* prompter,
                       QWidget* parent)
    : QWidget(parent), shell_(shell), designerHandle_(designerHandle),
      ownPrompter_(prompter ? nullptr : std::make_unique<QtPrompter>(this)),
      prompter_(prompter ? *prompter : *ownPrompter_), world_(std::make_unique<World>(*this)),
      files_(prompter_, shell.settings().startDir),
      progress_([this](int v,
                       Progress::Colour c) { shell_.showProgress(v, c == Progress::Colour::Teal); },
                shell.progressWidth()),
      ctx_{book_,
           reportSettings_,
           answer_,
           prompter_,
           *world_,
           files_,
           &progress_,
           shell.settings().startDir,
           shell.settings().serverDir},
      run_(shell.settings(), book_, prompter_, *this),
      reader_(ctx_, shell.settings(), run_, *this, *this, sharedRunState()),
      session_(book_, reportSettings_, prompter_, *this, &run_) {
    setObjectName(QStringLiteral("MDIChild1"));
    templatePath_ = shell.settings().currentFileName;
    ownerHandle_ = shell.settings().returnWindow;
    reportSettings_.caption = templatePath_;
    reportSettings_.fileCaption = templatePath_;
    reportSettings_.openedFromDesigner = designerHandle != 0;
    reportSettings_.exclusive = server_messages::exclusiveRun(shell.settings().commandLineParam);
    reportSettings_.mainCaption = server_messages::mainCaption();
    answerTimer_ = new QTimer(this);
    autoTimer_ = new QTimer(this);
    autoTimer_->setObjectName(QStringLiteral("ATimer"));
    offlineTimer_ = new QTimer(this);
    offlineTimer_->setSingleShot(true);
    connect(answerTimer_, &QTimer::timeout, this, [this] { run_.answerTick(); });
    connect(autoTimer_, &QTimer::timeout, this, [this] { run_.autoRefreshTick(); });
    connect(offlineTimer_, &QTimer::timeout, this, [this] { run_.offlineTick(); });
    buildWidgets();
    outputDialogs = OutputDialogs::modal(this);
    resize(720, 480);
}

TMDIChild1::~TMDIChild1() {
    // The sheet view leaves the workbook while it still exists: as a child widget it would
    // go only after the members, the workbook among them.
    delete view_;
    view_ = nullptr;
    ctx_.measurer = nullptr;
    setBusy(false);
    shell_.children().remove(this);
}

void TMDIChild1::buildWidgets() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    // The question panel: inputs placed by place_cbox, the step buttons at its right.
    Panel1_ = new QFrame(this);
    Panel1_->setObjectName(QStringLiteral("Panel1"));
    Panel1_->setFrameShape(QFrame::StyledPanel);
    Panel1_->setMinimumHeight(56);
    Panel1_->hide();
    for (int i = 1; i <= 6; ++i) {
        auto* l = new QLabel(Panel1_);
        l->setObjectName(QStringLiteral("Label%1").arg(i));
        l->hide();
        labels_.push_back(l);
    }
    labels_[5]->setText(q(w("Фильтp включен")));
    // The single question controls, used when the report hides its question panel.
    singleQuestion_ = new QFrame(this);
    singleQuestion_->setObjectName(QStringLiteral("singleQuestion"));
    auto* single = new QHBoxLayout(singleQuestion_);
    single->setContentsMargins(6, 4, 6, 4);
    ComboBox1_ = new QComboBox(singleQuestion_);
    ComboBox1_->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1_->setEditable(true);
    Edit1_ = new QLineEdit(singleQuestion_);
    Edit1_->setObjectName(QStringLiteral("Edit1"));
    for (QLabel* l : {labels_[0], labels_[2]}) {
        l->setParent(singleQuestion_);
        single->addWidget(l);
    }
    single->addWidget(ComboBox1_);
    single->addWidget(Edit1_);
    single->addStretch();
    ComboBox1_->hide();
    Edit1_->hide();
    singleQuestion_->hide();
    ListBox2_ = new QListWidget(this);
    ListBox2_->setObjectName(QStringLiteral("ListBox2"));
    ListBox2_->hide();
    but_next_ = new QPushButton(QStringLiteral(">"), Panel1_);
    but_next_->setObjectName(QStringLiteral("but_next_"));
    but_next_->setFixedSize(22, 22);
    but_next_->hide();
    backButton_ = new QPushButton(QStringLiteral("<<"), Panel1_);
    backButton_->setObjectName(QStringLiteral("stepBack"));
    nextButton_ = new QPushButton(QStringLiteral(" >>"), Panel1_);
    nextButton_->setObjectName(QStringLiteral("stepNext"));
    for (QPushButton* b : {backButton_, nextButton_}) {
        b->setFixedSize(32, 24);
    }
    connect(backButton_, &QPushButton::clicked, this, [this] { stepBack(); });
    connect(nextButton_, &QPushButton::clicked, this, [this] {
        if (!inputs_.empty()) {
            submitInput(nullptr);
        }
    });
    connect(but_next_, &QPushButton::clicked, this, [this] {
        if (!inputs_.empty()) {
            submitInput(nullptr);
        }
    });
    connect(ListBox2_, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        run_.stepAnswer(std::to_string(ListBox2_->row(item) + 1));
    });
    connect(ComboBox1_->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { run_.stepAnswer(s(ComboBox1_->currentText())); });
    connect(Edit1_, &QLineEdit::returnPressed, this,
            [this] { run_.stepAnswer(s(Edit1_->text())); });
    layout->addWidget(Panel1_);
    layout->addWidget(singleQuestion_);
    layout->addWidget(ListBox2_);

    // The value lists take the sheet's place while they are open.
    listPanel_ = new QFrame(this);
    listPanel_->setObjectName(QStringLiteral("listPanel"));
    auto* listLayout = new QVBoxLayout(listPanel_);
    for (int i : {1, 3}) { // Label2 (upper caption), Label4 (lower caption)
        labels_[static_cast<std::size_t>(i)]->setParent(listPanel_);
        listLayout->addWidget(labels_[static_cast<std::size_t>(i)]);
    }
    Listbox1_ = new QListWidget(listPanel_);
    Listbox1_->setObjectName(QStringLiteral("Listbox1"));
    RListBox1_ = new QListWidget(listPanel_);
    RListBox1_->setObjectName(QStringLiteral("RListBox1"));
    Button1_ = new QPushButton(QStringLiteral("OK"), listPanel_);
    Button1_->setObjectName(QStringLiteral("Button1"));
    listLayout->addWidget(Listbox1_);
    listLayout->addWidget(RListBox1_);
    listLayout->addWidget(labels_[5]);
    listLayout->addWidget(Button1_, 0, Qt::AlignRight);
    connect(Listbox1_, &QListWidget::itemActivated, this, &TMDIChild1::chooseListItem);
    // Backspace in a value list takes back the last step, as "<<" does.
    for (QListWidget* list : {Listbox1_, RListBox1_}) {
        auto* back = new QShortcut(QKeySequence(Qt::Key_Backspace), list);
        back->setContext(Qt::WidgetShortcut);
        connect(back, &QShortcut::activated, this, [this] { stepBack(); });
    }
    connect(RListBox1_, &QListWidget::itemActivated, this, [this] { confirmCheckList(); });
    connect(RListBox1_, &QListWidget::itemChanged, this, &TMDIChild1::checkListTicked);
    watchValueLists();
    connect(Button1_, &QPushButton::clicked, this, [this] {
        if (!RListBox1_->isHidden()) {
            confirmCheckList();
        } else if (QListWidgetItem* item = Listbox1_->currentItem()) {
            chooseListItem(item);
        }
    });
    listPanel_->hide();
    layout->addWidget(listPanel_, 1);

    // The sheet panel.
    Panel5_ = new QFrame(this);
    Panel5_->setObjectName(QStringLiteral("Panel5"));
    auto* sheetLayout = new QVBoxLayout(Panel5_);
    sheetLayout->setContentsMargins(0, 0, 0, 0);
    view_ = new SheetView(Panel5_);
    view_->setObjectName(QStringLiteral("vbvbn"));
    view_->setWorkbook(&book_);
    sheetLayout->addWidget(view_);
    layout->addWidget(Panel5_, 1);
    ctx_.measurer = &view_->measurer();

    // The save panel.
    Panel2_ = new QFrame(this);
    Panel2_->setObjectName(QStringLiteral("Panel2"));
    auto* saveLayout = new QHBoxLayout(Panel2_);
    saveLayout->setContentsMargins(4, 2, 4, 2);
    BitBtn3_ = new QPushButton(q(w("Сохpанить данные")), Panel2_);
    BitBtn3_->setObjectName(QStringLiteral("BitBtn3"));
    Panel12_ = new QLabel(q(w("Сохpанение данных...")), Panel2_);
    Panel12_->setObjectName(QStringLiteral("Panel12"));
    Panel12_->hide();
    saveLayout->addWidget(BitBtn3_);
    saveLayout->addWidget(Panel12_);
    saveLayout->addStretch();
    connect(BitBtn3_, &QPushButton::clicked, this, [this] { saveData(""); });
    Panel2_->hide();
    layout->addWidget(Panel2_);

    // The hidden cancel button: Escape closes the window.
    cancelButton_ = new QPushButton(this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));
    cancelButton_->hide();
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WidgetWithChildrenShortcut);
    connect(escape, &QShortcut::activated, this, [this] { escapePressed(); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { closeWindow(); });

    // The sheet's pop-up menu: the window's own items, then the server's.
    buildPopupMenu();
    view_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view_, &QWidget::customContextMenuRequested, this,
            [this](QPoint p) { openPopupMenu(p); });
    buildViewWidgets();
    buildActions();
    buildSearch();
    buildArgumentWidgets(); // the argument bar under the sheet, the tree at its left
}

bool TMDIChild1::start() {
    setCaption(templatePath_);
    if (!run_.create()) {
        return false;
    }
    if (!run_.geometry().empty()) {
        setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
    }
    return true;
}

void TMDIChild1::pollAnswer() {
    run_.answerTick();
    if (run_.answerPending()) {
        run_.answerTick();
    }
}

// ---- ReportChild

bool TMDIChild1::noSave() const { return reportSettings_.noSave; }
bool TMDIChild1::noPrint() const { return reportSettings_.noPrint; }
bool TMDIChild1::noCalendar() const { return reportSettings_.noCalendar; }

QWidget* TMDIChild1::subWindowOrSelf() {
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    return sub ? static_cast<QWidget*>(sub) : this;
}

void TMDIChild1::activateChild() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        if (QMdiArea* area = sub->mdiArea()) {
            area->setActiveSubWindow(sub);
        }
    } else {
        show();
        raise();
        QWidget::activateWindow();
    }
}

void TMDIChild1::reportKey(int code) {
    if (code == kFilterKey) {
        openFilter();
        return;
    }
    outputKey(code);
}

bool TMDIChild1::hasModifiedMark() const {
    const Sheet& sh = book_.sheet(1);
    return sh.maxRow() < kMaxRows && sh.text(sh.maxRow() + 1, ReportRun::kMarkCol) == "X";
}

void TMDIChild1::clearModifiedMark() {
    Sheet& sh = book_.sheet(1);
    if (sh.maxRow() < kMaxRows) {
        sh.setText(sh.maxRow() + 1, ReportRun::kMarkCol, "");
    }
}

void TMDIChild1::showNormalWindow() { subWindowOrSelf()->showNormal(); }

// ---- ReportHost

long long TMDIChild1::handle() const { return shell_.children().handleOf(this); }

std::string TMDIChild1::caption() const { return s(windowTitle()); }

std::string TMDIChild1::fileCaption() const { return reportSettings_.fileCaption; }

void TMDIChild1::setCaption(const std::string& text) {
    // The run sets the window's own caption before each request; an answer's ";SP=" puts its
    // subtitle in front of this one, never in front of an earlier subtitle.
    setWindowTitle(q(text));
    reportSettings_.caption = text;
    reportSettings_.fileCaption = text;
}

void TMDIChild1::setBusy(bool busy) { busy_.set(busy); }

void TMDIChild1::closeWindow() {
    if (closing_) {
        return;
    }
    closing_ = true;
    // Closed once the current event is over: the answer reader may still be on the stack.
    QTimer::singleShot(0, this, [this] {
        closing_ = false;
        subWindowOrSelf()->close();
    });
}

void TMDIChild1::setTimer(ReportTimer timer, bool on, int intervalMs) {
    QTimer* t = timer == ReportTimer::Answer        ? answerTimer_
                : timer == ReportTimer::AutoRefresh ? autoTimer_
                                                    : offlineTimer_;
    if (on) {
        t->start(intervalMs);
        if (timer == ReportTimer::Answer) {
            waiting_.start();
        }
    } else {
        t->stop();
    }
}

void TMDIChild1::answerArrived(std::string buffer) {
    argumentSettled();
    answer_ = AnswerBuffer(std::move(buffer));
    reader_.GetOtvet();
}

void TMDIChild1::requestStarting(bool automatic) {
    argBar_->secondMarker()->hide();
    if (!automatic) {
        but_next_->setEnabled(false);
        Panel12_->hide();
    }
}

void TMDIChild1::activated() {
    shell_.updateMenuItems();
    activateView(); // the filter, the marked-rows mode (row 28) and the sort note come back
    // Not while a question is being answered: the bar follows the sheet and the lists.
    QWidget* focus = focusWidget();
    if (!focus || focus == view_ || focus == Listbox1_ || focus == RListBox1_ ||
        focus == ListBox2_) {
        Arguments();
    }
}

void TMDIChild1::prepareRestart() { clearQuestionControls(); }

void TMDIChild1::hideQuestionControls() {
    ListBox2_->hide();
    ComboBox1_->hide();
    Edit1_->hide();
    but_next_->hide();
    labels_[0]->hide();
    labels_[2]->hide();
    singleQuestion_->hide();
    // A value list left by "<<" or by a step answer gives its place back to the sheet; the
    // window would be blank until the next result otherwise.
    listPanel_->hide();
    Panel5_->show();
}

std::string TMDIChild1::statusText() const { return shell_.statusText(1); }

void TMDIChild1::setStatusText(const std::string& text) { shell_.setStatusText(1, text); }

bool TMDIChild1::applicationActive() const { return QApplication::activeWindow() != nullptr; }

bool TMDIChild1::isActiveChild() const {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        // The current one stays current while a pop-up or a message box has the focus.
        return sub->mdiArea() && sub->mdiArea()->currentSubWindow() == sub;
    }
    return isActiveWindow();
}

void TMDIChild1::setTimeLabelsEnabled(bool on) { shell_.setTimeLabelsEnabled(on); }

long long TMDIChild1::openReport(bool popup) {
    AppSettings& st = shell_.settings();
    if (!popup) {
        shell_.runReport(st.nextReport, 0);
        // The window just made, or 0 when it closed at once.
        const long long made = shell_.children().lastAdded();
        return shell_.children().find(made) != nullptr && made != handle() ? made : 0;
    }
    // A pop-up: a stay-on-top window of its own, owned by this one.
    const std::string geometry = st.pendingGeometry;
    auto* child = new TMDIChild1(shell_, 0, ownPrompter_ ? nullptr : &prompter_, this);
    child->setWindowFlags(Qt::Window | Qt::WindowStaysOnTopHint);
    child->setAttribute(Qt::WA_DeleteOnClose);
    const long long h = shell_.children().add(child);
    PopupPlacement where;
    where.opener = QRect(mapToGlobal(QPoint(0, 0)), size());
    const CellRef cell = book_.sheet(1).activeCell();
    const QRect r = view_->cellRect(cell.row, cell.col);
    where.cell = QRect(view_->viewport()->mapToGlobal(r.topLeft()), r.size());
    // The main window, also when this window is itself a pop-up.
    for (QWidget* w = window(); w != nullptr;
         w = w->parentWidget() ? w->parentWidget()->window() : nullptr) {
        if (auto* main = qobject_cast<QMainWindow*>(w)) {
            where.mainWindow = QRect(main->mapToGlobal(QPoint(0, 0)), main->size());
            if (main->statusBar()->isVisible()) {
                where.statusBarHeight = main->statusBar()->height();
            }
            break;
        }
    }
    const QRect g = popupGeometry(geometry, where);
    if (!g.isEmpty()) {
        child->setGeometry(g);
    }
    if (!child->start()) {
        return h;
    }
    child->show();
    return h;
}

TMDIChild1* TMDIChild1::windowOf(long long h) const {
    return dynamic_cast<TMDIChild1*>(shell_.children().find(h));
}

bool TMDIChild1::activateWindow(long long h) {
    ShellChild* c = shell_.children().find(h);
    if (!c) {
        return false;
    }
    c->activateChild();
    return true;
}

void TMDIChild1::returnTo(long long h, bool popupClosed, bool rerun) {
    TMDIChild1* w = windowOf(h);
    if (!w) {
        return;
    }
    // The link goes first: activated, the window would bring its closing pop-up back.
    if (popupClosed) {
        w->run_.popupClosed();
    }
    if (!quietClose_) {
        w->activateChild();
    }
    if (rerun) {
        w->run_.rerunFromChild();
    }
}

// ---- AnswerWindow

void TMDIChild1::restorePointer() {
    setBusy(false);
    ViewOptions v = book_.view();
    v.mousePointer = reportSettings_.savedPointer;
    book_.setView(v);
}

void TMDIChild1::showResultPanel() {
    listPanel_->hide();
    Panel5_->show();
    Panel1_->hide();
    ListBox2_->hide();
    shell_.setCommandChecked("p1", false);
    newAnswer(session_);
    viewChanged();
    view_->setFocus();
}

void TMDIChild1::hideSavingPanel() { Panel12_->hide(); }

void TMDIChild1::setServerMenuItems(const std::vector<std::string>& items) {
    QList<QAction*> actions = menu_->actions();
    for (int i = ownMenuItems_; i < actions.size(); ++i) {
        menu_->removeAction(actions[i]);
        actions[i]->deleteLater();
    }
    for (const std::string& item : items) {
        QAction* a = menu_->addAction(q(text::trim(item)));
        connect(a, &QAction::triggered, this, [this, item] { serverItemPicked(item); });
    }
    gateServerItems();
}

void TMDIChild1::finishResult(const ResultFinish& f) {
    if (f.recalcNotice) {
        shell_.showProgressNotice(w("Идёт пеpесчет данных ..."), kTeal);
    }
    if (!f.statusMessage.empty()) {
        shell_.showProgressNotice(f.statusMessage, kMaroon);
    }
    setWindowTitle(q(reportSettings_.caption));
    takeFilterList(session_);
    resultRead();
    setPanel2Visible(reportSettings_.saveButton);
    // Each result brings its own ";POPUP=" items; those of the last one go.
    setServerMenuItems(reportSettings_.popupItems);
    Arguments();
    const double seconds = waiting_.isValid() ? waiting_.elapsed() / 1000.0 : 0.0;
    shell_.setTimeLabels(s(QDateTime::currentDateTime().toString(QStringLiteral("hh:mm:ss"))),
                         s(QString::number(seconds, 'f', 1)));
    shell_.updateMenuItems();
    FormResize();
    view_->showActiveCell();
    view_->viewport()->update();
}

void TMDIChild1::setPanel2Visible(bool on) {
    Panel2_->setVisible(on);
    BitBtn3_->setVisible(on);
}

void TMDIChild1::FormResize() {
    // The step buttons keep to the question panel's right edge; the argument bar and the
    // totals line lay themselves out here once they exist.
    const int right = std::max(Panel1_->width(), 120);
    nextButton_->move(right - 40, kInputTop);
    backButton_->move(right - 76, kInputTop);
    Res_arg();
    if (quickSum_) {
        quickSum_->place();
    }
}

Workbook* TMDIChild1::ownerBook() {
    TMDIChild1* owner = windowOf(ownerHandle_);
    return owner ? &owner->book_ : nullptr;
}

bool TMDIChild1::ownerSaves() const {
    TMDIChild1* owner = windowOf(ownerHandle_);
    return owner && !owner->reportSettings_.saveInstruction.empty();
}

// ---- events

void TMDIChild1::closeEvent(QCloseEvent* event) {
    if (!run_.close()) {
        event->ignore();
        return;
    }
    files_.closeAll();
    event->accept();
}

void TMDIChild1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    FormResize();
}

} // namespace fc
