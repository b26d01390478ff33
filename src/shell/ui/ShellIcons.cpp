#include "shell/ui/ShellIcons.h"

#include <QPainter>
#include <QPainterPath>

#include <functional>
#include <map>
#include <string>

namespace fc {

namespace {

constexpr int kSize = 20;
const QColor kInk(40, 40, 40);

QIcon drawn(const std::function<void(QPainter&)>& draw) {
    QIcon icon;
    for (int scale : {1, 2}) {
        QPixmap pm(kSize * scale, kSize * scale);
        pm.setDevicePixelRatio(scale);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        draw(p);
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
}

void page(QPainter& p, QRectF r, QColor fill = Qt::white) {
    QPainterPath path;
    path.moveTo(r.left(), r.top());
    path.lineTo(r.right() - 4, r.top());
    path.lineTo(r.right(), r.top() + 4);
    path.lineTo(r.right(), r.bottom());
    path.lineTo(r.left(), r.bottom());
    path.closeSubpath();
    p.setPen(QPen(kInk, 1));
    p.setBrush(fill);
    p.drawPath(path);
}

void connectIcon(QPainter& p) {
    p.setPen(QPen(QColor(0, 90, 160), 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(2, 2, 16, 16));
    p.setPen(QPen(QColor(0, 90, 160), 2.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 5.5), QPointF(10, 11.5));
    p.drawPoint(QPointF(10, 14.5));
}

void recompileIcon(QPainter& p) {
    p.setPen(QPen(QColor(0, 128, 0), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(3, 3, 14, 14), 30 * 16, 270 * 16);
    QPolygonF head({QPointF(16.5, 2), QPointF(17.5, 8.5), QPointF(11.5, 7)});
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 128, 0));
    p.drawPolygon(head);
}

void runIcon(QPainter& p) {
    p.setPen(QPen(QColor(0, 100, 0), 1));
    p.setBrush(QColor(40, 170, 60));
    p.drawPolygon(QPolygonF({QPointF(5, 3), QPointF(17, 10), QPointF(5, 17)}));
}

void newIcon(QPainter& p) {
    page(p, QRectF(4, 2, 12, 16));
    p.setPen(QPen(QColor(230, 170, 0), 1.6));
    p.drawLine(QPointF(14, 11), QPointF(14, 17));
    p.drawLine(QPointF(11, 14), QPointF(17, 14));
}

void openIcon(QPainter& p) {
    p.setPen(QPen(QColor(150, 110, 20), 1));
    p.setBrush(QColor(250, 215, 110));
    p.drawRect(QRectF(2, 5, 14, 11));
    p.setBrush(QColor(255, 235, 150));
    p.drawPolygon(QPolygonF({QPointF(4, 9), QPointF(19, 9), QPointF(16, 16), QPointF(2, 16)}));
}

void saveIcon(QPainter& p) {
    p.setPen(QPen(QColor(20, 40, 110), 1));
    p.setBrush(QColor(50, 80, 170));
    p.drawRoundedRect(QRectF(2.5, 2.5, 15, 15), 1.5, 1.5);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5, 3, 10, 6));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(QRectF(6, 12, 8, 5.5));
}

void printIcon(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6, 2.5, 8, 6));
    p.setBrush(QColor(170, 170, 170));
    p.drawRoundedRect(QRectF(2.5, 8, 15, 7), 1.5, 1.5);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6, 12.5, 8, 5));
    p.setPen(QPen(QColor(0, 160, 0), 1.5));
    p.drawPoint(QPointF(15, 10));
}

void designerIcon(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(255, 200, 60));
    p.drawPolygon(QPolygonF(
        {QPointF(4, 16), QPointF(5, 12), QPointF(14, 3), QPointF(17, 6), QPointF(8, 15)}));
    p.setBrush(QColor(240, 120, 120));
    p.drawPolygon(
        QPolygonF({QPointF(14, 3), QPointF(17, 6), QPointF(15.5, 7.5), QPointF(12.5, 4.5)}));
}

void insertObjectIcon(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(120, 170, 230));
    p.drawRect(QRectF(2.5, 8.5, 9, 9));
    p.setBrush(QColor(240, 140, 60));
    p.drawEllipse(QRectF(8.5, 2.5, 9, 9));
}

void formatIcon(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2.5, 2.5, 15, 15));
    p.setPen(QPen(QColor(180, 180, 180), 1));
    p.drawLine(QPointF(2.5, 10), QPointF(17.5, 10));
    p.drawLine(QPointF(10, 2.5), QPointF(10, 17.5));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 110, 200));
    p.drawRect(QRectF(3, 3, 7, 7));
}

