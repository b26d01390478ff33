// The control's operations on drawn objects: creation, walking, position, text, values with
// their linked cells, selection and deletion.
#include "components/formula/References.h"
#include "components/model/Sheet.h"
#include "components/model/Workbook.h"
#include "components/text/Cp1251.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace fc {

namespace {

constexpr double kTwipsPerPixel = 15;

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

bool finite(double a, double b, double c, double d) {
    return std::isfinite(a) && std::isfinite(b) && std::isfinite(c) && std::isfinite(d);
}

// The number a control reads from its linked cell.
double cellNumber(const Value& v) {
    switch (v.kind) {
    case ValueKind::Number:
    case ValueKind::Boolean: return v.number;
    case ValueKind::Text: {
        std::string t = v.text;
        for (char& ch : t) {
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        }
        if (t == "TRUE") {
            return 1;
        }
        char* end = nullptr;
        const double d = std::strtod(t.c_str(), &end);
        return end != t.c_str() && *end == '\0' ? d : 0;
    }
    default: return 0;
    }
}

// A linked cell's text with its row(s) moved by `rows`; the sheet prefix and "$" stay.
std::string movedLinkRow(const std::string& link, int rows) {
    formula::RefText r;
    if (!formula::parseReference(link, r) || r.kind == formula::RefText::Cols) {
        return link;
    }
    r.a.row = std::clamp(r.a.row + rows, 1, kMaxRows);
    r.b.row = std::clamp(r.b.row + rows, 1, kMaxRows);
    std::string out = link.substr(0, r.aBegin) + formula::formatEnd(r.a, r.kind);
    if (r.kind != formula::RefText::Cell) {
        out += ":" + formula::formatEnd(r.b, r.kind);
    }
    return out;
}

} // namespace

int Sheet::createObject(ObjectKind kind, double x1, double y1, double x2, double y2) {
    if (!validObjectKind(static_cast<int>(kind)) || !finite(x1, y1, x2, y2)) {
        return 0;
    }
    DrawnObject o;
    o.kind = kind;
    if (kind == ObjectKind::Line) {
        o.x1 = x1, o.y1 = y1, o.x2 = x2, o.y2 = y2;
    } else {
        o.x1 = std::min(x1, x2), o.x2 = std::max(x1, x2);
        o.y1 = std::min(y1, y2), o.y2 = std::max(y1, y2);
    }
    if (kind == ObjectKind::Polygon) {
        // Drawn with the mouse it gets its own vertices; made from a box it is a triangle.
        o.points = {{o.x1, o.y2}, {(o.x1 + o.x2) / 2, o.y1}, {o.x2, o.y2}};
    }
    if (kind == ObjectKind::Picture) {
        o.heightPx = static_cast<int>(std::lround(pixelsBetween(o.y1, o.y2)));
    }
    const int id = addObject(std::move(o));
    DrawnObject* made = object(id);
    if (kind == ObjectKind::Button) {
        made->text = w("Кнопка") + " " + std::to_string(id);
    } else if (kind == ObjectKind::CheckBox) {
        made->text = w("Чекбокс") + " " + std::to_string(id);
    }
    book_->setModified(true);
    return id;
}

int Sheet::firstObject() const { return objects_.empty() ? 0 : objects_.front().id; }

int Sheet::nextObject(int id) const {
    for (std::size_t i = 0; i + 1 < objects_.size(); ++i) {
        if (objects_[i].id == id) {
            return objects_[i + 1].id;
        }
    }
    return 0;
}

void Sheet::moveObjectToRow(int id, int row) {
    DrawnObject* o = object(id);
    if (!o || !validRow(row)) {
        return;
    }
    const double top = std::min(o->y1, o->y2);
    const int oldRow = static_cast<int>(std::floor(top)) + 1;
    const double delta = (row - oldRow);
    o->y1 += delta;
    o->y2 += delta;
    for (auto& p : o->points) {
        p.second += delta;
    }
    if (o->kind == ObjectKind::Picture && o->heightPx > 0) {
        // Rows of other heights around the new place: the picture keeps its pixels.
        const double newTop = top + delta;
        const double bottom = rowsBelow(newTop, o->heightPx);
        (o->y1 <= o->y2 ? o->y2 : o->y1) = bottom;
    }
    if ((o->kind == ObjectKind::CheckBox || o->kind == ObjectKind::ListBox) &&
        !o->linkedCell.empty() && row != oldRow) {
        o->linkedCell = movedLinkRow(o->linkedCell, row - oldRow);
    }
    structureChanged();
}

