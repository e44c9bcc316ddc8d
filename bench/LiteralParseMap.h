#pragma once
// ParseMap written the straightforward way: ask GetLine for line 0, 1, 2, ...
// and GetField for field 0, 1, 2, ... of each, both scanning from the start
// every time. Quadratic in the text length; kept as the reference that the
// single-pass ParseMap is measured and checked against.

#include "Map.h"

inline void ParseMapLiteral(std::string_view text, Map& map) {
    map.XCount = 0;
    map.YCount = 0;
    for (int i = 0;; ++i) {
        const TextPiece line = GetLine(i, text);
        for (int p = 0;; ++p) {
            const TextPiece field = GetField(p, line.Text, '\t');
            map_detail::StoreField(map, i, p, field.Text);
            if (field.Last) {
                break;
            }
        }
        if (line.Last) {
            break;
        }
    }
}
