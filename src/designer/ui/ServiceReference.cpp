#include "designer/ui/ServiceReference.h"

#include "components/text/Cp1251.h"
#include "components/ui/SheetView.h"
#include "designer/DesignerMessages.h"

#include <QVBoxLayout>

namespace fc {

namespace servicereference {

const std::vector<Entry>& entries() {
    static const std::vector<Entry> list = {
        {";fix=<n>", "Закрепить n строк шапки отчёта: они остаются на экране при прокрутке."},
        {";fix0=<n0>", "Номер строки, с которой начинаются закреплённые строки шапки."},
        {";fixcol=<n>",
         "Закрепить n первых столбцов: они остаются на экране при прокрутке вправо."},
        {";colh[<i>]", "Скрыть столбец i результата."},
        {";AUTOW[<i>]", "Подбирать ширину столбца i (или столбцов i:j) по содержимому."},
        {";SP=<title>", "Подзаголовок отчёта: добавляется к заголовку окна отчёта."},
        {";KURSOR", "Показывать в отчёте обычный указатель мыши (стрелку)."},
        {";SORT1=<i>", "Первый ключ сортировки: номер столбца i."},
        {";SORT2=<-j>", "Второй ключ сортировки; знак \"-\" перед номером - по убыванию."},
        {";SORT3=<k>", "Третий ключ сортировки."},
        {";EDIT", "Разрешить правку всех столбцов отчёта (со 2-го до последнего)."},
        {";EDIT=<i>", "Разрешить правку только столбца i."},
        {";ALLOW_PASTE", "Разрешить вставку данных из буфера обмена в отчёт."},
        {";tot=<i>", "Подводить итоги по столбцу i (итоговые строки пересчитываются при отборе)."},
        {";non_save", "Запретить сохранение отчёта (пункт \"Сохранить\" недоступен)."},
        {";non_print", "Запретить печать отчёта (пункт \"Печать\" недоступен)."},
        {";ARGS=<имя фоpмы>.arg",
         "Создать файл аргументов формы; следующие строки ;ARG= пишутся в него."},
        {";ARGS_TREE[<w>:<n>]=<имя фоpмы>.arg",
         "То же в виде дерева: w - ширина панели, n - столбец с ключом."},
        {";ARG=<f1> <наименование кнопки> *",
         "Кнопка аргумента: поле f1, надпись кнопки; \"*\" - аргумент по умолчанию."},
        {";ARG=<f1>|<f2> <наименование кнопки>", "Кнопка аргумента с двумя полями f1 и f2."},
        {";ARG=[пpиложение.exe <param1>] <наименование кнопки>",
         "Кнопка, запускающая внешнее приложение с параметрами."},
        {";ARG=[%<n>] <наименование кнопки>      (n - номеp колонки)",
         "Кнопка, берущая аргумент из столбца n выделенной строки."},
        {";CLOSEARGS", "Закрыть файл аргументов формы."},
        {";no_args", "Не показывать панель аргументов."},
        {";AUTORERUN=<int>[,<запpос>]",
         "Обновлять отчёт каждые int миллисекунд; после запятой - запрос для обновления."},
        {";AUTOALWAYS", "Обновлять отчёт, даже когда его окно не активно."},
        {";AUTOMSG=[Заголовок сообщения]Текст сообщения",
         "Показать сообщение с заголовком в квадратных скобках после загрузки."},
        {";SAVEBTN=<имя фоpмы ", "Инструкция сохранения данных без кнопки \"Сохранить\" (имя формы "
                                 "и номера столбцов в [ ])."},
        {";AUTOSAVE", "Сохранять изменённые строки без вопроса."},
        {";close {сообщение}", "Закрыть окно отчёта; в фигурных скобках - сообщение пользователю."},
        {";restart_close", "Перезапускать отчёт при каждой активизации его окна."},
        {";parent_rerun", "Перезапустить родительский отчёт при закрытии этого."},
        {";modal_result", "Окно-результат: при закрытии передаёт выбор в родительское окно."},
        {";ind_rerun", "При перезапуске вернуться к той же строке и столбцу."},
        {";INDEX=<S>", "Ключ позиционирования S."},
        {";INDVAL", "Turbo-формат: значения ключа позиционирования."},
        {";PBK", "Разрыв страницы при печати перед этой строкой."},
        {";FILTR", "Начало списка значений фильтров (до ;FEND)."},
        {";FEND", "Конец списка значений фильтров."},
        {";LISTBOX[<имя>]",
         "Заполнить список (объект) с этим именем следующими строками до ;ENDLIST."},
        {";ENDLIST", "Конец строк списка."},
        {";POPUP=<значение> {<наименование>}",
         "Пункт контекстного меню отчёта: значение и наименование пункта."},
        {";ALLOWPOP=<i>", "Разрешить всплывающие окна отчёта (i - разрешение)."},
        {"[<i>]", "Тэг ячейки: номер действия i, выполняемого по Enter или двойному щелчку."},
        {"[;save]", "Тэг: сохранить данные отчёта."},
        {"[;close=<i>:<j>;<l>:<k>;...]",
         "Тэг: закрыть окно, передав значения столбцов i:j, l:k в родительское окно."},
        {"[;rformula]", "Тэг: восстановить формулы отчёта."},
        {"[;fsave]", "Тэг: записать лист в файл перед действием."},
        {";EMAIL=<Адрес эл. почты>", "Адрес электронной почты для отправки отчёта."},
        {";NO_CALENDAR", "Не показывать календарь отчётного периода."},
        {";DO_NOTBOLD", "Не выделять жирным шрифтом итоговые строки."},
        {";CACHE=<имя файла>", "Turbo-формат: имя, под которым ответ хранится в кэше."},
        {";PRNNUMBER=<Строковое значение>",
         "Идентификатор печати, отправляемый серверу после печати."},
        {";PDF_PRINTER=<Сетевой путь к PDF-принтеру>",
         "Сетевой путь к PDF-принтеру для вывода в PDF."},
        {";PICTURE=<Имя файла>",
         "Картинка, переданная в шестнадцатеричном виде, записывается в файл."},
        {";POS=<r>(или \"<Строка>\"):<с>",
         "Положение курсора после загрузки: строка r (или строка с текстом) и столбец c."},
        {";RUN=<Запускаемая программа с параметрами>", "Запустить программу с параметрами."},
        {";FileCreate[<n>,WIN]=<Имя файла>", "Создать внешний файл n (WIN или DOS - кодировка)."},
        {";FileOpen[<n>,WIN]=<Имя файла>", "Открыть внешний файл n для дописывания."},
        {";printstr[<n>]=Строка для печати в файл", "Записать строку во внешний файл n."},
        {";FileClose[<n>]", "Закрыть внешний файл n."},
        {";DeleteFile[<имя файла>]", "Удалить файл."},
        {";RenameFile[<имя файла1>,<имя файла2>]", "Переименовать файл1 в файл2."},
        {";FSAVE[<имя файла>]=<номер колонки>",
         "Зарегистрировать файл сохранения листа со столбцом."},
    };
    return list;
}

const std::vector<const char*>& definitions() {
    static const std::vector<const char*> list = {
        "Служебная инструкция - строка, начинающаяся с \";\" и набранная в 1-м столбце с первой "
        "позиции. В табличном формате инструкции пишутся в любом порядке, в turbo-формате - "
        "всегда до полезного содержимого.",
        "Тэг - текст в квадратных скобках \"[ ... ]\", делающий ячейку активной.",
        "Действие над ячейкой - Enter, двойной щелчок или работа с элементом управления, "
        "связанным с ячейкой.",
    };
    return list;
}

} // namespace servicereference

namespace {

constexpr char kPlainText[] = "@";
constexpr char kRedText[] = "[Red]@";

} // namespace

ServiceReferenceDialog::ServiceReferenceDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Form12"));
    setWindowTitle(cp1251::toQString(designermsg::referenceTitle()));
    Sheet& s = book_.sheet();
    const auto& defs = servicereference::definitions();
    int row = 1;
    for (const char* d : defs) {
        s.setText(row, 1, w(d));
        s.editStyle({row, 1, row, 2}, [](Style& st) {
            st.font.bold = true;
            st.wrap = true;
            st.valign = VAlign::Top;
        });
        s.merge({row, 1, row, 2});
        if (row == 1) {
            s.setRowHeight(row, 510); // the first definition takes two lines
        }
        ++row;
    }
    for (const servicereference::Entry& e : servicereference::entries()) {
        s.setText(row, 1, w(e.form));
        s.setText(row, 2, w(e.description));
        s.editStyle(CellRange::cell(row, 1), [](Style& st) { st.numberFormat = kPlainText; });
        ++row;
    }
    s.setMaxRow(row - 1);
    s.setMaxCol(2);
    s.setColWidth(1, 56 * 256);
    s.setColWidth(2, 84 * 256);
    ViewOptions v = book_.view();
    v.showGridLines = false;
    book_.setView(v);
    book_.allow().allowInCellEditing = false;
    book_.allow().allowDelete = false;
    book_.allow().allowMoveRange = false;
    book_.allow().allowFillRange = false;
    s.setSelection(CellRange::cell(kFirstEntryRow, 1));

