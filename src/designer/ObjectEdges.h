#pragma once

#include "components/model/DrawnObject.h"

namespace fc::objects {

// `o` moved to the edges left, top, right, bottom (left <= right, top <= bottom), keeping the
// order of its corners, which is the direction of a line or an arc, and shifting a polygon's
// vertices with its box.
void setEdges(DrawnObject& o, double left, double top, double right, double bottom);

} // namespace fc::objects
