// ParseMap's single pass against the line-by-line, field-by-field reading
// with GetLine and GetField, on maps pre-filled with the same garbage.
#include "LiteralParseMap.h"
#include "Map.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    auto single = std::make_unique<Map>();
    std::memset(single.get(), 0x5A, sizeof(Map));
    auto literal = std::make_unique<Map>(*single);
    ParseMap(text, *single);
    ParseMapLiteral(text, *literal);
    if (std::memcmp(single.get(), literal.get(), sizeof(Map)) != 0) {
        std::abort();
    }
    return 0;
}