void formulaHelpIcon(QPainter& p) {
    QFont f(QStringLiteral("Serif"));
    f.setItalic(true);
    f.setBold(true);
    f.setPixelSize(13);
    p.setFont(f);
    p.setPen(QColor(0, 70, 140));
    p.drawText(QRectF(0, 0, kSize, kSize), Qt::AlignCenter, QStringLiteral("fx"));
}

void instructionHelpIcon(QPainter& p) {
    page(p, QRectF(3, 2, 14, 16), QColor(255, 255, 225));
    QFont f;
    f.setBold(true);
    f.setPixelSize(12);
    p.setFont(f);
    p.setPen(QColor(200, 0, 0));
    p.drawText(QRectF(3, 2, 14, 16), Qt::AlignCenter, QStringLiteral(";"));
}

void launcherIcon(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(230, 230, 230));
    p.drawRect(QRectF(2.5, 3.5, 15, 13));
    p.setBrush(QColor(0, 0, 130));
    p.drawRect(QRectF(2.5, 3.5, 15, 3));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 170, 60));
    p.drawPolygon(QPolygonF({QPointF(8, 8.5), QPointF(14, 11.5), QPointF(8, 14.5)}));
}

void mailIcon(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(255, 250, 230));
    p.drawRect(QRectF(2.5, 4.5, 15, 11));
    p.drawPolyline(QPolygonF({QPointF(2.5, 4.5), QPointF(10, 11), QPointF(17.5, 4.5)}));
}

void filterIcon(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(120, 170, 230));
    p.drawPolygon(QPolygonF({QPointF(2.5, 3.5), QPointF(17.5, 3.5), QPointF(11.5, 10),
                             QPointF(11.5, 16.5), QPointF(8.5, 14.5), QPointF(8.5, 10)}));
}

void findIcon(QPainter& p) {
    p.setPen(QPen(kInk, 1.6));
    p.setBrush(QColor(210, 235, 255));
    p.drawEllipse(QRectF(3, 3, 10, 10));
    p.setPen(QPen(kInk, 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12, 12), QPointF(17, 17));
}

void undoIcon(QPainter& p, bool redo) {
    if (redo) {
        p.translate(kSize, 0);
        p.scale(-1, 1);
    }
    p.setPen(QPen(QColor(0, 70, 140), 2, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(5, 5, 11, 10), 90 * 16, -240 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 70, 140));
    p.drawPolygon(QPolygonF({QPointF(2, 5), QPointF(9, 1.5), QPointF(9, 8.5)}));
}

void fontIcon(QPainter& p) {
    QFont f(QStringLiteral("Serif"));
    f.setBold(true);
    f.setPixelSize(16);
    p.setFont(f);
    p.setPen(kInk);
    p.drawText(QRectF(0, 0, kSize, kSize), Qt::AlignCenter, QStringLiteral("A"));
}

void sheetIcon(QPainter& p, QColor mark, bool minus) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2.5, 2.5, 13, 15));
    p.setPen(QPen(QColor(190, 190, 190), 1));
    for (double y : {7.5, 12.5}) {
        p.drawLine(QPointF(2.5, y), QPointF(15.5, y));
    }
    p.drawLine(QPointF(8.5, 2.5), QPointF(8.5, 17.5));
    p.setPen(QPen(mark, 2));
    p.drawLine(QPointF(11, 15), QPointF(18, 15));
    if (!minus) {
        p.drawLine(QPointF(14.5, 11.5), QPointF(14.5, 18.5));
    }
}

void exitIcon(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(QColor(150, 100, 50));
    p.drawRect(QRectF(4.5, 2.5, 9, 15));
    p.setPen(QPen(QColor(200, 0, 0), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(10, 10), QPointF(18, 10));
    p.drawLine(QPointF(15, 7), QPointF(18, 10));
    p.drawLine(QPointF(15, 13), QPointF(18, 10));
}

// The program's own picture: a form sheet with a red heading row.
void appIcon(QPainter& p) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(2.5, 2.5, 15, 15));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(200, 30, 30));
    p.drawRect(QRectF(3, 3, 14, 4));
    p.setPen(QPen(QColor(120, 120, 120), 1));
    for (double y : {10.5, 14.5}) {
        p.drawLine(QPointF(3, y), QPointF(17, y));
    }
    p.drawLine(QPointF(8.5, 7), QPointF(8.5, 17));
}