    view_ = new SheetView(this);
    view_->setWorkbook(&book_);
    view_->setObjectName(QStringLiteral("vbvbn"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    resize(1000, 560);

    connect(view_, &SheetView::selChange, this, [this] { markSelected(); });
    connect(view_, &SheetView::dblClick, this, [this](int r, int, bool* consumed) {
        *consumed = true;
        choose(r);
    });
    connect(view_, &SheetView::keyDown, this, [this](SheetKeyEvent* e) {
        if (e->qtKey == Qt::Key_Return || e->qtKey == Qt::Key_Enter) {
            e->consumed = true;
            choose(book_.sheet().activeCell().row);
        }
    });
    markSelected();
}

ServiceReferenceDialog::~ServiceReferenceDialog() {
    delete view_;
    view_ = nullptr;
}

void ServiceReferenceDialog::markSelected() {
    Sheet& s = book_.sheet();
    const int row = s.activeCell().row;
    if (row == marked_) {
        return;
    }
    if (marked_ >= kFirstEntryRow) {
        s.editStyle(CellRange::cell(marked_, 1), [](Style& st) { st.numberFormat = kPlainText; });
    }
    marked_ = 0;
    if (row >= kFirstEntryRow && row <= s.maxRow()) {
        s.editStyle(CellRange::cell(row, 1), [](Style& st) { st.numberFormat = kRedText; });
        marked_ = row;
    }
}

void ServiceReferenceDialog::choose(int row) {
    const std::string text = book_.sheet().text(row, 1);
    if (text.empty() || (text[0] != ';' && text[0] != '[')) {
        return;
    }
    if (text[0] != ';') {
        return; // tags go into cells, not in front of a statement
    }
    if (target_) {
        target_(cp1251::toQString(text));
    }
    accept();
}

} // namespace fc
