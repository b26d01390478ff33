#include "shell/CommandLine.h"

#include "components/text/Cp1251.h"

namespace fc {

CommandLine parseCommandLine(const QStringList& arguments) {
    CommandLine cl;
    for (const QString& a : arguments) {
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            cl.help = true;
        }
    }
    if (!arguments.isEmpty() && !cl.help) {
        cl.first = cp1251::fromQString(arguments.front());
    }
    return cl;
}

std::string commandLineHelp() {
    return "Использование: formconstructor [ПАРАМЕТР]\n"
           "\n"
           "Конструктор форм: дизайнер шаблонов отчётов и клиент сервера отчётности.\n"
           "Файлы настроек (path.wd, klp.opt, klf.opt, clw.pth) читаются из текущего\n"
           "каталога, в котором программа запущена.\n"
           "\n"
           "ПАРАМЕТР   передаётся серверу в поле «кто» запросов журнала печати.\n"
           "@ИМЯ       автономный режим: окна отчётов не обращаются к серверу, а читают\n"
           "           ответ из файла CACHE/ИМЯ текущего каталога.\n"
           "...;EXCL   отчёт с подзаголовком закрывает другой запущенный экземпляр\n"
           "           программы, показывающий тот же отчёт.\n"
           "-h, --help показать эту справку и выйти.\n";
}

} // namespace fc
