#pragma once

#include "components/model/Workbook.h"
#include "components/ui/SheetView.h"

#include <QApplication>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace fc {

// A shown view of a fixed size with every signal written into a log, so that tests compare
// whole event sequences.
class ViewFixture : public ::testing::Test {
protected:
    void SetUp() override;

    Workbook& book() { return view.workbook(); }
    Sheet& sheet() { return view.workbook().sheet(); }
    QPoint at(int r, int c) { return view.cellRect(r, c).center(); }
    void click(int r, int c, Qt::KeyboardModifiers m = {}) {
        QTest::mouseClick(view.viewport(), Qt::LeftButton, m, at(r, c));
    }
    // The sequence a real double click makes: press, release, double click, release.
    void doubleClick(int r, int c, Qt::MouseButton b = Qt::LeftButton) {
        QTest::mouseClick(view.viewport(), b, {}, at(r, c));
        QTest::mouseDClick(view.viewport(), b, {}, at(r, c));
        QTest::mouseRelease(view.viewport(), b, {}, at(r, c));
    }
    void key(int qtKey, Qt::KeyboardModifiers m = {}) { QTest::keyClick(&view, Qt::Key(qtKey), m); }
    // The log since the last call, then empties it.
    std::vector<std::string> take();
    // Only the entries that start with one of `prefixes`.
    std::vector<std::string> take(std::initializer_list<const char*> prefixes);
    QImage grab();

    SheetView view;
    std::vector<std::string> log;
    // Set by tests to make handlers consume or veto.
    bool consumeKeys = false;
    bool consumeDblClick = false;
    bool vetoEnd = false;
    QString replaceWith;
};

// Pixel helpers: "ink" is anything clearly darker than a light background.
bool isInk(QRgb p);
int inkIn(const QImage& img, const QRect& r);

} // namespace fc
