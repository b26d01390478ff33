#include "results/FilterForm.h"

#include "components/text/TextOps.h"

namespace fc {

bool FilterForm::blank() const {
    for (const std::string* t :
         {&s1, &s2, &amount, &amountFrom, &amountTo, &date, &dateFrom, &dateTo}) {
        if (!text::trimView(*t).empty()) {
            return false;
        }
    }
    return !chosen;
}

void FilterForm::clear() {
    for (std::string* t : {&s1, &s2, &amount, &amountFrom, &amountTo, &date, &dateFrom, &dateTo}) {
        t->clear();
    }
    chosen.reset();
    ncol.clear();
}

std::string FilterForm::display(const std::string& item) {
    return item.substr(0, item.find(static_cast<char>(0xB7)));
}

} // namespace fc
