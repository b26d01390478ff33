#include "exchange/ServiceInstructions.h"

#include "components/model/Sheet.h"
#include "components/model/Workbook.h"
#include "components/platform/Prompter.h"
#include "components/text/CodePage.h"
#include "components/text/Cp1251.h"
#include "designer/ObjectBlock.h"
#include "exchange/AnswerText.h"
#include "exchange/OutsideFiles.h"
#include "exchange/OutsideWorld.h"
#include "exchange/ReadState.h"
#include "exchange/ReportSettings.h"
#include "exchange/ResultContext.h"
#include "exchange/ResultRows.h"

#include <QFile>
#include <QSaveFile>

#include <cmath>
#include <cstdio>

namespace fc {

using answer::mid;
using answer::parseInt;
using answer::parseNumber;
using answer::trimmed;

// Margins are stored multiplied by 24.5, as templates write them.
constexpr double kMarginFactor = 24.5;

enum class ServiceInstructions::Id {
    MaxCol,
    Col3,
    ColW,
    ColH,
    Fix,
    Fix0,
    Tot,
    Sp,
    Kursor,
    EditAll,
    Edit,
    Fzag,
    FixCol,
    Land,
    Color,
    Left,
    Top,
    Bottom,
    Page,
    Footer,
    Header,
    PrintArea,
    NonSave,
    NonPrint,
    Pbk,
    Format,
    AutoW,
    SetPat,
    Save,
    SaveBtn,
    Pt,
    PTitles,
    Dp,
    DpN,
    RestartClose,
    ParentRerun,
    ModalResult,
    IndRerun,
    NoArgs,
    Index,
    Pos,
    AutoRerun,
    AutoAlways,
    AutoSave,
    AllowPaste,
    NoCalendar,
    AutoMsg,
    DoNotBold,
    Sort1,
    Sort2,
    Sort3,
    Filtr,
    Args,
    ArgsTree,
    Arg,
    CloseArgs,
    NObjects,
    Picture,
    Objects,
    Obj,
    Email,
    PrnNumber,
    PdfPrinter,
    Run,
    FileCreate,
    FileOpen,
    PrintStr,
    FileClose,
    DeleteFile,
    RenameFile,
    FSave,
    ListBox,
    Table,
    AllowPop,
    Popup,
    Tot4,
    // the turbo format's own
    Cache,
    IndVal,
    Object,
    RowHeightFix,
};

namespace {

struct Key {
    const char* key;
    bool exact; // the whole line, not its beginning
    bool turboOnly;
};

// In the order of testing.
const Key kKeys[] = {
    {";MAXCOL=", false, false},
    {";COL3", false, false},
    {";COLW[", false, false},
    {";COLH[", false, false},
    {";FIX=", false, false},
    {";FIX0=", false, false},
    {";TOT=", false, false},
    {";SP=", false, false},
    {";KURSOR", false, false},
    {";EDIT", true, false},
    {";EDIT=", false, false},
    {";FZAG=", false, false},
    {";FIXCOL=", false, false},
    {";LAND", false, false},
    {";COLOR", false, false},
    {";LEFT=", false, false},
    {";TOP=", false, false},
    {";BOTTOM=", false, false},
    {";PAGE=", false, false},
    {";FOOTER=", false, false},
    {";HEADER=", false, false},
    {";PRINTAREA=", false, false},
    {";NON_SAVE", false, false},
    {";NON_PRINT", false, false},
    {";PBK", false, false},
    {";FORMAT[", false, false},
    {";AUTOW[", false, false},
    {";SETPAT=", false, false},
    {";SAVE=", false, false},
    {";SAVEBTN=", false, false},
    {";PT=", false, false},
    {";PTITLES=", false, false},
    {";DP", true, false},
    {";DP", false, false},
    {";RESTART_CLOSE", false, false},
    {";PARENT_RERUN", false, false},
    {";MODAL_RESULT", false, false},
    {";IND_RERUN", false, false},
    {";NO_ARGS", false, false},
    {";INDEX=", false, false},
    {";POS=", false, false},
    {";AUTORERUN=", false, false},
    {";AUTOALWAYS", false, false},
    {";AUTOSAVE", false, false},
    {";ALLOW_PASTE", false, false},
    {";NO_CALENDAR", false, false},
    {";AUTOMSG=", false, false},
    {";DO_NOTBOLD", false, false},
    {";SORT1=", false, false},
    {";SORT2=", false, false},
    {";SORT3=", false, false},
    {";FILTR", false, false},
    {";ARGS=", false, false},
    {";ARGS_TREE[", false, false},
    {";ARG=", false, false},
    {";CLOSEARGS", false, false},
    {";NOBJECTS[", false, false},
    {";PICTURE=", false, false},
    {";OBJECTS[", false, false},
    {";OBJ=", false, false},
    {";EMAIL=", false, false},
    {";PRNNUMBER=", false, false},
    {";PDF_PRINTER=", false, false},
    {";RUN=", false, false},
    {";FILECREATE", false, false},
    {";FILEOPEN", false, false},
    {";PRINTSTR", false, false},
    {";FILECLOSE", false, false},
    {";DELETEFILE", false, false},
    {";RENAMEFILE", false, false},
    {";FSAVE", false, false},
    {";LISTBOX[", false, false},
    {";TABLE", false, false},
    {";ALLOWPOP=", false, false},
    {";POPUP=", false, false},
    {";TOT_4", false, false},
    {";CACHE=", false, true},
    {";INDVAL", false, true},
    {";OBJECT", false, true},
    {";ROW_HEIGHT_FIX", false, true},
};

// The part of `s` between `open` and the next `close` after it.
std::string_view between(std::string_view s, char open, char close) {
    const std::size_t a = s.find(open);
    if (a == std::string_view::npos) {
        return {};
    }
    const std::size_t b = s.find(close, a + 1);
    return s.substr(a + 1, b == std::string_view::npos ? std::string_view::npos : b - a - 1);
}

// The text after the first "=".
std::string_view afterEquals(std::string_view s) {
    const std::size_t eq = s.find('=');
    return eq == std::string_view::npos ? std::string_view() : s.substr(eq + 1);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

} // namespace

ServiceInstructions::ServiceInstructions(ResultContext& ctx, ReadState& state)
    : ctx_(ctx), st_(state) {}

ServiceInstructions::~ServiceInstructions() = default;

std::string ServiceInstructions::keys() {
    std::string out;
    for (const Key& k : kKeys) {
        out += k.key;
        out += k.exact ? "!" : "";
        out += ' ';
    }
    return out;
}

std::string ServiceInstructions::text(std::string_view s) const {
    return st_.converted ? std::string(s) : codepage::toWindows(s);
}

std::string ServiceInstructions::oem(std::string_view s) const {
    return st_.converted ? std::string(s) : codepage::oemToAnsi(s);
}

std::string ServiceInstructions::dos(std::string_view s) const {
    return st_.converted ? codepage::toDos(s) : std::string(s);
}

int ServiceInstructions::column(std::string_view s) const {
    const std::optional<int> c = parseInt(s);
    return c && validCol(*c) ? *c : 0;
}

bool ServiceInstructions::apply(std::string_view line, const NextLine& next) {
    static_assert(std::size(kKeys) == static_cast<std::size_t>(Id::RowHeightFix) + 1,
                  "one key per instruction, in the order of the enum");
    const std::string u = answer::upperAscii(line);
    for (std::size_t i = 0; i < std::size(kKeys); ++i) {
        const Key& k = kKeys[i];
        if (k.turboOnly && !st_.turbo) {
            continue;
        }
        const std::string_view key(k.key);
        const bool hit = k.exact ? trimmed(u) == key : answer::startsWith(u, key);
        if (hit) {
            act(static_cast<Id>(i), line, line.substr(key.size()), next);
            return true;
        }
    }
    return false;
}

void ServiceInstructions::act(Id id, std::string_view line, std::string_view value,
                              const NextLine& next) {
    Sheet& sh = *st_.sheet;
    ReportSettings& s = ctx_.settings;
    PrintSettings& p = sh.print();
    switch (id) {
    case Id::MaxCol:
        if (std::optional<double> n = parseNumber(value); n && *n >= 1) {
            // Right of the result's columns lie the window's own.
            sh.setMaxCol(
                static_cast<int>(std::lround(std::min(*n, double(answers::kMaxResultCols)))));
        }
        break;
    case Id::Col3: st_.colDigits = 3; break;
    case Id::ColW: {
        const std::size_t close = line.find(']');
        if (close == std::string_view::npos) {
            break;
        }
        const int c = column(mid(line, 7, std::min<std::size_t>(st_.colDigits, close - 6)));
        const std::optional<double> width =
            parseNumber(line.substr(std::min(close + 2, line.size())));
        if (c && width && *width >= 0) {
            const int wdt = static_cast<int>(std::lround(std::min(*width, 65280.0)));
            sh.setColWidth(c, wdt);
            st_.widths[static_cast<std::size_t>(c)] = wdt;
        }
        break;
    }
    case Id::ColH:
        if (const int c = column(between(line.substr(0, 10), '[', ']').substr(0, 3))) {
            sh.setColHidden(c, true);
            s.hiddenColumns.push_back(c);
        }
        break;
    case Id::Fix:
        if (std::optional<int> n = parseInt(mid(line, 6, 2)); n && *n >= 0) {
            sh.setFixedRows(sh.fixedRow(), *n);
            if (sh.maxRow() < sh.fixedRow() + *n) {
                sh.setMaxRow(sh.fixedRow() + *n);
            }
        }
        break;
    case Id::Fix0:
        if (std::optional<int> n = parseInt(mid(line, 7, 2)); n && *n >= 1) {
            sh.setFixedRows(*n, sh.fixedRows());
            if (sh.maxRow() < *n + 1) {
                sh.setMaxRow(*n + 1);
            }
        }
        break;
    case Id::Tot:
        if (const int c = column(mid(line, 6, static_cast<std::size_t>(st_.colDigits)))) {
            s.totalsColumns.push_back(c);
            s.totals = true;
        }
        break;
    case Id::Sp: {
        s.subtitle = text(value);
        // The window's own caption, never one an earlier answer already put a subtitle in
        // front of: a re-run must not give "Сальдо: Сальдо: ...".
        std::string former = s.fileCaption;
        if (former.empty()) {
            former = s.caption;
            const std::size_t cut = former.find(": ");
            if (cut != std::string::npos) {
                former.resize(cut);
            }
        }
        s.caption = s.subtitle + ": " + former;
        if (s.exclusive) {
            ctx_.world.closeWindowTitled(s.mainCaption + " - [" + s.caption + "]");
        }
        break;
    }
    case Id::Kursor:
        if (st_.sheetIndex == 1) {
            s.cursor = true;
            s.savedPointer = 1;
        }
        break;
    case Id::EditAll:
        st_.editAll = true;
        s.editable = true;
        s.editAll = true;
        break;
    case Id::Edit:
        if (const int c = column(value)) {
            s.editColumns.push_back(c);
            s.editable = true;
        }
        break;
    case Id::Fzag:
        if (std::optional<int> n = parseInt(mid(line, 7, 2))) {
            s.headerRows = *n;
        }
        break;
    case Id::FixCol:
        if (std::optional<int> n = parseInt(mid(line, 9, 2)); n && *n >= 0) {
            sh.setFixedCols(sh.fixedCol(), *n);
        }
        break;
    case Id::Land: p.landscape = true; break;
    case Id::Color: p.noColor = false; break;
    case Id::Left:
    case Id::Top:
    case Id::Bottom:
        if (std::optional<double> v = parseNumber(value); v && *v >= 0 && *v < 1000) {
            double& m = id == Id::Left  ? p.leftMargin
                        : id == Id::Top ? p.topMargin
                                        : p.bottomMargin;
            m = *v / kMarginFactor;
        }
        break;
    case Id::Page: p.footer = std::string(trimmed(w("Стpаница &P  ") + text(value))); break;
    case Id::Footer: p.footer = text(value); break;
    case Id::Header: p.header = text(value); break;
    case Id::PrintArea: p.area = std::string(value); break;
    case Id::NonSave:
        s.noSave = true;
        ctx_.world.menusChanged();
        break;
    case Id::NonPrint:
        s.noPrint = true;
        ctx_.world.menusChanged();
        break;
    case Id::Pbk:
        // At the current row: the row last read starts a new page.
        if (st_.row >= 1) {
            sh.setRowPageBreak(st_.row, true);
        }
        break;
    case Id::Format: {
        const std::size_t close = line.find(']');
        if (close == std::string_view::npos) {
            break;
        }
        if (const int c = column(between(line, '[', ']'))) {
            s.columnFormats.emplace_back(c, text(afterEquals(line.substr(close)).substr(0, 50)));
        }
        break;
    }
    case Id::AutoW: {
        const std::string_view in = between(line, '[', ']');
        const std::size_t colon = in.find(':');
        const int a = column(in.substr(0, colon));
        const int b = colon == std::string_view::npos ? a : column(in.substr(colon + 1));
        if (a && b) {
            s.autoWidth.emplace_back(std::min(a, b), std::max(a, b));
        }
        break;
    }
    case Id::SetPat: {
        const std::optional<int> a = parseInt(mid(line, 9, 2));
        const std::optional<int> b = parseInt(mid(line, 11, 2));
        if (a && b) {
            s.rowPattern = std::make_pair(*a, *b);
            p.noColor = false;
        }
        break;
    }
    case Id::Save: save(value, true); break;
    case Id::SaveBtn: save(value, false); break;
    case Id::Pt: break;
    case Id::PTitles: p.titles = std::string(value); break;
    case Id::Dp: break;
    case Id::DpN:
        if (value.size() >= 1 && value[0] >= '1' && value[0] <= '5') {
            s.displayParts[static_cast<std::size_t>(value[0] - '1')] = true;
        }
        break;
    case Id::RestartClose: s.restartClose = true; break;
    case Id::ParentRerun: s.parentRerun = true; break;
    case Id::ModalResult: s.modalResult = true; break;
    case Id::IndRerun: s.indexRerun = true; break;
    case Id::NoArgs: s.noArgs = true; break;
    case Id::Index: s.index = text(value); break;
    case Id::Pos: position(text(value)); break;
    case Id::AutoRerun: {
        const std::size_t comma = value.find(',');
        const std::optional<int> ms = parseInt(value.substr(0, comma));
        if (ms && *ms > 0) {
            s.autoRerun = true;
            s.autoRerunMs = *ms;
            s.autoRerunText =
                comma == std::string_view::npos ? std::string() : dos(value.substr(comma + 1));
        }
        break;
    }
    case Id::AutoAlways: s.autoAlways = true; break;
    case Id::AutoSave: s.autoSave = true; break;
    case Id::AllowPaste: s.allowPaste = true; break;
    case Id::NoCalendar:
        s.noCalendar = true;
        ctx_.world.menusChanged();
        break;
    case Id::AutoMsg:
        s.autoMessage = text(value);
        ctx_.world.autoMessage(s.autoMessage);
        break;
    case Id::DoNotBold: s.doNotBold = true; break;
    case Id::Sort1:
    case Id::Sort2:
    case Id::Sort3:
        if (std::optional<int> c = parseInt(mid(line, 8, 3));
            c && *c != 0 && validCol(std::abs(*c))) {
            s.sortKeys[static_cast<std::size_t>(static_cast<int>(id) -
                                                static_cast<int>(Id::Sort1))] = *c;
        }
        break;
    case Id::Filtr: {
        ReportSettings::FilterList f;
        std::string l;
        int n = 0;
        while (next(l)) {
            const std::string_view t = answer::rightTrimmed(l);
            if (answer::startsWithNoCase(t, ";FEND")) {
                break;
            }
            if (n == 0) {
                f.caption = text(t);
            } else if (n == 1) {
                f.column = text(t);
            } else {
                f.values.push_back(text(t));
            }
            ++n;
        }
        s.filterList = std::move(f);
        break;
    }
    case Id::Args: startArguments(value); break;
    case Id::ArgsTree: {
        const std::string_view in = between(line, '[', ']');
        const std::size_t colon = in.find(':');
        s.argumentTree = true;
        s.treeWidth = parseInt(in.substr(0, colon)).value_or(0);
        s.treeColumn = colon == std::string_view::npos ? 0 : column(in.substr(colon + 1));
        const std::size_t close = line.find(']');
        startArguments(afterEquals(line.substr(close == std::string_view::npos ? 0 : close)));
        break;
    }
    case Id::Arg:
        if (args_) {
            const std::string l = dos(value) + "\r\n";
            args_->write(l.data(), static_cast<qint64>(l.size()));
        }
        break;
    case Id::CloseArgs: closeArguments(); break;
    case Id::NObjects:
    case Id::Objects: {
        std::vector<std::string> block{std::string(line)};
        std::string l;
        while (next(l)) {
            block.emplace_back(answer::rightTrimmed(l));
            if (answer::contains(answer::upperAscii(l), ";]O")) {
                break;
            }
        }
        const std::vector<std::string_view> views(block.begin(), block.end());
        ObjectBlock parsed;
        ObjectBlock::parse(views, 0, parsed);
        s.hasObjects = true;
        const std::size_t sheet = static_cast<std::size_t>(std::max(st_.sheetIndex, 1));
        if (s.objectBlocks.size() < sheet) {
            s.objectBlocks.resize(sheet);
        }
        s.objectBlocks[sheet - 1] = std::move(parsed);
        break;
    }
    case Id::Picture: writePicture(value, next); break;
    case Id::Obj:
        if (st_.row >= 1) {
            const int objectCol = std::min(sh.maxCol() + 1, kMaxCols);
            sh.setText(st_.row, objectCol, std::string(line.substr(1)));
            s.hasObjects = true;
        }
        break;
    case Id::Email: s.email = std::string(trimmed(oem(value))); break;
    case Id::PrnNumber: s.printId = std::string(trimmed(oem(value))); break;
    case Id::PdfPrinter: s.pdfPrinter = std::string(trimmed(oem(value))); break;
    case Id::Run: {
        const std::string cmd(trimmed(oem(value)));
        if (!cmd.empty()) {
            ctx_.world.run(cmd);
            s.programsStarted.push_back(cmd);
        }
        break;
    }
    case Id::FileCreate:
    case Id::FileOpen:
    case Id::PrintStr:
    case Id::FileClose: outsideFile(id, line); break;
    case Id::DeleteFile: {
        const std::string path(trimmed(oem(between(line, '[', ']'))));
        if (!path.empty()) {
            QFile::remove(resolvePath(ctx_.currentDir, path));
        }
        break;
    }
    case Id::RenameFile: rename(between(oem(line), '[', ']')); break;
    case Id::FSave: {
        const std::string name(trimmed(oem(between(line, '[', ']'))));
        const std::size_t close = line.find(']');
        const std::optional<int> n = close == std::string_view::npos
                                         ? std::nullopt
                                         : parseInt(afterEquals(line.substr(close)));
        if (!name.empty() && s.saveFiles.size() < ReportSettings::kFiles) {
            s.saveFiles.push_back({name, n});
        }
        break;
    }
    case Id::ListBox: {
        ReportSettings::ListBoxFill fill;
        fill.name = text(between(line, '[', ']'));
        std::string l;
        while (next(l)) {
            const std::string_view t = answer::rightTrimmed(l);
            if (answer::startsWithNoCase(t, ";ENDLIST")) {
                break;
            }
            fill.items.push_back(text(t));
        }
        // Filled into the placed list box once the objects are placed (fillListBoxes).
        s.listBoxes.push_back(std::move(fill));
        break;
    }
    case Id::Table:
        if (st_.nextSheet) {
            // Options of a status line (";table ;cache=...") name no sheet.
            std::string name(trimmed(text(mid(line, 8))));
            st_.nextSheet(!name.empty() && name[0] == ';' ? std::string() : name);
        }
        break;
    case Id::AllowPop: s.popupAllowance = parseInt(value); break;
    case Id::Popup: {
        const std::size_t open = value.find('[');
        const std::string caption = text(value.substr(0, open));
        if (!trimmed(caption).empty()) {
            s.popupItems.push_back(caption);
        }
        if (open != std::string_view::npos) {
            const std::string_view menu = value.substr(open + 1);
            s.popupReport = std::string(trimmed(text(menu.substr(0, menu.find(']')))));
        }
        break;
    }
    case Id::Tot4: break;
    case Id::Cache: s.windowCache = std::string(trimmed(text(mid(line, 8)))); break;
    case Id::IndVal: break;
    case Id::Object: s.hasObjects = true; break;
    case Id::RowHeightFix: break;
    }
}

void ServiceInstructions::save(std::string_view value, bool button) {
    ReportSettings& s = ctx_.settings;
    const std::size_t open = value.find('[');
    s.saveInstruction = dos(trimmed(value.substr(0, open)));
    s.saveColumns.clear();
    if (open != std::string_view::npos) {
        std::string_view nums = between(value.substr(open), '[', ']');
        while (true) {
            const std::size_t comma = nums.find(',');
            std::optional<int> n = parseInt(nums.substr(0, comma));
            s.saveColumns.push_back(n);
            if (comma == std::string_view::npos) {
                break;
            }
            nums.remove_prefix(comma + 1);
        }
    }
    s.saveButton = s.saveButton || button;
}

void ServiceInstructions::position(std::string_view v) {
    ReportSettings& s = ctx_.settings;
    s.positionSet = true;
    s.positionRow = 0;
    s.positionKeyWanted.clear();
    std::string_view where;
    std::string_view colText;
    if (!v.empty() && v[0] == '"') {
        const std::size_t close = v.find('"', 1);
        s.positionKeyWanted =
            std::string(v.substr(1, close == std::string_view::npos ? close : close - 1));
        const std::size_t colon = close == std::string_view::npos ? close : v.find(':', close);
        colText = colon == std::string_view::npos ? std::string_view() : v.substr(colon + 1);
    } else {
        const std::size_t colon = v.rfind(':');
        where = trimmed(v.substr(0, colon));
        colText = colon == std::string_view::npos ? std::string_view() : v.substr(colon + 1);
        if (std::optional<int> r = parseInt(where); r && validRow(*r)) {
            s.positionRow = *r;
        } else {
            s.positionKeyWanted = std::string(where);
        }
    }
    s.positionCol = parseInt(colText).value_or(0);
}

void ServiceInstructions::startArguments(std::string_view name) {
    closeArguments();
    const std::string path(trimmed(oem(name)));
    if (path.empty()) {
        return;
    }
    // Written whole or not at all: the argument bar never reads half a file.
    args_ = std::make_unique<QSaveFile>(resolvePath(ctx_.currentDir, path));
    if (!args_->open(QIODevice::WriteOnly)) {
        args_.reset();
        ctx_.prompter.error(w("Не могу создать файл ") + path);
        return;
    }
    argsName_ = path;
}

void ServiceInstructions::closeArguments() {
    if (!args_) {
        return;
    }
    if (args_->commit()) {
        ctx_.settings.argumentFile = argsName_;
    } else {
        ctx_.prompter.error(w("Не могу создать файл ") + argsName_);
    }
    args_.reset();
}

void ServiceInstructions::finish() { closeArguments(); }

void ServiceInstructions::writePicture(std::string_view name, const NextLine& next) {
    std::string bytes;
    std::string l;
    while (next(l)) {
        const std::string_view t = trimmed(l);
        if (answer::contains(answer::upperAscii(t), ";]O")) {
            break;
        }
        for (std::size_t i = 0; i + 1 < t.size(); i += 2) {
            const int hi = hexDigit(t[i]);
            const int lo = hexDigit(t[i + 1]);
            if (hi < 0 || lo < 0) {
                break;
            }
            bytes.push_back(static_cast<char>(hi * 16 + lo));
        }
    }
    const std::string path(trimmed(oem(name)));
    if (path.empty()) {
        return;
    }
    QSaveFile file(resolvePath(ctx_.currentDir, path));
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
            static_cast<qint64>(bytes.size()) ||
        !file.commit()) {
        ctx_.prompter.error(w("Не могу создать файл ") + path);
        return;
    }
    ctx_.settings.picturesWritten.push_back(path);
}

void ServiceInstructions::rename(std::string_view args) {
    const std::size_t comma = args.find(',');
    if (comma == std::string_view::npos) {
        return;
    }
    const std::string from(trimmed(args.substr(0, comma)));
    const std::string to(trimmed(args.substr(comma + 1)));
    if (from.empty() || to.empty()) {
        return;
    }
    const QString a = resolvePath(ctx_.currentDir, from);
    const QString b = resolvePath(ctx_.currentDir, to);
    // The old file must be there before the new name is given up: a missing source
    // would otherwise cost the target file for nothing. std::rename replaces the target in
    // one step.
    if (!QFile::exists(a) ||
        std::rename(QFile::encodeName(a).constData(), QFile::encodeName(b).constData()) != 0) {
        ctx_.prompter.message(w("Ошибка"),
                              w("Невозможно переименовать файл ") + "\"" + from + "\" " + w("в") +
                                  " \"" + to + "\"!",
                              Prompter::Icon::Error);
    }
}

void ServiceInstructions::outsideFile(Id id, std::string_view line) {
    const std::string_view in = between(line, '[', ']');
    const std::size_t comma = in.find(',');
    // An index that cannot be read counts as 1.
    const int place = parseInt(in.substr(0, comma)).value_or(1);
    OutsideFiles& files = ctx_.files;
    const std::size_t close = line.find(']');
    const std::string_view rest =
        close == std::string_view::npos ? std::string_view() : line.substr(close + 1);
    const std::string_view value =
        rest.empty() || rest[0] != '=' ? std::string_view() : rest.substr(1);
    switch (id) {
    case Id::FileCreate:
    case Id::FileOpen: {
        const bool dosFile = comma != std::string_view::npos &&
                             answer::upperAscii(trimmed(in.substr(comma + 1))) == "DOS";
        const std::string path(trimmed(oem(value)));
        if (id == Id::FileCreate) {
            files.create(place, path, dosFile);
        } else {
            files.open(place, path, dosFile);
        }
        break;
    }
    case Id::PrintStr: files.print(place, value, !st_.converted); break;
    case Id::FileClose: files.close(place); break;
    default: break;
    }
}

} // namespace fc
