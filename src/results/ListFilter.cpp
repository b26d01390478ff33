#include "results/ListFilter.h"

#include "components/text/Cp1251.h"
#include "exchange/ReportRun.h"
#include "exchange/Requests.h"
#include "shell/AppSettings.h"

namespace fc {

namespace {

bool blankStart(std::string_view line) {
    const std::string_view head = line.substr(0, 9);
    return head.find_first_not_of(' ') == std::string_view::npos;
}

} // namespace

std::vector<std::size_t> filterListLines(const std::vector<std::string>& lines,
                                         std::string_view what) {
    const std::string wanted = cp1251::upper(what);
    std::vector<std::size_t> kept;
    std::vector<bool> heading;
    for (std::size_t i = 0; i < lines.size();) {
        const std::string& line = lines[i];
        if (blankStart(line)) {
            ++i; // a continuation line without its record
            continue;
        }
        if (line[0] == ' ') {
            kept.push_back(i);
            heading.push_back(true);
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        std::string record = line;
        while (end < lines.size() && blankStart(lines[end])) {
            record += "\r\n" + lines[end];
            ++end;
        }
        if (cp1251::upper(record).find(wanted) != std::string::npos) {
            for (std::size_t k = i; k < end; ++k) {
                kept.push_back(k);
                heading.push_back(false);
            }
        }
        i = end;
    }
    std::vector<std::size_t> out;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        if (!(heading[i] && (i + 1 == kept.size() || heading[i + 1]))) {
            out.push_back(kept[i]);
        }
    }
    return out;
}

std::string filterResetName(const NameSource& names) { return "filt" + names().substr(4, 4); }

void ReRunFiltr(ReportRun& run, const AppSettings& settings, const NameSource& names) {
    run.setContext(settings.requestPrefix() + request::stripPrefix(run.context()));
    run.setRequestName(filterResetName(names));
    run.WriteZapros();
}

} // namespace fc
