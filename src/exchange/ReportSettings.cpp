#include "exchange/ReportSettings.h"

namespace fc {

void ReportSettings::clear() {
    ReportSettings fresh;
    fresh.caption = std::move(caption);
    fresh.fileCaption = std::move(fileCaption);
    fresh.positionKey = std::move(positionKey);
    fresh.positionKeyCol = positionKeyCol;
    fresh.openedFromDesigner = openedFromDesigner;
    fresh.exclusive = exclusive;
    fresh.mainCaption = std::move(mainCaption);
    fresh.requestContext = std::move(requestContext);
    fresh.filterActive = filterActive;
    *this = std::move(fresh);
}

} // namespace fc
