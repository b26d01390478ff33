// Drawn objects of a form placed into a result sheet by the placement records of its rows.
#include "components/model/Sheet.h"
#include "components/model/Workbook.h"
#include "exchange/ObjectPlacement.h"

#include <gtest/gtest.h>

#include <vector>

namespace fc {
namespace {

std::vector<double> corners(const DrawnObject& o) { return {o.x1, o.y1, o.x2, o.y2}; }

TEST(PlacedObjects, KeepTheDirectionOfTheFormsCopy) {
    Workbook form;
    Sheet& f = form.sheet();
    // A line drawn upwards and an arc from upper right to lower left, as the form keeps them.
    DrawnObject line;
    line.kind = ObjectKind::Line;
    line.x1 = 1, line.y1 = 2, line.x2 = 3, line.y2 = 0.5;
    const int lineId = f.addObject(line);
    DrawnObject arc;
    arc.kind = ObjectKind::Arc;
    arc.x1 = 4, arc.y1 = 0, arc.x2 = 2, arc.y2 = 1;
    const int arcId = f.addObject(arc);

    Workbook result;
    Sheet& s = result.sheet();
    // The records give the edges, left before right and the top's fraction of the row.
    s.setText(3, 2, "OBJ=1.50|3.50|0.25|1.50|" + std::to_string(lineId) + "|1|[");
    s.setText(5, 2, "2.00|4.00|0.50|2.00|" + std::to_string(arcId) + "|4|[");
    EXPECT_EQ(placeFormObjects(s, f, 10), 2);
    ASSERT_EQ(s.objects().size(), 2u);
    EXPECT_EQ(corners(s.objects()[0]), (std::vector<double>{1.5, 3.75, 3.5, 2.25}))
        << "still rising";
    EXPECT_EQ(corners(s.objects()[1]), (std::vector<double>{4, 4.5, 2, 6.5}));
    EXPECT_EQ(s.text(3, 2), "") << "the records are no text of the result";
}

} // namespace
} // namespace fc
