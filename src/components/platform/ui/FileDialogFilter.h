#pragma once

#include <QString>

#include <string_view>

namespace fc {

// A file dialog filter written the Windows way ("Описание|*.a;*.b|Все|*.*", UTF-8) as Qt
// wants it ("Описание (*.a *.b);;Все (*)"). "*.*" means every file.
QString dialogFilter(std::string_view windowsFilter);

} // namespace fc
