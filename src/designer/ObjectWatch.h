#pragma once

#include "components/model/DrawnObject.h"

#include <vector>

namespace fc {

class Workbook;

// Tells whether the drawn objects of a workbook changed since it last looked: moved, sized,
// formatted, added or removed on any sheet. Selecting an object is no change. The sheet view
// moves and formats objects without reporting a layout change, so the designer asks this
// whenever the view changes.
class ObjectWatch {
public:
    // Takes the objects as they are now as the state to compare with.
    void sync(const Workbook& book);
    // Whether they differ from that state; the state becomes the current one.
    bool changed(const Workbook& book);

private:
    std::vector<std::vector<DrawnObject>> sheets_;
};

// Two objects alike in everything but their selection.
bool sameObject(const DrawnObject& a, const DrawnObject& b);

} // namespace fc