bool Sheet::setObjectPosition(int id, double x1, double y1, double x2, double y2) {
    DrawnObject* o = object(id);
    if (!o || !finite(x1, y1, x2, y2)) {
        return false;
    }
    if (o->kind != ObjectKind::Line) {
        std::tie(x1, x2) = std::minmax(x1, x2);
        std::tie(y1, y2) = std::minmax(y1, y2);
    }
    if (!o->points.empty()) {
        // Vertices keep their place within the box; a flat box only moves them.
        const double ox = std::min(o->x1, o->x2), oy = std::min(o->y1, o->y2);
        const double ow = std::fabs(o->x2 - o->x1), oh = std::fabs(o->y2 - o->y1);
        const double nx = std::min(x1, x2), ny = std::min(y1, y2);
        const double nw = std::fabs(x2 - x1), nh = std::fabs(y2 - y1);
        for (auto& [px, py] : o->points) {
            px = ow > 0 ? nx + (px - ox) * nw / ow : px + nx - ox;
            py = oh > 0 ? ny + (py - oy) * nh / oh : py + ny - oy;
        }
    }
    o->x1 = x1, o->y1 = y1, o->x2 = x2, o->y2 = y2;
    if (o->kind == ObjectKind::Picture) {
        o->heightPx =
            static_cast<int>(std::lround(pixelsBetween(std::min(y1, y2), std::max(y1, y2))));
    }
    book_->setModified(true);
    book_->noteViewChange();
    return true;
}

bool Sheet::setObjectText(int id, std::string text) {
    DrawnObject* o = object(id);
    if (!o) {
        return false;
    }
    o->text = std::move(text);
    book_->setModified(true);
    book_->noteViewChange();
    return true;
}

