#pragma once

namespace fc {

class ResultSession;

// The filter's part of the window's hidden state block (column 256 rows 20, 23, 25, 29, 31
// and 32) and its column state (rows MaxRow + 7 and MaxRow + 8, one number a column), laid out
// in docs/result-view.md. Written when the window is left, read when it is activated again.
void writeViewBlock(ResultSession& session);
// False when the block holds no filter state (an answer has filled the sheet since it was
// written): the session keeps what it has.
bool readViewBlock(ResultSession& session);

} // namespace fc
