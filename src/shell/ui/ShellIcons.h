#pragma once

#include <QIcon>
#include <QPixmap>

#include <string_view>

namespace fc {

// The pictures of the command table, drawn in code so that they look the same on every
// desktop. `name` is the objectName of the menu item or button; unknown names give a null
// icon.
QIcon shellIcon(std::string_view name);

// The object menu's picture strip: 10 rows of 16 x 16, row Tag - 1 for each item.
QPixmap objectPictureStrip();
QIcon objectPicture(int tag);

} // namespace fc