const Sheet* Sheet::resolveRange(std::string_view ref, CellRange& out) const {
    formula::RefText r;
    std::string text(ref);
    while (!text.empty() && text.front() == ' ') {
        text.erase(0, 1);
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    if (!text.empty() && text.front() == '=') {
        text.erase(0, 1);
    }
    if (text.empty() || !formula::parseReference(text, r)) {
        return nullptr;
    }
    const Sheet* s = this;
    if (r.hasSheet) {
        s = nullptr;
        for (int i = 1; i <= book_->numSheets(); ++i) {
            if (sameName(book_->sheet(i).name(), r.sheet)) {
                s = &book_->sheet(i);
                break;
            }
        }
        if (!s) {
            return nullptr;
        }
    }
    out = formula::rangeOf(r);
    out.r2 = std::min(out.r2, std::max(out.r1, s->maxRow()));
    out.c2 = std::min(out.c2, std::max(out.c1, s->maxCol()));
    out = out.clamped();
    return out.empty() ? nullptr : s;
}

int Sheet::objectValue(int id) const {
    const DrawnObject* o = object(id);
    if (!o) {
        return 0;
    }
    CellRange at;
    const Sheet* s = o->linkedCell.empty() ? nullptr : resolveRange(o->linkedCell, at);
    if (!s) {
        return o->value;
    }
    const double d = cellNumber(s->value(at.r1, at.c1));
    if (o->kind == ObjectKind::CheckBox) {
        return d != 0 ? 1 : 0;
    }
    return d >= 1 && d < 1e9 ? static_cast<int>(std::lround(d)) : 0;
}

bool Sheet::setObjectValue(int id, int value) {
    DrawnObject* o = object(id);
    if (!o) {
        return false;
    }
    if (o->kind == ObjectKind::CheckBox) {
        value = value != 0 ? 1 : 0;
    }
    value = std::max(0, value);
    const bool changed = objectValue(id) != value;
    o->value = value;
    CellRange at;
    if (Sheet* s = o->linkedCell.empty() ? nullptr : resolveRange(o->linkedCell, at)) {
        if (o->kind == ObjectKind::CheckBox) {
            s->setValue(at.r1, at.c1, Value::fromBool(value != 0));
        } else {
            s->setNumber(at.r1, at.c1, value);
        }
    } else {
        book_->setModified(true);
        book_->noteViewChange();
    }
    if (changed) {
        book_->noteObjValueChange(id);
    }
    return true;
}

std::vector<std::string> Sheet::objectItems(int id) const {
    const DrawnObject* o = object(id);
    if (!o) {
        return {};
    }
    CellRange g;
    const Sheet* s = o->inputRange.empty() ? nullptr : resolveRange(o->inputRange, g);
    if (!s) {
        return o->items;
    }
    std::vector<std::string> out;
    // A list of a few thousand lines is already more than anyone scrolls through.
    const int last = std::min(g.r2, g.r1 + 4999);
    for (int r = g.r1; r <= last; ++r) {
        for (int c = g.c1; c <= g.c2; ++c) {
            out.push_back(s->text(r, c));
        }
    }
    return out;
}

void Sheet::selectObject(int id, bool add) {
    for (DrawnObject& o : objects_) {
        if (o.id == id) {
            o.selected = true;
        } else if (!add) {
            o.selected = false;
        }
    }
    book_->noteSelChange();
}

void Sheet::clearObjectSelection() {
    bool any = false;
    for (DrawnObject& o : objects_) {
        any = any || o.selected;
        o.selected = false;
    }
    if (any) {
        book_->noteSelChange();
    }
}

std::vector<int> Sheet::selectedObjects() const {
    std::vector<int> ids;
    for (const DrawnObject& o : objects_) {
        if (o.selected) {
            ids.push_back(o.id);
        }
    }
    return ids;
}

int Sheet::deleteSelectedObjects() {
    const auto n = objects_.size();
    objects_.erase(std::remove_if(objects_.begin(), objects_.end(),
                                  [](const DrawnObject& o) { return o.selected; }),
                   objects_.end());
    const int gone = static_cast<int>(n - objects_.size());
    if (gone > 0) {
        book_->setModified(true);
        structureChanged();
    }
    return gone;
}

int Sheet::deleteObjectsIn(const CellRange& range) {
    const CellRange g = range.normalized();
    const auto n = objects_.size();
    objects_.erase(std::remove_if(objects_.begin(), objects_.end(),
                                  [&](const DrawnObject& o) {
                                      const int r =
                                          static_cast<int>(std::floor(std::min(o.y1, o.y2))) + 1;
                                      const int c =
                                          static_cast<int>(std::floor(std::min(o.x1, o.x2))) + 1;
                                      return g.contains(r, c);
                                  }),
                   objects_.end());
    const int gone = static_cast<int>(n - objects_.size());
    if (gone > 0) {
        book_->setModified(true);
        structureChanged();
    }
    return gone;
}

double Sheet::pixelsBetween(double y1, double y2) const {
    if (!(y2 > y1)) {
        return 0;
    }
    double px = 0;
    double y = std::max(0.0, y1);
    while (y < y2 && y < kMaxRows) {
        const int k = static_cast<int>(std::floor(y)) + 1;
        const double end = std::min<double>(k, y2);
        px += (end - y) * rowHeight(k) / kTwipsPerPixel;
        y = end;
    }
    return px;
}

double Sheet::rowsBelow(double y1, double px) const {
    double y = std::max(0.0, y1);
    const double bottom = maxRow_;
    while (px > 0 && y < bottom) {
        const int k = static_cast<int>(std::floor(y)) + 1;
        const double rowPx = rowHeight(k) / kTwipsPerPixel;
        const double room = (k - y) * rowPx;
        if (rowPx <= 0) {
            y = k;
        } else if (room >= px) {
            return y + px / rowPx;
        } else {
            px -= room;
            y = k;
        }
    }
    return std::min(y, bottom);
}

} // namespace fc