const std::map<std::string, std::function<void(QPainter&)>, std::less<>>& painters() {
    static const std::map<std::string, std::function<void(QPainter&)>, std::less<>> m = {
        {"MainForm", appIcon},
        {"p9", connectIcon},
        {"SpeedButton9", connectIcon},
        {"RxSpeedButton9", recompileIcon},
        {"N11", runIcon},
        {"FileNewItem", newIcon},
        {"FileOpenItem", openIcon},
        {"FileSaveItem", saveIcon},
        {"N3", printIcon},
        {"SendMail", mailIcon},
        {"FileExitItem", exitIcon},
        {"Undo1", [](QPainter& p) { undoIcon(p, false); }},
        {"ReDo1", [](QPainter& p) { undoIcon(p, true); }},
        {"CopyItem", [](QPainter& p) { sheetIcon(p, QColor(0, 140, 0), false); }},
        {"CutItem", [](QPainter& p) { sheetIcon(p, QColor(200, 0, 0), true); }},
        {"p6", fontIcon},
        {"p1_", designerIcon},
        {"N5", insertObjectIcon},
        {"p2_", formatIcon},
        {"N9", filterIcon},
        {"N13", findIcon},
        {"RxB12", formulaHelpIcon},
        {"RxB13", instructionHelpIcon},
        {"SpeedButton7", launcherIcon},
    };
    return m;
}

// One object-menu picture, drawn in a 16 x 16 cell.
void drawObjectPicture(QPainter& p, int tag) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(Qt::NoBrush);
    switch (tag) {
    case 1: // picture
        p.setBrush(QColor(170, 215, 255));
        p.drawRect(QRectF(1.5, 2.5, 13, 11));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 150, 60));
        p.drawPolygon(QPolygonF(
            {QPointF(2, 13), QPointF(6, 7), QPointF(9, 11), QPointF(11, 9), QPointF(14, 13)}));
        p.setBrush(QColor(250, 200, 0));
        p.drawEllipse(QRectF(10, 4, 3, 3));
        break;
    case 2: // button
        p.setBrush(QColor(225, 225, 225));
        p.drawRoundedRect(QRectF(1.5, 4.5, 13, 7), 1.5, 1.5);
        p.drawLine(QPointF(5, 8), QPointF(11, 8));
        break;
    case 3: // list box
        p.setBrush(Qt::white);
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 130));
        p.drawRect(QRectF(2, 6, 12, 3));
        p.setPen(QPen(kInk, 1));
        p.drawLine(QPointF(3.5, 4), QPointF(11.5, 4));
        p.drawLine(QPointF(3.5, 12), QPointF(11.5, 12));
        break;
    case 4: // check box
        p.setBrush(Qt::white);
        p.drawRect(QRectF(2.5, 2.5, 11, 11));
        p.setPen(QPen(QColor(0, 120, 0), 2));
        p.drawPolyline(QPolygonF({QPointF(4.5, 8), QPointF(7, 11), QPointF(12, 4.5)}));
        break;
    case 5: // chart
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(60, 110, 200));
        p.drawRect(QRectF(2, 8, 3, 6));
        p.setBrush(QColor(220, 70, 60));
        p.drawRect(QRectF(6.5, 4, 3, 10));
        p.setBrush(QColor(60, 170, 70));
        p.drawRect(QRectF(11, 6, 3, 8));
        p.setPen(QPen(kInk, 1));
        p.drawLine(QPointF(1, 14.5), QPointF(15, 14.5));
        break;
    case 6: // line
        p.setPen(QPen(kInk, 1.5));
        p.drawLine(QPointF(2, 14), QPointF(14, 2));
        break;
    case 7: // rectangle
        p.drawRect(QRectF(1.5, 3.5, 13, 9));
        break;
    case 8: // oval
        p.drawEllipse(QRectF(1.5, 3.5, 13, 9));
        break;
    case 9: // arc
        p.setPen(QPen(kInk, 1.5));
        p.drawArc(QRectF(-10, 2, 24, 24), 0, 90 * 16);
        break;
    case 10: // polygon
        p.drawPolygon(QPolygonF(
            {QPointF(2, 12), QPointF(5, 3), QPointF(13, 5), QPointF(14, 13), QPointF(8, 9)}));
        break;
    default: break;
    }
}

} // namespace

QIcon shellIcon(std::string_view name) {
    const auto& m = painters();
    auto it = m.find(name);
    if (it == m.end()) {
        return {};
    }
    return drawn(it->second);
}

QPixmap objectPictureStrip() {
    QPixmap strip(16, 16 * 10);
    strip.fill(Qt::transparent);
    QPainter p(&strip);
    p.setRenderHint(QPainter::Antialiasing);
    for (int tag = 1; tag <= 10; ++tag) {
        p.save();
        p.translate(0, 16 * (tag - 1));
        p.setClipRect(0, 0, 16, 16);
        drawObjectPicture(p, tag);
        p.restore();
    }
    return strip;
}

QIcon objectPicture(int tag) {
    static const QPixmap strip = objectPictureStrip();
    if (tag < 1 || tag > 10) {
        return {};
    }
    return QIcon(strip.copy(0, 16 * (tag - 1), 16, 16));
}

} // namespace fc
