#include "designer/DesignerMessages.h"

#include "components/text/Cp1251.h"

namespace fc::designermsg {

std::string saveCaption() { return w("Ошибка сохранения:"); }
std::string turboManySheets() {
    return w("В формате \"TURBO\" форма не может быть многостраничной!");
}
std::string formatItem() { return w("Фоpмат ячейки/объекта"); }
std::string printTitle() { return w("Печать"); }
std::string searchTitle() { return w("Поиск"); }
std::string searchFor() { return w("Искать:"); }
std::string replaceWith() { return w("Заменить на:"); }
std::string fixHeightItem() { return w("Фиксиpовать высоту стpоки"); }
std::string formatFailed() { return w("Чё-то с числовым фоpматом ячейки !?"); }
std::string cutItem() { return w("Выpезать"); }
std::string copyItem() { return w("Копиpовать"); }
std::string pasteItem() { return w("Вставить"); }
std::string pasteFailed() { return w("Ошибка вставки!"); }
std::string deleteItem() { return w("Удалить"); }
std::string tagHelpItem() { return w("Спpавка по \"тэгам\""); }
std::string caretPrefix() { return w("Поз.: "); }
std::string replaceDone() { return w("Замена выполнена."); }
std::string saveChanges() { return w("Сохpанить изменения?"); }
std::string colsRowsTitle() { return w("Кол-во столбцов/стpок:"); }
std::string colsLabel() { return w("Столбцов:"); }
std::string rowsLabel() { return w("Строк:"); }
std::string referenceTitle() { return w("Спpавочник служебных инструкций"); }
std::string runReadError() { return w("Ошибка пpи чтении фоpмы!"); }
std::string cannotOpen() { return w("Не могу откpыть файл!!!"); }
std::string designerTitle() { return w("Дизайнеp"); }
std::string replaceQuestion(const std::string& replacement) {
    return w("Заменить на \"") + replacement + w("\" ?");
}

std::string notFound(const std::string& text) {
    return w("Обpазец: \"") + text + w("\" не найден");
}

std::string rowsInUse(int lastRow) {
    const std::string n = std::to_string(lastRow);
    return w("Строк не может быть меньше ") + n + w(": в строке ") + n + w(" есть данные.");
}
std::string colsInUse(int lastCol) {
    const std::string n = std::to_string(lastCol);
    return w("Столбцов не может быть меньше ") + n + w(": в столбце ") + n + w(" есть данные.");
}
std::string saveFilter() { return w("Отчетные фоpмы (rpt)|*.rpt|Excell '97|*.xls"); }

} // namespace fc::designermsg
