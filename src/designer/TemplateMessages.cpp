#include "designer/TemplateMessages.h"

#include "components/text/Cp1251.h"

namespace fc::templatemsg {

std::string cannotOpen() { return w("Не могу откpыть файл !!!"); }
std::string readError() { return w("Ошибка пpи чтении фоpмы!"); }
std::string saveError() { return w("Ошибка сохpанения файла !"); }
std::string stagingError() { return w("Не могу откpыть .tmp файл!"); }
std::string companionMissing() { return w("Не найден шаблон "); }
std::string turboSaveError() { return w("Ошибка сохpанения !"); }
std::string notAllLoaded() { return w("Не вся фоpма загpужена !"); }
std::string objectPlacement() { return w("Ошибка pасположения oбъекта!!!"); }
std::string turboManySheets() {
    return w("В формате \"TURBO\" форма не может быть многостраничной!");
}
std::string turboSaveCaption() { return w("Ошибка сохранения:"); }
std::string notTemplate(const std::string& name) {
    return w("Файл ") + name +
           w(" - рабочая книга, а не шаблон отчета: откройте книгу как .xls или .vts");
}
std::string notExcelWorkbook(const std::string& name) {
    return w("Файл ") + name + w(" не является книгой Excel 97");
}
std::string notNativeWorkbook(const std::string& name) {
    return w("Файл ") + name + w(" не является книгой VTS");
}
std::string turboVerticalMerge() {
    return w("В форме формата \"турбо\" нельзя использовать вертикальное объединение ячеек!");
}

} // namespace fc::templatemsg
