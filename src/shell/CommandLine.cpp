#include "shell/CommandLine.h"

#include "components/text/Cp1251.h"

namespace fc {

namespace {

// "--name" or "--name=VALUE": the value (possibly empty) after "=", or a null string.
bool isOption(const QString& arg, QLatin1String name, QString& inlineValue) {
    if (arg == name) {
        inlineValue = QString();
        return true;
    }
    if (arg.startsWith(name) && arg.size() > name.size() && arg.at(name.size()) == u'=') {
        inlineValue = arg.mid(name.size() + 1);
        return true;
    }
    return false;
}

} // namespace

CommandLine parseCommandLine(const QStringList& arguments) {
    CommandLine cl;
    bool haveFirst = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        QString value;
        const bool start = isOption(a, QLatin1String("--start"), value);
        const bool open = !start && isOption(a, QLatin1String("--open"), value);
        if (start || open) {
            // A value of its own is the next argument unless that is another option, so that
            // a menu entry whose file placeholder was dropped still starts cleanly; a bare
            // "--start" leaves an offline "@NAME" after it alone.
            const QString next = i + 1 < arguments.size() ? arguments[i + 1] : QString();
            if (value.isNull() && !next.isEmpty() && !next.startsWith('-') &&
                !(start && next.startsWith('@'))) {
                value = next;
                ++i;
            }
            if (start) {
                cl.start = true;
                cl.startDir = value;
            } else if (!value.isEmpty()) {
                cl.openFile = value;
            }
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            cl.help = true;
        } else if (!haveFirst) {
            haveFirst = true;
            cl.first = cp1251::fromQString(a);
        }
    }
    if (cl.help) {
        cl.first.clear();
    }
    return cl;
}

std::string commandLineHelp() {
    return "Использование: formconstructor [--start [КАТАЛОГ]] [--open ФАЙЛ] [ПАРАМЕТР]\n"
           "\n"
           "Конструктор форм: дизайнер шаблонов отчётов и клиент сервера отчётности.\n"
           "Файлы настроек (path.wd, klp.opt, klf.opt, POSLED.LST, clw.pth) и каталог CACHE\n"
           "лежат в каталоге запуска: это текущий каталог, если не задан --start.\n"
           "\n"
           "--start КАТАЛОГ  каталог запуска (создаётся, если его нет).\n"
           "--start          каталог запуска пользователя: formconstructor в каталоге\n"
           "                 настроек XDG ($XDG_CONFIG_HOME, обычно ~/.config).\n"
           "--open ФАЙЛ      открыть шаблон (.rpt) или книгу (.xls, .vts) в окне\n"
           "                 дизайнера, как команда «Откpыть» (F3).\n"
           "ПАРАМЕТР         передаётся серверу в поле «кто» запросов журнала печати.\n"
           "@ИМЯ             автономный режим: окна отчётов не обращаются к серверу, а читают\n"
           "                 ответ из файла CACHE/ИМЯ каталога запуска.\n"
           "-h, --help       показать эту справку и выйти.\n";
}

} // namespace fc
