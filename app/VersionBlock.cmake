# Writes a C++ source that puts mapwright's version block into the ELF
# section .mwversion: "MWVERSIONBLOCK" NUL, then "key" NUL "value" NUL records,
# ended by an empty key. Translation: US English (0x0409), Windows-1252
# (0x04E4), written as the hexadecimal text "040904E4". Run with -DSTRINGS=... -DVERSION=... -DOUTPUT=...
file(STRINGS "${STRINGS}" lines ENCODING UTF-8)
set(prefix "\\\\StringFileInfo\\\\040904E4\\\\")
set(records "    \"\\\\VarFileInfo\\\\Translation\" \"\\0\" \"040904E4\" \"\\0\"\n")
list(APPEND lines "FileVersion=${VERSION}" "ProductVersion=${VERSION}")
foreach(line IN LISTS lines)
    if(line MATCHES "^#" OR NOT line MATCHES "=")
        continue()
    endif()
    string(FIND "${line}" "=" eq)
    string(SUBSTRING "${line}" 0 ${eq} key)
    math(EXPR start "${eq} + 1")
    string(SUBSTRING "${line}" ${start} -1 value)
    string(REPLACE "\\" "\\\\" value "${value}")
    string(REPLACE "\"" "\\\"" value "${value}")
    string(APPEND records "    \"${prefix}${key}\" \"\\0\" \"${value}\" \"\\0\"\n")
endforeach()
file(WRITE "${OUTPUT}.tmp"
"// Generated from app/version-strings.txt by app/VersionBlock.cmake.\n"
"extern \"C\" __attribute__((section(\".mwversion\"), used, aligned(1)))\n"
"const char mapwright_version_block[] =\n"
"    \"MWVERSIONBLOCK\" \"\\0\"\n"
"${records}"
"    \"\\0\";\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
