#include "designer/ObjectEdges.h"

#include <algorithm>

namespace fc::objects {

void setEdges(DrawnObject& o, double left, double top, double right, double bottom) {
    const double dx = left - std::min(o.x1, o.x2);
    const double dy = top - std::min(o.y1, o.y2);
    // A corner that came first stays first: a line drawn upwards keeps rising.
    const bool flipX = o.x1 > o.x2;
    const bool flipY = o.y1 > o.y2;
    o.x1 = flipX ? right : left;
    o.x2 = flipX ? left : right;
    o.y1 = flipY ? bottom : top;
    o.y2 = flipY ? top : bottom;
    for (auto& p : o.points) {
        p.first += dx;
        p.second += dy;
    }
}

} // namespace fc::objects
